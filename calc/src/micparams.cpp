#include "calc/micparams.h"

#include <cmath>

void ResetMicParams(TMicParams& m)
{
    const double splMax = m.MicSplMax;
    const double outV = m.MicOut_V, outDbu = m.MicOut_dBu, outDbv = m.MicOut_dBV, outDbfs = m.MicOut_dBFS;
    m = TMicParams{};
    m.MicNoise_dBu = m.MicNoise_dBV = m.MicNoise_dBFS = conv::kMissingLevel;
    m.MicSens_dBu = m.MicSens_dBV = m.MicSens_dBFS = conv::kMissingLevel;
    m.MicSplMax = splMax;
    m.MicOut_V = outV;
    m.MicOut_dBu = outDbu;
    m.MicOut_dBV = outDbv;
    m.MicOut_dBFS = outDbfs;
}

void ZeroNonFinite(TMicParams& m)
{
    for (double* v : {&m.MicMaxLevel_dBSPL, &m.MicNoise_V, &m.MicNoise_dBu, &m.MicNoise_dBV, &m.MicNoise_dBFS,
                      &m.MicNoise_dBSPL_ITU, &m.MicNoise_dBSPL_AW, &m.MicDynamic_dB, &m.MicSNR_dB_ITU,
                      &m.MicSNR_dB_AW, &m.MicSplMax, &m.MicSens_V, &m.MicSens_dBu, &m.MicSens_dBV, &m.MicSens_dBFS,
                      &m.MicOut_V, &m.MicOut_dBu, &m.MicOut_dBV, &m.MicOut_dBFS})
        if (!std::isfinite(*v)) *v = 0;
}

namespace conv {

double VoltsToDbu(double volts) { return 20.0 * std::log10(volts / kVolts0dBu); }

double DbuToVolts(double dBu) { return kVolts0dBu * std::pow(10.0, dBu / 20.0); }

double DbsplToPa(double dBSPL) { return kPa0dBSPL * std::pow(10.0, dBSPL / 20.0); }

double PaToDbspl(double pa) { return pa > 0 ? 20.0 * std::log10(pa / kPa0dBSPL) : 0.0; }

double OutputVolts(double sens_V, double out_dBu, double sens_dBu, double gain_dB)
{
    // No sensitivity gives no output, however large the level difference.
    if (sens_V == 0) return 0.0;
    return sens_V * std::pow(10.0, (out_dBu - sens_dBu + gain_dB) / 20.0);
}

LevelTriad fromVolts(double volts)
{
    if (volts <= 0) return {volts, kMissingLevel, kMissingLevel};
    const double dBu = VoltsToDbu(volts);
    return {volts, dBu, DbuToDbv(dBu)};
}

LevelTriad fromDbu(double dBu) { return {DbuToVolts(dBu), dBu, DbuToDbv(dBu)}; }

LevelTriad fromDbv(double dBV)
{
    const double dBu = DbvToDbu(dBV);
    return {DbuToVolts(dBu), dBu, dBV};
}

} // namespace conv
