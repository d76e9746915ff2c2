#include "numtext/numtext.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace numtext {
namespace {

// The 18 significant digits of |v| (v finite and non-zero) and the decimal
// exponent of the first one: |v| = 0.d0 d1 ... d17 * 10^(exp + 1).
struct Digits {
    char d[18];
    int exp;
};

Digits expand(double a)
{
    // to_chars ignores the C locale: always "d.ddddddddddddddddde+XX".
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf - 1, a, std::chars_format::scientific, 17);
    *res.ptr = '\0';
    Digits r{};
    r.d[0] = buf[0];
    for (int i = 1; i < 18; ++i) r.d[i] = buf[i + 1];
    r.exp = std::atoi(buf + 20);
    return r;
}

// Adds one unit to the last digit of a decimal digit string; a carry that
// runs out of the front gives the string a leading '1'.
void incrementDigits(std::string& s)
{
    for (int i = static_cast<int>(s.size()) - 1; i >= 0; --i) {
        if (s[i] == '9') {
            s[i] = '0';
        } else {
            ++s[i];
            return;
        }
    }
    s.insert(s.begin(), '1');
}

// Rounds |v| to `keep` significant digits (keep may be <= 0, meaning the
// rounding point lies left of the first digit). Returns the kept digits and
// the power of ten of the last kept digit.
struct Rounded {
    std::string digits; // may be empty (value 0)
    int scale;          // value = digits * 10^scale
};

Rounded roundDigits(const Digits& x, int keep, bool cut = false)
{
    Rounded r;
    r.scale = x.exp + 1 - keep;
    bool up = false;
    if (keep > 0) {
        const int k = std::min(keep, 18);
        r.digits.assign(x.d, x.d + k);
        r.digits.append(static_cast<size_t>(keep - k), '0');
        up = keep < 18 && x.d[keep] >= '5';
    } else if (keep == 0) {
        up = x.d[0] >= '5';
    }
    if (up && !cut) {
        if (r.digits.empty()) r.digits.push_back('0');
        incrementDigits(r.digits);
    }
    return r;
}

// Rounds like roundDigits, but cuts instead where rounding up would carry one
// of the largest doubles past the double range (1.7976931348623157e308 to
// 15 digits is 1.79769313486232e308), so that the text always reads back.
Rounded roundWithinRange(const Digits& x, int keep)
{
    Rounded r = roundDigits(x, keep);
    if (x.exp < 308 || r.digits.empty()) return r;
    const std::string s = r.digits + "e" + std::to_string(r.scale);
    double v = 0;
    if (std::from_chars(s.data(), s.data() + s.size(), v).ec == std::errc::result_out_of_range)
        r = roundDigits(x, keep, true);
    return r;
}

} // namespace

std::string formatFixed(double v, int decimals, std::string_view decSep)
{
    if (!std::isfinite(v)) v = 0.0; // never show nan or inf
    decimals = std::clamp(decimals, 0, 40);

    std::string intPart = "0";
    std::string frac(static_cast<size_t>(decimals), '0');
    const bool negative = std::signbit(v);
    const double a = std::fabs(v);
    if (a != 0.0) {
        const Digits x = expand(a);
        Rounded r = roundWithinRange(x, std::min(x.exp + 1 + decimals, 15));
        if (!r.digits.empty()) {
            std::string d = r.digits;
            if (r.scale >= 0) {
                intPart = d + std::string(static_cast<size_t>(r.scale), '0');
            } else {
                const size_t fracDigits = static_cast<size_t>(-r.scale); // <= decimals
                if (d.size() <= fracDigits) d.insert(0, fracDigits - d.size() + 1, '0');
                intPart = d.substr(0, d.size() - fracDigits);
                frac = d.substr(d.size() - fracDigits) +
                       std::string(static_cast<size_t>(decimals) - fracDigits, '0');
            }
            size_t nz = intPart.find_first_not_of('0');
            intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
        }
    }
    std::string out;
    if (negative && (intPart + frac).find_first_not_of('0') != std::string::npos) out += '-';
    out += intPart;
    if (decimals > 0) {
        out += decSep;
        out += frac;
    }
    return out;
}

std::string formatFigure(double v, int decimals, std::string_view decSep)
{
    std::string t = formatFixed(v, decimals, decSep);
    const std::size_t sign = !t.empty() && t[0] == '-' ? 1 : 0;
    const std::size_t sepAt = decimals > 0 ? t.find(decSep, sign) : std::string::npos;
    const std::size_t intDigits = (sepAt == std::string::npos ? t.size() : sepAt) - sign;
    if (intDigits > static_cast<std::size_t>(kReadableIntegerDigits))
        return formatGeneral(v, kReadableIntegerDigits, decSep);
    return t;
}

