#include "diagram/labeltexts.h"

#include "calc/micparams.h"
#include "calc/numtext.h"

namespace labeltext {

std::string formatPadded(double v, int width, int decimals, std::string_view decSep)
{
    std::string s = numtext::formatFixed(v, decimals, decSep);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

double pascalOf(double dBSPL)
{
    const double p = conv::DbsplToPa(dBSPL);
    // Six significant digits through the general number text.
    return numtext::parseNumber(numtext::formatGeneral(p, 6, "."), ".").value_or(p);
}

std::string pascal(double p, std::string_view decSep)
{
    const int d = p < 0.1 ? 5 : p < 1 ? 4 : p < 10 ? 3 : p < 100 ? 2 : 1;
    return numtext::formatFixed(p, d, decSep) + " Pa";
}

std::string pascal2(double p, std::string_view decSep)
{
    if (p < 0.0001) return formatPadded(p, 1, 5, decSep) + " Pa";
    if (p < 0.001) return formatPadded(p, 2, 4, decSep) + " Pa";
    if (p < 0.01) return formatPadded(p, 3, 3, decSep) + " Pa";
    if (p < 0.1) return formatPadded(p, 4, 2, decSep) + " Pa";
    if (p < 1) return formatPadded(p, 5, 1, decSep) + " Pa";
    return formatPadded(p, 6, 0, decSep) + " Pa";
}

std::string milliVolts(double m, std::string_view decSep)
{
    if (m < 1) return formatPadded(m * 1000, 3, 3, decSep) + " uV";
    if (m < 1000) return formatPadded(m, 3, 3, decSep) + " mV";
    return formatPadded(m / 1000, 3, 3, decSep) + " V";
}

double milliVoltsOf(double dBu) { return conv::VoltsToMilli(conv::DbuToVolts(dBu)); }

std::string dBSPL(std::string_view engineText) { return std::string(engineText) + " dBSPL"; }

std::string pa(double v, std::string_view decSep) { return pascal(pascalOf(v), decSep); }

std::string pa2(double v, std::string_view decSep) { return pascal2(pascalOf(v), decSep); }

std::string dBu(double v, std::string_view decSep) { return numtext::formatFixed(v, 0, decSep) + " dBu"; }

std::string mV(double v, std::string_view decSep) { return milliVolts(milliVoltsOf(v), decSep); }

std::string dBV(double v, std::string_view decSep)
{
    return numtext::formatFixed(conv::DbuToDbv(v), 0, decSep) + " dBV";
}

std::string dBFS(double v, std::string_view decSep) { return numtext::formatFixed(v, 0, decSep) + " dBFS"; }

std::string overMaxText(double max_dBSPL, std::string_view decSep)
{
    return "Mic Max level = " + numtext::formatFixed(max_dBSPL, 0, decSep) + " dBSPL";
}

std::string noiseZoneText(double noise, bool digital, std::string_view decSep)
{
    return "Mic Noise level = " + numtext::formatFixed(noise, 0, decSep) + (digital ? " dBFS" : " dBu");
}

} // namespace labeltext
