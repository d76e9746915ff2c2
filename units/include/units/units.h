#pragma once
// Unit conversions: the only formulas the program uses, shared by the
// calculator and the diagram's labels. Plain C++.
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace conv {

inline constexpr double kVolts0dBu = 0.775;     // 0 dBu
inline constexpr double kDbuToDbv = 2.2;        // dBV = dBu - 2.2, applied as such
inline constexpr double kPa0dBSPL = 0.00002;    // 0 dB SPL
inline constexpr double kSensRef_dBSPL = 94.0;  // level at which sensitivity and SNR are stated
inline constexpr double kItuToAWeighting = 11.0;
inline constexpr double kMissingLevel = -200.0; // missing dBu, dBV or dBFS figure

double voltsToDbu(double volts); // no guard: the caller guards
double dbuToVolts(double dBu);
inline double dbuToDbv(double dBu) { return dBu - kDbuToDbv; }
inline double dbvToDbu(double dBV) { return dBV + kDbuToDbv; }
inline double milliToVolts(double mV) { return mV / 1000.0; }
inline double voltsToMilli(double v) { return v * 1000.0; }
inline double microToVolts(double uV) { return uV / 1000000.0; }
inline double voltsToMicro(double v) { return v * 1000000.0; }
double dbsplToPa(double dBSPL);
double paToDbspl(double pa); // 0 Pa or less gives 0 dB SPL
// The output level at the source level, from the sensitivity stated at
// 94 dB SPL (dBu, dBV or dBFS alike).
inline double outputAtSource(double sens, double sourceLevel_dBSPL)
{
    return sens - (kSensRef_dBSPL - sourceLevel_dBSPL);
}
// The output voltage at the output level out_dBu; with a gain, the
// amplifier's output voltage.
double outputVolts(double sens_V, double out_dBu, double sens_dBu, double gain_dB = 0.0);
// The SNR of an acoustic noise level; the electric noise level of an SNR; the
// noise level a dynamic range below the maximum level; the SNR A-weighted.
inline double snrFromNoise(double noise_dBSPL_ITU) { return kSensRef_dBSPL - noise_dBSPL_ITU; }
inline double noiseFromSnr(double sens, double snr) { return sens - snr; }
inline double noiseFromDynamic(double max_dBSPL, double dynamic_dB) { return max_dBSPL - dynamic_dB; }
inline double snrItuToAw(double snrItu) { return snrItu + kItuToAWeighting; }
inline double snrAwToItu(double snrAw) { return snrAw - kItuToAWeighting; }
// The same relations turned round: the acoustic noise of an SNR, the SNR of a
// sensitivity and a noise level, the dynamic range down to a noise level.
inline double noiseFromSnrAtRef(double snr) { return kSensRef_dBSPL - snr; }
inline double snrFromLevels(double sens, double noise) { return sens - noise; }
inline double dynamicFromNoise(double max_dBSPL, double noise_dBSPL) { return max_dBSPL - noise_dBSPL; }
// A-weighted noise figures are the lower ones.
inline double noiseAwToItu(double noiseAw) { return noiseAw + kItuToAWeighting; }

// One electric level in its three units: volts, dBu and dBV.
struct LevelTriad {
    double V = 0;
    double dBu = kMissingLevel;
    double dBV = kMissingLevel;
};

// The triad of a voltage; one of 0 V or less has no level in dB, and gives
// the missing-figure markers with the voltage as it is.
LevelTriad fromVolts(double volts);
// The triads of a level in dBu / in dBV (no guard: the caller guards).
LevelTriad fromDbu(double dBu);
LevelTriad fromDbv(double dBV);

// No digit other than zero: the text of a figure reads zero.
bool readsZero(std::string_view text);

// A figure on a ladder of units a thousand apart, units[0] the smallest
// (" uV", " mV", " V"): x, in units[at], goes up a unit while it is 1000 or
// more or its text reads 1000 or more ("1000.000 uV" is "1.000 mV"), then
// down one while it is positive and its text reads zero, as far as the
// ladder goes. Returns its text followed by the unit.
std::string onThousandsLadder(double x, std::span<const char* const> units, std::size_t at,
                              const std::function<std::string(double)>& text);

} // namespace conv
