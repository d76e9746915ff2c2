#pragma once
// The microphone record and the calculator state; the unit conversions are
// in units/units.h.
#include <cstdint>
#include <string>

#include "units/units.h"

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
void resetMicParams(TMicParams& m);

// Sets every figure that is not finite to 0, as an input shows it.
void zeroNonFinite(TMicParams& m);

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

    void ResetCurMic() { resetMicParams(CurMic); }
};

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
