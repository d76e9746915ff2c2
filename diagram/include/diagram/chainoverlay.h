#pragma once
// What the level diagram shows of the signal chain and of the hearing
// thresholds. The window fills it from the calculator's chain figures; the
// diagram only draws it and reads it out.
#include <QString>

struct TChainView {
    bool digital = false;
    // Analog: the noise of microphone and preamplifier at the amplifier input
    // (a right-axis value, dBu) and how much the preamplifier adds to the
    // microphone's own.
    bool hasSystemNoise = false;
    double systemNoise = 0;
    double ampNoiseAdds_dB = 0;
    // The rows where the output reaches the converter's 0 dBFS and the target:
    // right-axis values, the microphone output that the gain takes there.
    double fullScaleRow = 0;
    double targetRow = 0;
    // The figures the two lines name: 0 dBFS in dBu (analog) or in dB SPL
    // (digital), the gain the analog line is drawn for, and the target.
    double fullScale = 0;
    double gain_dB = 0;
    double target_dBFS = 0;
    // The threshold lines to draw.
    bool hearing = false;
    bool danger = false;
    bool pain = false;
};

class IDiagramChain {
public:
    virtual ~IDiagramChain() = default;
    // What to draw, read once per paint.
    virtual TChainView chainView() const = 0;
    // Every figure of the chain in words, for a screen reader; read when the
    // diagram's description is made, not at every paint.
    virtual QString description() const = 0;
};

namespace chainoverlay {

// The texts of the lines, with the given decimal separator.
// "System noise -97.3 dBu (+2.7 dB)"; an adds_dB that is not finite (no
// microphone noise figure): "System noise -97.8 dBu (preamplifier)".
QString systemNoiseText(double noise_dBu, double adds_dB, const QString& sep);
QString fullScaleText(const TChainView& v, const QString& sep);                 // "0 dBFS = +18 dBu (gain +50 dB)"
QString targetText(double target_dBFS, const QString& sep);                     // "Target -18 dBFS"

} // namespace chainoverlay
