#pragma once
// The level diagram seen by the calculator through its interfaces, and the
// calculator's levels seen by the diagram: the diagram itself knows nothing
// of the calculator. Header-only, so that the tests can wire a real diagram
// the way the window does.
#include "calc/calculator.h"
#include "calc/interfaces.h"
#include "calc/micparams.h"
#include "diagram/leveldiagram.h"

// One of the diagram's axes as the calculator's axis range; the axis's
// refusal becomes the calculator's AxisRangeError, with the same message.
class AxisRangeAdapter final : public IAxisRange {
public:
    explicit AxisRangeAdapter(TScaleAxis& axis) : axis_(axis) {}

    double minimum() const override { return axis_.minimum(); }
    double maximum() const override { return axis_.maximum(); }
    void setMinimum(double v) override { set(&TScaleAxis::setMinimum, v); }
    void setMaximum(double v) override { set(&TScaleAxis::setMaximum, v); }

private:
    void set(void (TScaleAxis::*setter)(double), double v)
    {
        try {
            (axis_.*setter)(v);
        } catch (const TAxisRangeError& e) {
            throw AxisRangeError(e.what());
        }
    }

    TScaleAxis& axis_;
};

class DiagramViewAdapter final : public IDiagramView {
public:
    explicit DiagramViewAdapter(TLevelDiagram& diagram) : diagram_(diagram) {}

    void refreshDiagram() override { diagram_.RefreshDiagram(); }
    void setRightAxisLabelsVisible(bool visible) override { diagram_.setRightAxisLabelsVisible(visible); }
    void setRightSubAxisVisible(int index, bool visible) override { diagram_.setRightSubAxisVisible(index, visible); }

private:
    TLevelDiagram& diagram_;
};

// The levels the diagram's overlays show: the maximum, source and noise
// levels as their inputs show them, the output level as computed. Digital
// only when the digital choice is made and the analog one is not.
class CalcDiagramLevels final : public IDiagramLevels {
public:
    CalcDiagramLevels(const CalcState& state, const INumericInput& maxLevel, const INumericInput& sourceLevel,
                      const INumericInput& noise_dBu, const INumericInput& noise_dBFS, const IChoice& analog,
                      const IChoice& digital)
        : state_(state), maxLevel_(maxLevel), sourceLevel_(sourceLevel), noise_dBu_(noise_dBu),
          noise_dBFS_(noise_dBFS), analog_(analog), digital_(digital)
    {
    }

    // With the chain on, the source marker stands at the level at the
    // microphone instead of the level the source inputs give.
    void followChain(const Calculator& calc) { chain_ = &calc; }

    bool digital() const override { return !analog_.isChosen() && digital_.isChosen(); }
    double maxLevel_dBSPL() const override { return maxLevel_.floatValue(); }
    double sourceLevel_dBSPL() const override
    {
        // At 1 m the level is the source level itself: read as before.
        if (chain_ && chain_->chainEnabled() && chain_->chainResult().level_dBSPL != state_.SourceLevel_dBSPL)
            return chain_->chainResult().level_dBSPL;
        return sourceLevel_.floatValue();
    }
    double noiseLevel() const override { return (digital() ? noise_dBFS_ : noise_dBu_).floatValue(); }
    double outputLevel() const override { return digital() ? state_.CurMic.MicOut_dBFS : state_.CurMic.MicOut_dBu; }

private:
    const CalcState& state_;
    const INumericInput& maxLevel_;
    const INumericInput& sourceLevel_;
    const INumericInput& noise_dBu_;
    const INumericInput& noise_dBFS_;
    const IChoice& analog_;
    const IChoice& digital_;
    const Calculator* chain_ = nullptr;
};
