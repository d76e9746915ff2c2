#include "units/units.h"

#include <cmath>

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
