#pragma once
// The signal chain: a source some distance from the microphone, the noise of
// microphone and preamplifier together, the converter's full scale and a
// target level. One plain function from the chain's inputs to its figures;
// the window and the diagram only show what it returns.
#include <string>
#include <string_view>
#include <vector>

enum class SourceShape {
    Point, // the level falls 6 dB per doubling of the distance
    Line,  // 3 dB per doubling
};

// The level `distance_m` from a source whose level is `level1m_dBSPL` at 1 m:
// L1m - 20 log10(d) for a point source, L1m - 10 log10(d) for a line source.
// At 1 m the level is L1m exactly. A distance that is not a positive number
// is taken as 1 m.
double LevelAtDistance(double level1m_dBSPL, double distance_m, SourceShape shape);

struct ChainInputs {
    bool digital = false;
    double sourceLevel1m_dBSPL = 0; // the source inputs: the level 1 m from the source
    double distance_m = 1;
    SourceShape shape = SourceShape::Point;
    double maxLevel_dBSPL = 0;
    double sens_dBu = 0;      // analog sensitivity at 94 dB SPL
    double sens_dBFS = 0;     // digital sensitivity at 94 dB SPL
    double micNoise_dBu = 0;  // analog self-noise; -200 or less: none
    double micNoise_dBFS = 0; // digital self-noise
    double gain_dB = 0;       // analog gain, or the digital gain of a digital microphone
    // The preamplifier's equivalent input noise (analog only); 0 or less: none.
    double ampNoise_uV = 0;
    double fullScale_dBu = 18; // the converter's 0 dBFS (analog)
    double target_dBFS = -18;
};

// Levels in dBu are analog figures, in dBFS the converter's (analog) or the
// microphone's own (digital). A figure that does not apply to the mode is 0.
struct ChainResult {
    double level_dBSPL = 0; // at the microphone
    double micOut = 0;      // dBu analog, dBFS digital
    double ampOut = 0;      // dBu analog, dBFS digital
    double ampOut_dBFS = 0; // at the converter (analog), after the digital gain (digital)

    // Noise at the amplifier input: the power sum of the microphone's and
    // the preamplifier's, sqrt(Vmic^2 + Vamp^2) (analog); the microphone's
    // own (digital). In dBu / dBFS, and through the sensitivity in dB SPL.
    double micNoise = 0;
    double systemNoise = 0;
    double ampNoiseAdds_dB = 0; // systemNoise - micNoise
    double systemNoise_dBSPL = 0;
    double snr_dB = 0; // the level at the microphone above the system noise

    // A figure the microphone does not give (maximum level 0, no noise from
    // microphone or preamplifier) gives no overload and no SNR.
    bool maxLevelGiven = false;
    bool noiseGiven = false;
    bool micNoiseGiven = false; // the microphone's own noise figure
    double overload_dB = 0;       // level above the maximum level (> 0: overloaded)
    double micClip_dB = 0;        // digital: the microphone's output above its 0 dBFS
    double headroom_dB = 0;       // from the converter input (after the gain) to 0 dBFS; < 0: clips
    double toTarget_dB = 0;       // target - ampOut_dBFS (> 0: under the target)
    double gainForTarget_dB = 0;  // the gain that puts the output on the target
    double fullScale_dBSPL = 0;   // digital: the level of the microphone's 0 dBFS, 94 - sens
    double clipLevel_dBSPL = 0;   // the level at the microphone at which the gain reaches 0 dBFS
    // The microphone outputs (dBu analog, dBFS digital) that reach the
    // converter's 0 dBFS (analog: through the gain; digital: the
    // microphone's own full scale) and the target through the gain: the
    // rows of the diagram's full-scale and target lines.
    double fullScaleMicOut = 0;
    double targetMicOut = 0;
};

ChainResult CalcChain(const ChainInputs& in);

// What the chain's figures ask of the user, most urgent first; the last one is
// the chain's SNR, where a noise figure is given. Figures with one decimal and the given separator.
struct ChainWarning {
    enum class Kind { Overload, ConverterClips, GainClips, UnderTarget, Snr };
    Kind kind;
    std::string text; // "Mic overloaded by 4.0 dB"
};
std::vector<ChainWarning> ChainWarnings(const ChainInputs& in, const ChainResult& r, std::string_view decSep = ".");

// The warnings as one markup line for the warning label: centred, the
// warnings in orange and the SNR in the result line's light yellow, " ; "
// between them.
std::string BuildChainWarningLine(const std::vector<ChainWarning>& warnings);

// Every figure of the chain in plain sentences, for a screen reader.
std::string ChainDescription(const ChainInputs& in, const ChainResult& r, std::string_view decSep = ".");

// A figure with one decimal and its sign: "+2.7", "-18.0", "0.0".
std::string SignedFigure(double v, std::string_view decSep = ".");
