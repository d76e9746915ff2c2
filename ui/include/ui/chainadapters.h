#pragma once
// The calculator's signal chain as the level diagram shows it.
#include <QString>
#include <functional>
#include <limits>
#include <utility>

#include "calc/calculator.h"
#include "diagram/chainoverlay.h"

class CalcDiagramChain final : public IDiagramChain {
public:
    // Whether each threshold line is asked for (the Display actions' checks).
    struct Thresholds {
        std::function<bool()> hearing, danger, pain;
    };
    CalcDiagramChain(const Calculator& calc, Thresholds thresholds)
        : calc_(calc), thresholds_(std::move(thresholds))
    {
    }

    TChainView chainView() const override
    {
        const ChainInputs& in = calc_.chainInputs();
        const ChainResult& r = calc_.chainResult();
        TChainView v;
        v.digital = in.digital;
        v.hasSystemNoise = !in.digital && r.noiseGiven;
        v.systemNoise = r.systemNoise;
        v.ampNoiseAdds_dB = r.micNoiseGiven ? r.ampNoiseAdds_dB : std::numeric_limits<double>::quiet_NaN();
        v.fullScaleRow = r.fullScaleMicOut;
        v.targetRow = r.targetMicOut;
        v.fullScale = in.digital ? r.fullScale_dBSPL : in.fullScale_dBu;
        v.gain_dB = in.gain_dB;
        v.target_dBFS = in.target_dBFS;
        v.hearing = thresholds_.hearing();
        v.danger = thresholds_.danger();
        v.pain = thresholds_.pain();
        return v;
    }

    QString description() const override
    {
        return QString::fromStdString(
            ChainDescription(calc_.chainInputs(), calc_.chainResult(), calc_.decimalSeparator()));
    }

private:
    const Calculator& calc_;
    Thresholds thresholds_;
};
