#include "calc/micparams.h"

#include <cmath>

void resetMicParams(TMicParams& m)
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

void zeroNonFinite(TMicParams& m)
{
    for (double* v : {&m.MicMaxLevel_dBSPL, &m.MicNoise_V, &m.MicNoise_dBu, &m.MicNoise_dBV, &m.MicNoise_dBFS,
                      &m.MicNoise_dBSPL_ITU, &m.MicNoise_dBSPL_AW, &m.MicDynamic_dB, &m.MicSNR_dB_ITU,
                      &m.MicSNR_dB_AW, &m.MicSplMax, &m.MicSens_V, &m.MicSens_dBu, &m.MicSens_dBV, &m.MicSens_dBFS,
                      &m.MicOut_V, &m.MicOut_dBu, &m.MicOut_dBV, &m.MicOut_dBFS})
        if (!std::isfinite(*v)) *v = 0;
}
