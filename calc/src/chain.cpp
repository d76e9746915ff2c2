#include "calc/chain.h"

#include <cmath>

#include "numtext/numtext.h"
#include "units/units.h"

using numtext::formatFigure;

namespace {

// The distance LevelAtDistance works with: 1 m for one that is not a
// positive number.
double usedDistance(double d) { return d > 0 && std::isfinite(d) ? d : 1.0; }

} // namespace

double LevelAtDistance(double level1m_dBSPL, double distance_m, SourceShape shape)
{
    const double perDecade = shape == SourceShape::Line ? 10.0 : 20.0;
    // log10(1) is 0 exactly: at 1 m the level is L1m itself.
    return level1m_dBSPL - perDecade * std::log10(usedDistance(distance_m));
}

namespace {

// The voltage of a noise level; the missing-figure marker is no noise at all.
double noiseVolts(double dBu) { return dBu <= conv::kMissingLevel ? 0.0 : conv::dbuToVolts(dBu); }

// The power sum of two noise voltages, in dBu. Without preamplifier noise the
// microphone's figure comes back unchanged, not through a round trip.
double powerSum_dBu(double mic_dBu, double amp_V)
{
    if (!(amp_V > 0)) return mic_dBu;
    return conv::voltsToDbu(std::hypot(noiseVolts(mic_dBu), amp_V));
}

} // namespace

ChainResult CalcChain(const ChainInputs& in)
{
    using namespace conv;
    ChainResult r;
    r.level_dBSPL = LevelAtDistance(in.sourceLevel1m_dBSPL, in.distance_m, in.shape);
    r.maxLevelGiven = in.maxLevel_dBSPL > 0;
    r.overload_dB = r.level_dBSPL - in.maxLevel_dBSPL;
    const double sens = in.digital ? in.sens_dBFS : in.sens_dBu;
    r.micOut = outputAtSource(sens, r.level_dBSPL);
    r.ampOut = r.micOut + in.gain_dB;
    if (in.digital) {
        r.micNoise = in.micNoise_dBFS;
        r.systemNoise = r.micNoise;
        r.ampOut_dBFS = r.ampOut;
        r.micClip_dB = r.micOut;
        r.fullScale_dBSPL = kSensRef_dBSPL - in.sens_dBFS;
        r.gainForTarget_dB = in.target_dBFS - r.micOut;
        r.clipLevel_dBSPL = r.fullScale_dBSPL - in.gain_dB;
        r.fullScaleMicOut = 0;
        r.targetMicOut = in.target_dBFS - in.gain_dB;
    } else {
        r.micNoise = in.micNoise_dBu;
        r.systemNoise = powerSum_dBu(in.micNoise_dBu, microToVolts(in.ampNoise_uV));
        r.ampOut_dBFS = r.ampOut - in.fullScale_dBu;
        r.gainForTarget_dB = in.target_dBFS + in.fullScale_dBu - r.micOut;
        r.clipLevel_dBSPL = in.fullScale_dBu - in.gain_dB - in.sens_dBu + kSensRef_dBSPL;
        r.fullScaleMicOut = in.fullScale_dBu - in.gain_dB;
        r.targetMicOut = in.target_dBFS + in.fullScale_dBu - in.gain_dB;
    }
    r.noiseGiven = r.systemNoise > kMissingLevel;
    r.micNoiseGiven = r.micNoise > kMissingLevel;
    r.ampNoiseAdds_dB = r.micNoiseGiven ? r.systemNoise - r.micNoise : 0;
    // Through the sensitivity: the acoustic level that gives this noise.
    r.systemNoise_dBSPL = r.systemNoise - sens + kSensRef_dBSPL;
    r.snr_dB = r.level_dBSPL - r.systemNoise_dBSPL;
    r.headroom_dB = -r.ampOut_dBFS;
    r.toTarget_dB = in.target_dBFS - r.ampOut_dBFS;
    return r;
}

namespace {

// Whether a figure shows as more than 0 with one decimal: a warning names
// only what its own figure shows.
bool showsAbove0(double v, std::string_view sep)
{
    return v > 0 && !conv::readsZero(formatFigure(v, 1, sep));
}

std::string dB1(double v, std::string_view sep) { return formatFigure(v, 1, sep) + " dB"; }

} // namespace

std::string SignedFigure(double v, std::string_view sep)
{
    const std::string t = formatFigure(v, 1, sep);
    return (t.front() == '-' || conv::readsZero(t)) ? t : "+" + t;
}

