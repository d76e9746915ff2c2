#pragma once
// In-memory stand-ins for the window's controls that obey the same rules:
// an input keeps only its text and raises its change event once per change.
// Shared by the tests and fuzz targets of the calculator, diagram and presets.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "numtext/numtext.h"

class FakeInput : public INumericInput {
public:
    FakeInput(int decimals, double initial, std::string sep = ".") : decimals_(decimals), sep_(std::move(sep))
    {
        text = format(initial);
    }
    std::string text;
    bool enabled = true;
    int changes = 0;      // shown-text changes
    int writes = 0;       // values written by the program
    int eventsRaised = 0; // changes that reached an attached handler

    double floatValue() const override { return numtext::readInputText(text, sep_); }
    void setFloatValue(double v) override
    {
        ++writes;
        setText(format(v));
    }
    bool isTextEmpty() const override { return text.empty(); }
    void setOnChange(Handler h) override { handler_ = std::move(h); }
    bool hasOnChange() const override { return static_cast<bool>(handler_); }
    void setInputEnabled(bool e) override { enabled = e; }

    // What typing does: replace the text and raise the change event.
    void setText(const std::string& t)
    {
        if (t == text) return;
        text = t;
        ++changes;
        if (handler_) {
            ++eventsRaised;
            Handler h = handler_; // the run detaches (destroys) the stored handler
            h();
        }
    }

private:
    std::string format(double v) const
    {
        return decimals_ > 0 ? numtext::formatFixed(v, decimals_, sep_) : numtext::formatGeneral(v, 15, sep_);
    }
    int decimals_;
    std::string sep_;
    Handler handler_;
};

class FakeChoice : public IChoice {
public:
    bool chosen = false;
    FakeChoice* other = nullptr;
    bool isChosen() const override { return chosen; }
    void choose() override
    {
        chosen = true;
        if (other) other->chosen = false;
    }
    // A user click: choose, then raise the click event.
    void click()
    {
        choose();
        if (handler_) {
            Handler h = handler_;
            h();
        }
    }
    void setOnClick(Handler h) override { handler_ = std::move(h); }
    bool hasOnClick() const override { return static_cast<bool>(handler_); }

private:
    Handler handler_;
};

class FakeAxis : public IAxisRange {
public:
    FakeAxis(double mn, double mx) : min_(mn), max_(mx) {}
    double minimum() const override { return min_; }
    double maximum() const override { return max_; }
    void setMinimum(double v) override
    {
        if (v > max_) throw AxisRangeError("Axis Minimum Value must be <= Maximum");
        min_ = v;
    }
    void setMaximum(double v) override
    {
        if (v < min_) throw AxisRangeError("Axis Maximum Value must be >= Minimum");
        max_ = v;
    }
    void setRange(double mn, double mx)
    {
        min_ = mn;
        max_ = mx;
    }

private:
    double min_, max_;
};

class FakeDiagram : public IDiagramView {
public:
    int refreshes = 0;
    bool rightLabels = true;
    std::array<bool, 3> subAxes{true, true, true};
    void refreshDiagram() override { ++refreshes; }
    void setRightAxisLabelsVisible(bool v) override { rightLabels = v; }
    void setRightSubAxisVisible(int i, bool v) override { subAxes.at(static_cast<size_t>(i)) = v; }
};

class FakeBar : public ILevelBar {
public:
    int position = -20;
    std::string unit;
    void setLevelPosition(int p) override { position = p; }
    void setLevelUnit(const std::string& u) override { unit = u; }
};

class FakeLine : public IResultLine {
public:
    std::string line;
    int sets = 0;
    void setResultLine(const std::string& m) override
    {
        line = m;
        ++sets;
    }
};

using WindowInputs = std::array<FakeInput, kInputCount>;

// The window's thirteen bound inputs (in InputId order) with their decimals
// and initial values.
inline WindowInputs windowInputs(const std::string& sep = ".")
{
    return {{
        {1, 74.0, sep},   // seSourceLevel_dBSPL
        {5, 1.0, sep},    // seSourceLevel_Pa
        {0, 130, sep},    // seMicMaxLevel_dBSPL
        {1, 10.0, sep},   // seMicSens_mV
        {1, -40.0, sep},  // seMicSens_dBu
        {1, -42.0, sep},  // seMicSens_dBV
        {1, -26.0, sep},  // seMicSens_dBFS
        {1, 10.0, sep},   // seMicNoise_uV
        {1, -100.0, sep}, // seMicNoise_dBu
        {1, -102.0, sep}, // seMicNoise_dBV
        {1, -90.0, sep},  // seMicNoise_dBFS
        {1, 20.0, sep},   // seMicNoise_dBSPL
        {0, 20, sep},     // seAmpGain_dB
    }};
}

// The calculator's bindings to a set of fake inputs and the two choices,
// which are made one exclusive group with analog chosen.
inline CalcBindings fakeBindings(WindowInputs& inputs, FakeChoice& analog, FakeChoice& digital)
{
    analog.chosen = true;
    digital.chosen = false;
    analog.other = &digital;
    digital.other = &analog;
    CalcBindings b;
    for (size_t i = 0; i < kInputCount; ++i) b.inputs[i] = &inputs[i];
    b.rbMicAnalog = &analog;
    b.rbMicDigital = &digital;
    return b;
}

// A window without a screen: the thirteen inputs, both choices, the level
// bar and the result line, bound with the given axes and diagram to a
// calculator whose handlers are bound as the window binds them.
struct WindowFake {
    WindowFake(IAxisRange& leftAxis, IAxisRange& rightAxis, IDiagramView& diagramView, const std::string& sep = ".")
        : inputs(windowInputs(sep)), calc(bindings(leftAxis, rightAxis, diagramView), sep)
    {
        calc.bindAll();
    }

    FakeInput& in(InputId id) { return inputs[static_cast<size_t>(id)]; }
    const std::string& text(InputId id) { return in(id).text; }

    // The calculator's part of the start-up.
    void startUp() { calc.startUp(); }

    WindowInputs inputs;
    FakeChoice analog, digital;
    FakeBar bar;
    FakeLine line;
    Calculator calc;

    // The bindings of `calc`, with the given axes and diagram.
    CalcBindings bindings(IAxisRange& leftAxis, IAxisRange& rightAxis, IDiagramView& diagramView)
    {
        CalcBindings b = fakeBindings(inputs, analog, digital);
        b.leftAxis = &leftAxis;
        b.rightAxis = &rightAxis;
        b.diagram = &diagramView;
        b.levelBar = &bar;
        b.resultLine = &line;
        return b;
    }
};

// The axes and diagram a FakeWindow draws on; a base, so that they are made
// before the window that binds them.
struct FakeViews {
    FakeAxis left{0, 160};
    // At program start the right axis holds the maximum its setup gives it.
    FakeAxis right{-144, 160};
    FakeDiagram diagram;
};

// The window fake on in-memory axes and diagram.
struct FakeWindow : FakeViews, WindowFake {
    explicit FakeWindow(const std::string& sep = ".") : WindowFake(left, right, diagram, sep) {}
};
