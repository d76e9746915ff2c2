#pragma once
// The microphone record, the calculator state and the unit conversions.
#include <cstdint>
#include <string>

// The figures of one microphone. -200 in a dBu, dBV or dBFS field and 0 in a
// volt, dB SPL, SNR or dynamic-range field mark a missing figure.
struct TMicParams {
    bool MicDigital = false;
    double MicMaxLevel_dBSPL = 0;
    double MicNoise_V = 0;
    double MicNoise_dBu = 0;
    double MicNoise_dBV = 0;
    double MicNoise_dBFS = 0;
    double MicNoise_dBSPL_ITU = 0;
    double MicNoise_dBSPL_AW = 0;
    double MicDynamic_dB = 0;
    double MicSNR_dB_ITU = 0;
    double MicSNR_dB_AW = 0;
    double MicSplMax = 0; // kept for the record's layout; nothing uses it
    double MicSens_V = 0;
    double MicSens_dBu = 0;
    double MicSens_dBV = 0;
    double MicSens_dBFS = 0;
    std::string MicType;
    std::string MicPolarPattern;
    std::int32_t MicZout = 0;
    double MicOut_V = 0;
    double MicOut_dBu = 0;
    double MicOut_dBV = 0;
    double MicOut_dBFS = 0;
    std::uint16_t MicBandWidth_L = 0;
    std::uint16_t MicBandWidth_H = 0;
};

// Puts every field that has a reset value back to it: the sensitivity and
// electric noise levels to -200, the rest to 0, false or empty. MicSplMax
// and the four MicOut_ fields keep their values.
void ResetMicParams(TMicParams& m);

// Sets every figure that is not finite to 0, as an input shows it.
void ZeroNonFinite(TMicParams& m);

// Everything the calculator works on. All zero at program start.
struct CalcState {
    TMicParams CurMic;  // working values
    TMicParams FileMic; // values as read from a preset
    double SourceLevel_dBSPL = 0;
    double SourceLevel_Pa = 0;
    double AmpGain_dB = 0;
    double AmpOut_V = 0;
    double AmpOut_dBu = 0;
    double AmpOut_dBV = 0;
    double AmpOut_dBFS = 0;

    void ResetCurMic() { ResetMicParams(CurMic); }
};

// Unit conversions: the only formulas the program uses.
namespace conv {

inline constexpr double kVolts0dBu = 0.775;     // 0 dBu
inline constexpr double kDbuToDbv = 2.2;        // dBV = dBu - 2.2, applied as such
inline constexpr double kPa0dBSPL = 0.00002;    // 0 dB SPL
inline constexpr double kSensRef_dBSPL = 94.0;  // level at which sensitivity and SNR are stated
inline constexpr double kItuToAWeighting = 11.0;
inline constexpr double kMissingLevel = -200.0; // missing dBu, dBV or dBFS figure

double VoltsToDbu(double volts); // no guard: the caller guards
double DbuToVolts(double dBu);
inline double DbuToDbv(double dBu) { return dBu - kDbuToDbv; }
inline double DbvToDbu(double dBV) { return dBV + kDbuToDbv; }
inline double MilliToVolts(double mV) { return mV / 1000.0; }
inline double VoltsToMilli(double v) { return v * 1000.0; }
inline double MicroToVolts(double uV) { return uV / 1000000.0; }
inline double VoltsToMicro(double v) { return v * 1000000.0; }
double DbsplToPa(double dBSPL);
double PaToDbspl(double pa); // 0 Pa or less gives 0 dB SPL
// The output level at the source level, from the sensitivity stated at
// 94 dB SPL (dBu, dBV or dBFS alike).
inline double OutputAtSource(double sens, double sourceLevel_dBSPL)
{
    return sens - (kSensRef_dBSPL - sourceLevel_dBSPL);
}
// The output voltage at the output level out_dBu; with a gain, the
// amplifier's output voltage.
double OutputVolts(double sens_V, double out_dBu, double sens_dBu, double gain_dB = 0.0);
// The SNR of an acoustic noise level; the electric noise level of an SNR; the
// noise level a dynamic range below the maximum level; the SNR A-weighted.
inline double SnrFromNoise(double noise_dBSPL_ITU) { return kSensRef_dBSPL - noise_dBSPL_ITU; }
inline double NoiseFromSnr(double sens, double snr) { return sens - snr; }
inline double NoiseFromDynamic(double max_dBSPL, double dynamic_dB) { return max_dBSPL - dynamic_dB; }
inline double SnrItuToAw(double snrItu) { return snrItu + kItuToAWeighting; }
inline double SnrAwToItu(double snrAw) { return snrAw - kItuToAWeighting; }
// The same relations turned round: the acoustic noise of an SNR, the SNR of a
// sensitivity and a noise level, the dynamic range down to a noise level.
inline double NoiseFromSnrAtRef(double snr) { return kSensRef_dBSPL - snr; }
inline double SnrFromLevels(double sens, double noise) { return sens - noise; }
inline double DynamicFromNoise(double max_dBSPL, double noise_dBSPL) { return max_dBSPL - noise_dBSPL; }
// A-weighted noise figures are the lower ones.
inline double NoiseAwToItu(double noiseAw) { return noiseAw + kItuToAWeighting; }

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

} // namespace conv

// The sensitivity / electric noise fields of a record set from a triad.
inline void setSensitivity(TMicParams& m, const conv::LevelTriad& t)
{
    m.MicSens_V = t.V;
    m.MicSens_dBu = t.dBu;
    m.MicSens_dBV = t.dBV;
}
inline void setNoise(TMicParams& m, const conv::LevelTriad& t)
{
    m.MicNoise_V = t.V;
    m.MicNoise_dBu = t.dBu;
    m.MicNoise_dBV = t.dBV;
}