std::string formatGeneral(double v, int sigDigits, std::string_view decSep)
{
    if (!std::isfinite(v)) v = 0.0;
    sigDigits = std::clamp(sigDigits, 1, 18);
    if (v == 0.0) return "0";
    const bool negative = v < 0;
    const Digits x = expand(std::fabs(v));
    Rounded r = roundWithinRange(x, sigDigits);
    // Exponent of the first significant digit after rounding.
    int exp10 = r.scale + static_cast<int>(r.digits.size()) - 1;
    // Without trailing zeros; the first digit is never 0.
    std::string d = r.digits;
    d.erase(d.find_last_not_of('0') + 1);
    std::string out = negative ? "-" : "";
    if (exp10 < -5 || exp10 >= sigDigits) {
        out += d[0];
        if (d.size() > 1) {
            out += decSep;
            out += d.substr(1);
        }
        out += 'E';
        out += std::to_string(exp10);
        return out;
    }
    if (exp10 < 0) {
        out += '0';
        out += decSep;
        out += std::string(static_cast<size_t>(-exp10 - 1), '0');
        out += d;
    } else {
        const size_t intDigits = static_cast<size_t>(exp10) + 1;
        if (d.size() <= intDigits) {
            out += d + std::string(intDigits - d.size(), '0');
        } else {
            out += d.substr(0, intDigits);
            out += decSep;
            out += d.substr(intDigits);
        }
    }
    return out;
}

namespace {

// The power of ten of the leading nonzero digit of a normalised number text
// ("[sign]digits[.digits][e[sign]digits]"), saturated far beyond the double
// range; far below it when every digit is zero.
long long decimalMagnitude(std::string_view ascii)
{
    constexpr long long kFar = 1'000'000'000'000LL;
    const size_t e = ascii.find('e');
    const std::string_view mantissa = ascii.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        size_t i = e + 1;
        const bool negative = i < ascii.size() && ascii[i] == '-';
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
        for (; i < ascii.size(); ++i) exponent = std::min(kFar, exponent * 10 + (ascii[i] - '0'));
        if (negative) exponent = -exponent;
    }
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    for (size_t i = 0; i < mantissa.size(); ++i) {
        if (mantissa[i] < '1' || mantissa[i] > '9') continue;
        const long long place = i < point ? static_cast<long long>(point - i - 1) : -static_cast<long long>(i - point);
        return place + exponent;
    }
    return -kFar;
}

} // namespace

std::optional<double> parseNumber(std::string_view text, std::string_view decSep)
{
    size_t i = 0;
    const size_t n = text.size();
    // The end of the run of ASCII digits from `from`.
    const auto digitsEnd = [&](size_t from) {
        while (from < n && text[from] >= '0' && text[from] <= '9') ++from;
        return from;
    };
    while (i < n && text[i] == ' ') ++i;
    std::string ascii; // normalised for from_chars; digits are copied run by run
    ascii.reserve(n + 2);
    if (i < n && (text[i] == '+' || text[i] == '-')) ascii += text[i++];
    ascii += '0';
    size_t end = digitsEnd(i);
    bool mantissa = end > i;
    ascii.append(text.substr(i, end - i));
    i = end;
    if (!decSep.empty() && text.substr(i, decSep.size()) == decSep) {
        i += decSep.size();
        mantissa = true;
        ascii += '.';
        end = digitsEnd(i);
        ascii.append(text.substr(i, end - i));
        i = end;
    }
    if (!mantissa) return std::nullopt;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        const size_t expStart = i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        end = digitsEnd(i);
        if (end > i) { // an exponent without digits is dropped, as if not written
            ascii += 'e';
            ascii.append(text.substr(expStart, end - expStart));
        }
        i = end;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;

    // from_chars ignores the C locale; it reports a value too large for a
    // double as out of range (and a too-small one as out of range too).
    const char* first = ascii.c_str();
    if (*first == '+') ++first;
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(first, ascii.c_str() + ascii.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads 0, overflow fails: which one it is follows from the
        // decimal exponent of the leading significant digit, not from the
        // written exponent alone ("999…9e-250" with thousands of nines overflows).
        return decimalMagnitude(ascii) < 0 ? std::optional<double>(0.0) : std::nullopt;
    }
    if (ec != std::errc() || ptr != ascii.c_str() + ascii.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

double readInputText(std::string_view text, std::string_view decSep, double fallback)
{
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    if (b == e) return 0.0;
    return parseNumber(text, decSep).value_or(fallback);
}

double roundHalfEven(double v)
{
    return std::nearbyint(v); // default rounding mode: to nearest, ties to even
}

int roundHalfEvenToInt(double v)
{
    if (std::isnan(v)) return 0;
    const double r = roundHalfEven(v);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

} // namespace numtext
