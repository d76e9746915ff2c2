#pragma once
// What the calculator needs from its surroundings. The window adapts its
// widgets and its diagram to these (ui/); tests use plain in-memory versions
// that obey the same rules.
#include <functional>
#include <stdexcept>
#include <string>

// A numeric input whose shown text is the only store of its value.
class INumericInput {
public:
    using Handler = std::function<void()>;
    virtual ~INumericInput() = default;

    // The value the text shows; empty or unreadable text reads 0. Never fails.
    virtual double floatValue() const = 0;
    // Shows v with the input's decimals. Raises the change event once when the
    // shown text changes (if a handler is attached), not at all otherwise.
    virtual void setFloatValue(double v) = 0;
    virtual bool isTextEmpty() const = 0;
    // An empty handler detaches; a change raised without a handler is dropped.
    virtual void setOnChange(Handler h) = 0;
    virtual bool hasOnChange() const = 0;
    virtual void setInputEnabled(bool enabled) = 0;
};

// One of the two exclusive microphone-kind choices.
class IChoice {
public:
    using Handler = std::function<void()>;
    virtual ~IChoice() = default;
    virtual bool isChosen() const = 0;
    // Choosing one clears the other choice of its group; raises no click.
    virtual void choose() = 0;
    virtual void setOnClick(Handler h) = 0;
    virtual bool hasOnClick() const = 0;
};

// A range setter refused the value; the range is unchanged.
class AxisRangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A vertical axis's range. The setters refuse an inverted range by throwing
// AxisRangeError ("Axis Minimum Value must be <= Maximum",
// "Axis Maximum Value must be >= Minimum").
class IAxisRange {
public:
    virtual ~IAxisRange() = default;
    virtual double minimum() const = 0;
    virtual double maximum() const = 0;
    virtual void setMinimum(double v) = 0;
    virtual void setMaximum(double v) = 0;
};

// The level diagram as the calculator sees it.
class IDiagramView {
public:
    virtual ~IDiagramView() = default;
    // Repaints the diagram and its overlays from the current values.
    virtual void refreshDiagram() = 0;
    // Right-hand scales: the right axis's own (dBu) labels, and its sub-axes
    // 0 (mV), 1 (dBV) and 2 (dBFS).
    virtual void setRightAxisLabelsVisible(bool visible) = 0;
    virtual void setRightSubAxisVisible(int index, bool visible) = 0;
};

// The bar of the microphone output: in dBu for an analog microphone, in
// dBFS for a digital one.
class ILevelBar {
public:
    virtual ~ILevelBar() = default;
    virtual void setLevelPosition(int position) = 0;
    // The unit the position is in ("dBu" or "dBFS").
    virtual void setLevelUnit(const std::string& unit) = 0;
};

class IResultLine {
public:
    virtual ~IResultLine() = default;
    // Clears the label's lines and adds `markup` as its only line.
    virtual void setResultLine(const std::string& markup) = 0;
};
