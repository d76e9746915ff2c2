#include "diagram/labeltexts.h"

#include "numtext/numtext.h"
#include "units/units.h"

#include <cmath>

namespace labeltext {

std::string formatPadded(double v, int width, int decimals, std::string_view decSep)
{
    std::string s = numtext::formatFigure(v, decimals, decSep);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

namespace {

// Significant digits of the number in a text: from its first digit other
// than zero to its last digit.
int significantDigits(const std::string& s)
{
    int n = 0;
    bool started = false;
    for (char c : s) {
        if (c == ' ' && started) break;
        if (c >= '1' && c <= '9') started = true;
        if (started && c >= '0' && c <= '9') ++n;
    }
    return n;
}

// The text of v (a level in dB) by text(v, extra) with the fewest extra
// decimals that set it apart from both neighbours, v - step and v + step.
template <class Text>
std::string distinct(const Text& text, double v, double step)
{
    constexpr int kMaxExtra = 9;
    if (!(step > 0)) return text(v, 0);
    // A text of s significant digits resolves 10^(1 - s) of its figure; the
    // neighbours lie a share g away: wide enough, they cannot read alike,
    // and their texts need not be made.
    const double g = 1 - std::pow(10.0, -step / 20);
    for (int extra = 0; extra < kMaxExtra; ++extra) {
        std::string t = text(v, extra);
        if (g >= 1.5 * std::pow(10.0, 1 - significantDigits(t))) return t;
        if (t != text(v - step, extra) && t != text(v + step, extra)) return t;
    }
    return text(v, kMaxExtra);
}

int pascalDecimals(double p) { return p < 0.1 ? 5 : p < 1 ? 4 : p < 10 ? 3 : p < 100 ? 2 : 1; }

} // namespace

double pascalOf(double dBSPL)
{
    const double p = conv::dbsplToPa(dBSPL);
    // Six significant digits through the general number text.
    return numtext::parseNumber(numtext::formatGeneral(p, 6, "."), ".").value_or(p);
}

std::string pascal(double p, std::string_view decSep, int extra)
{
    static constexpr const char* kPascal[] = {" Pa", " kPa", " MPa", " GPa"};
    const std::string t = conv::onThousandsLadder(
        p, kPascal, 0, [&](double x) { return numtext::formatFigure(x, pascalDecimals(x) + extra, decSep); });
    if (!conv::readsZero(t) || !(p > 0)) return t;
    // Where five decimals read zero: micropascal and smaller.
    static constexpr const char* kSmaller[] = {" pPa", " nPa", " uPa"};
    return conv::onThousandsLadder(p * 1e6, kSmaller, 2,
                                   [&](double x) { return formatPadded(x, 3, 3 + extra, decSep); });
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

std::string milliVolts(double m, std::string_view decSep, int extra)
{
    static constexpr const char* kVolts[] = {" aV", " fV", " pV", " nV", " uV", " mV",
                                             " V",  " kV", " MV", " GV", " TV", " PV"};
    constexpr std::size_t kMilli = 5;
    return conv::onThousandsLadder(m < 1 ? m * 1000 : m, kVolts, m < 1 ? kMilli - 1 : kMilli,
                                   [&](double x) { return formatPadded(x, 3, 3 + extra, decSep); });
}

double milliVoltsOf(double dBu) { return conv::voltsToMilli(conv::dbuToVolts(dBu)); }

std::string dBSPL(std::string_view engineText) { return std::string(engineText) + " dBSPL"; }

std::string pa(double v, std::string_view decSep, double step)
{
    return distinct([&](double x, int extra) { return pascal(pascalOf(x), decSep, extra); }, v, step);
}

std::string pa2(double v, std::string_view decSep) { return pascal2(pascalOf(v), decSep); }

std::string dBu(double v, std::string_view decSep) { return numtext::formatFigure(v, 0, decSep) + " dBu"; }

std::string mV(double v, std::string_view decSep, double step)
{
    return distinct([&](double x, int extra) { return milliVolts(milliVoltsOf(x), decSep, extra); }, v, step);
}

std::string dBV(double v, std::string_view decSep)
{
    return numtext::formatFigure(conv::dbuToDbv(v), 0, decSep) + " dBV";
}

std::string dBFS(double v, std::string_view decSep) { return numtext::formatFigure(v, 0, decSep) + " dBFS"; }

std::string overMaxText(double max_dBSPL, std::string_view decSep)
{
    return "Mic Max level = " + numtext::formatFigure(max_dBSPL, 0, decSep) + " dBSPL";
}

std::string noiseZoneText(double noise, bool digital, std::string_view decSep)
{
    return "Mic Noise level = " + numtext::formatFigure(noise, 0, decSep) + (digital ? " dBFS" : " dBu");
}

} // namespace labeltext