std::vector<ChainWarning> ChainWarnings(const ChainInputs& in, const ChainResult& r, std::string_view sep)
{
    using K = ChainWarning::Kind;
    std::vector<ChainWarning> w;
    if (r.maxLevelGiven && showsAbove0(r.overload_dB, sep)) w.push_back({K::Overload, "Mic overloaded by " + dB1(r.overload_dB, sep)});
    if (in.digital) {
        // The microphone's own converter, then the digital gain after it.
        if (showsAbove0(r.micClip_dB, sep)) w.push_back({K::ConverterClips, "Converter clips by " + dB1(r.micClip_dB, sep)});
        if (in.gain_dB > 0 && showsAbove0(r.ampOut_dBFS, sep))
            w.push_back({K::GainClips, "Digital gain clips by " + dB1(r.ampOut_dBFS, sep)});
    } else if (showsAbove0(r.ampOut_dBFS, sep)) {
        w.push_back({K::ConverterClips, "Converter clips by " + dB1(r.ampOut_dBFS, sep)});
    }
    if (showsAbove0(r.toTarget_dB, sep)) w.push_back({K::UnderTarget, dB1(r.toTarget_dB, sep) + " under target"});
    if (r.noiseGiven) w.push_back({K::Snr, "Chain SNR " + dB1(r.snr_dB, sep)});
    return w;
}

std::string BuildChainWarningLine(const std::vector<ChainWarning>& warnings)
{
    std::string line = "<P align=\"center\">";
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        if (i > 0) line += " ; ";
        const bool snr = warnings[i].kind == ChainWarning::Kind::Snr;
        line += snr ? "<FONT color=\"#FFFF80\">" : "<FONT color=\"#FF8040\"><B>";
        line += warnings[i].text;
        line += snr ? "</FONT>" : "</B></FONT>";
    }
    return line + "</P>";
}

std::string ChainDescription(const ChainInputs& in, const ChainResult& r, std::string_view sep)
{
    auto f1 = [sep](double v) { return formatFigure(v, 1, sep); };
    std::string t = "Signal chain: source " + f1(in.sourceLevel1m_dBSPL) + " dB SPL at 1 m, " +
                    numtext::formatGeneral(usedDistance(in.distance_m), 6, sep) +
                    " m away, " + (in.shape == SourceShape::Line ? "line" : "point") + " source: " +
                    f1(r.level_dBSPL) + " dB SPL at the microphone. ";
    if (!r.noiseGiven) {
        t += "No noise figure, no chain SNR. ";
    } else {
        if (in.digital) {
            t += "Noise " + f1(r.systemNoise) + " dBFS, " + f1(r.systemNoise_dBSPL) + " dB SPL. ";
        } else {
            t += "System noise " + f1(r.systemNoise) + " dBu, " + f1(r.systemNoise_dBSPL) +
                 " dB SPL; " +
                 (r.micNoiseGiven ? "the preamplifier adds " + SignedFigure(r.ampNoiseAdds_dB, sep) + " dB. "
                                  : "the preamplifier's alone, the microphone gives no noise figure. ");
        }
        t += "Chain SNR " + f1(r.snr_dB) + " dB. ";
    }
    if (in.digital) {
        t += "0 dBFS = " + f1(r.fullScale_dBSPL) + " dB SPL; microphone output " + f1(r.micOut) +
             " dBFS, after the digital gain " + f1(r.ampOut_dBFS) + " dBFS";
    } else {
        t += "Converter 0 dBFS = " + SignedFigure(in.fullScale_dBu, sep) + " dBu; amplifier output " + f1(r.ampOut_dBFS) +
             " dBFS";
    }
    t += ", headroom " + f1(r.headroom_dB) + " dB, " +
         (r.toTarget_dB >= 0 ? f1(r.toTarget_dB) + " dB under" : f1(-r.toTarget_dB) + " dB over") + " the target of " +
         f1(in.target_dBFS) + " dBFS; the gain for the target is " + f1(r.gainForTarget_dB) +
         " dB; 0 dBFS is reached at " + f1(r.clipLevel_dBSPL) + " dB SPL. ";
    for (const ChainWarning& w : ChainWarnings(in, r, sep))
        if (w.kind != ChainWarning::Kind::Snr) t += w.text + ". ";
    t.pop_back(); // the blank after the last sentence
    return t;
}
