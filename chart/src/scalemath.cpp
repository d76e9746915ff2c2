#include "chart/scalemath.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "numtext/numtext.h"

namespace scale {

namespace {

// Rows far outside any screen are held here so that pixel arithmetic on
// them cannot overflow.
constexpr long long kRowLimit = 1LL << 28;
// The most decimals a format may ask for: a double holds no more.
constexpr int kMaxDecimals = 15;

int clampRow(long long r) { return static_cast<int>(std::clamp(r, -kRowLimit, kRowLimit)); }

} // namespace

int ScaleMap::row(double v) const
{
    const double r = range();
    if (std::fabs(r) <= kZeroRange) return (startRow + endRow) / 2;
    const double perValue = static_cast<double>(pixelSize()) / r;
    const double n = (v - min) * perValue;
    if (std::isnan(n)) return endRow;
    if (std::fabs(n) > static_cast<double>(kRowLimit)) return clampRow(n > 0 ? -kRowLimit : kRowLimit);
    return clampRow(static_cast<long long>(endRow) - static_cast<long long>(numtext::roundHalfEven(n)));
}

double ScaleMap::value(double y) const
{
    if (pixelSize() == 0) return min;
    return min + (endRow - y) * (range() / pixelSize());
}

double nextStep(double x)
{
    if (!(x > 0) || !std::isfinite(x)) return x;
    if (x >= 10) return 10 * nextStep(x / 10);
    if (x < 1) return nextStep(10 * x) / 10;
    if (x < 2) return 2;
    if (x < 5) return 5;
    return 10;
}

int labelSpace(int h, int separationPercent)
{
    return h + numtext::roundHalfEvenToInt(h * separationPercent * 0.01);
}

int labelCount(int pixelSize, int space)
{
    if (pixelSize <= 0 || space <= 0) return 1;
    return numtext::roundHalfEvenToInt(static_cast<double>(pixelSize) / space);
}

double labelStep(double min, double max, int pixelSize, int h, int separationPercent, double increment)
{
    int space = labelSpace(h, separationPercent);
    if (space > 0) space = std::max(space, kMinLabelPitch);
    const int n = labelCount(pixelSize, space);
    const double range = max - min;
    if (n < 1) return kMinStep;
    const bool fixed = increment > 0;
    if (std::fabs(range) <= kZeroRange && !fixed) return 1;

    double step = fixed ? increment : std::fabs(range) / (n + 1);
    if (!(step > 0) || !std::isfinite(step)) return std::max(kMinStep, std::isfinite(step) ? step : kMinStep);
    long long k = LLONG_MAX;
    do {
        const double c = range / step;
        if (std::fabs(c) < 2147483647.0) {
            k = std::llround(numtext::roundHalfEven(c));
            if (k > n) step = fixed ? 2 * step : nextStep(step);
        } else {
            step = fixed ? 2 * step : nextStep(step);
        }
    } while (k > n && step <= std::fabs(range) && std::isfinite(step));
    return std::max(step, kMinStep);
}

std::vector<double> labelValues(double min, double max, double step, double origin)
{
    std::vector<double> out;
    const double range = max - min;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(range)) return out;
    if (std::fabs(range / step) >= kMaxLabelCount) return out;

    // Every value is first - i * step from a whole-number index i, so no
    // error adds up from one label to the next.
    double first = origin == max ? max : origin + std::trunc((max - origin) / step) * step;
    if (!std::isfinite(first)) first = max; // (max - origin) / step beyond the double range
    // Where step is below the precision of first, subtracting it changes nothing.
    while (first > max && first - step != first) first -= step;
    if (min == max) return {max};
    if (std::fabs(range) <= kZeroRange || first - step == first) return {first};

    const double lower = min < 0 ? min : (min - kZeroRange) / (1 + kZeroRange);
    // A value within a tiny fraction of a step from 0 is 0.
    const double zero = step * 1e-9;
    double last = first;
    for (double i = 0; i < kMaxLabelCount + 1; ++i) {
        double v = first - i * step;
        if (std::fabs(v) < zero) v = 0;
        if (v < lower) break;
        if (i > 0 && v == last) break; // below the precision of the values
        out.push_back(v);
        last = v;
    }
    return out;
}

std::vector<double> labelValuesInRows(const ScaleMap& map, double step, int top, int bottom, double origin)
{
    const double range = map.range();
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(range)) return {};
    if (std::fabs(range / step) >= kMaxLabelCount) return {};
    if (map.pixelSize() <= 0 || std::fabs(range) <= kZeroRange || (map.startRow >= top && map.endRow <= bottom))
        return labelValues(map.min, map.max, step, origin);
    // The values at the rows that bound the window, a step wider on each side.
    const double hi = std::min(map.max, map.value(std::max(top, map.startRow)) + step);
    const double lo = std::max(map.min, map.value(std::min(bottom, map.endRow)) - step);
    if (!(lo <= hi)) return {};
    std::vector<double> out;
    for (double v : labelValues(lo, hi, step, origin)) {
        const int r = map.row(v);
        if (r >= top && r <= bottom && v <= map.max && v >= map.min) out.push_back(v);
    }
    return out;
}

AxisNumberFormat parseAxisNumberFormat(std::string_view pattern)
{
    AxisNumberFormat f{false, 0, 0, 0};
    bool decimals = false;
    for (char c : pattern) {
        if (c == '.') decimals = true;
        else if (c == ',' && !decimals) f.group = true;
        else if (c == '0') ++(decimals ? f.minDecimals : f.minIntegerDigits);
        else if (c == '#' && decimals) ++f.maxDecimals;
    }
    // No more decimals than a double holds.
    f.minDecimals = std::min(f.minDecimals, kMaxDecimals);
    f.maxDecimals = std::min(f.minDecimals + f.maxDecimals, kMaxDecimals);
    f.minIntegerDigits = std::min(f.minIntegerDigits, numtext::kReadableIntegerDigits);
    return f;
}

std::string formatAxisValue(double v, std::string_view decSep, std::string_view groupSep, const AxisNumberFormat& format)
{
    std::string text = numtext::formatFixed(v, format.maxDecimals, ".");
    // Beyond 15 integer digits the exponent form, as numtext::formatFigure writes it.
    if (std::min(text.find('.'), text.size()) > static_cast<std::size_t>(numtext::kReadableIntegerDigits) + (text[0] == '-' ? 1 : 0))
        return numtext::formatGeneral(v, numtext::kReadableIntegerDigits, decSep);
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.erase(0, 1);

    std::string intPart = text, frac;
    if (const auto dot = text.find('.'); dot != std::string::npos) {
        intPart = text.substr(0, dot);
        frac = text.substr(dot + 1);
    }
    while (frac.size() > static_cast<std::size_t>(format.minDecimals) && frac.back() == '0') frac.pop_back();
    if (intPart == "0" && frac.find_first_not_of('0') == std::string::npos) negative = false;
    if (intPart == "0" && format.minIntegerDigits == 0) intPart.clear(); // ".5" from "#.#"
    if (intPart.size() < static_cast<std::size_t>(format.minIntegerDigits))
        intPart.insert(0, format.minIntegerDigits - intPart.size(), '0');

    std::string grouped;
    for (std::size_t i = 0; i < intPart.size(); ++i) {
        if (format.group && i > 0 && (intPart.size() - i) % 3 == 0) grouped += groupSep;
        grouped += intPart[i];
    }
    std::string out = negative ? "-" : "";
    out += grouped;
    if (!frac.empty()) {
        out += decSep;
        out += frac;
    }
    return out.empty() ? "0" : out;
}

} // namespace scale
