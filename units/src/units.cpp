#include "units/units.h"

#include <cmath>

namespace conv {

double voltsToDbu(double volts) { return 20.0 * std::log10(volts / kVolts0dBu); }

double dbuToVolts(double dBu) { return kVolts0dBu * std::pow(10.0, dBu / 20.0); }

double dbsplToPa(double dBSPL) { return kPa0dBSPL * std::pow(10.0, dBSPL / 20.0); }

double paToDbspl(double pa) { return pa > 0 ? 20.0 * std::log10(pa / kPa0dBSPL) : 0.0; }

double outputVolts(double sens_V, double out_dBu, double sens_dBu, double gain_dB)
{
    // No sensitivity gives no output, however large the level difference.
    if (sens_V == 0) return 0.0;
    return sens_V * std::pow(10.0, (out_dBu - sens_dBu + gain_dB) / 20.0);
}

LevelTriad fromVolts(double volts)
{
    if (volts <= 0) return {volts, kMissingLevel, kMissingLevel};
    const double dBu = voltsToDbu(volts);
    return {volts, dBu, dbuToDbv(dBu)};
}

bool readsZero(std::string_view s) { return s.find_first_of("123456789") == std::string_view::npos; }

namespace {

// Four or more integer digits after the leading spaces.
bool readsThousand(const std::string& s)
{
    std::size_t i = s.find_first_not_of(' ');
    int digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++digits;
    return digits >= 4;
}

} // namespace

std::string onThousandsLadder(double x, std::span<const char* const> units, std::size_t at,
                              const std::function<std::string(double)>& text)
{
    std::string t = text(x);
    while (at + 1 < units.size() && (x >= 1000 || readsThousand(t))) {
        x /= 1000;
        ++at;
        t = text(x);
    }
    while (at > 0 && x > 0 && readsZero(t)) {
        x *= 1000;
        --at;
        t = text(x);
    }
    return t + units[at];
}

LevelTriad fromDbu(double dBu) { return {dbuToVolts(dBu), dBu, dbuToDbv(dBu)}; }

LevelTriad fromDbv(double dBV)
{
    const double dBu = dbvToDbu(dBV);
    return {dbuToVolts(dBu), dBu, dBV};
}

} // namespace conv
