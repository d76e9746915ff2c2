#include "presets/micsetfile.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <filesystem>
#include <limits>

#include "calc/calculator.h"
#include "numtext/numtext.h"
#include "presets/textdecode.h"

namespace presets {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The Integer syntax taken apart: an optional sign, then decimal digits or,
// after "$", "x" or "0x", hexadecimal ones.
struct IntegerText {
    bool negative = false;
    int base = 10;
    std::string_view digits;
};

IntegerText splitInteger(std::string_view s)
{
    IntegerText t;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        t.negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.starts_with('$') || s.starts_with('x') || s.starts_with('X')) {
        t.base = 16;
        s.remove_prefix(1);
    } else if (s.starts_with("0x") || s.starts_with("0X")) {
        t.base = 16;
        s.remove_prefix(2);
    }
    t.digits = s;
    return t;
}

// The value of one digit in the given base, or -1.
int digitValue(char c, int base) { return base == 16 ? hexDigit(c) : (isDigit(c) ? c - '0' : -1); }

// The Integer syntax's shape, whatever the size of the number.
bool integerShape(std::string_view s)
{
    const IntegerText t = splitInteger(s);
    return !t.digits.empty() &&
           std::all_of(t.digits.begin(), t.digits.end(), [&](char c) { return digitValue(c, t.base) >= 0; });
}

} // namespace

std::optional<std::int32_t> parseIniInteger(std::string_view s)
{
    const IntegerText t = splitInteger(s);
    if (t.digits.empty()) return std::nullopt;
    // The magnitude may reach 2^31 for the most negative value.
    constexpr std::int64_t limit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (char c : t.digits) {
        const int d = digitValue(c, t.base);
        if (d < 0) return std::nullopt;
        magnitude = magnitude * t.base + d;
        if (magnitude > limit) return std::nullopt;
    }
    const std::int64_t v = t.negative ? -magnitude : magnitude;
    if (v > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

namespace {

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\v'; }

// The Decimal syntax's shape: true when `text` is an optional sign, digits
// with at most one separator and an optional exponent; `sep` receives the
// separator it holds (or ".").
bool decimalShape(std::string_view text, std::string_view decSep, std::string_view& sep)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    while (i < n && isDigit(text[i])) ++i, digits = true;
    // The locale's separator first: it may be longer than one byte.
    sep = ".";
    const std::string_view rest = text.substr(i);
    if (!decSep.empty() && rest.starts_with(decSep))
        sep = decSep;
    else if (rest.starts_with(','))
        sep = ",";
    if (text.substr(i).starts_with(sep)) {
        i += sep.size();
        while (i < n && isDigit(text[i])) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (i == n || !isDigit(text[i])) return false;
        while (i < n && isDigit(text[i])) ++i;
    }
    return i == n;
}

} // namespace

std::optional<double> parseIniDecimal(std::string_view text, std::string_view decSep)
{
    // Check the strict shape here; the conversion itself is the program's one
    // number reader. The separator is ".", "," or the locale's own: a file
    // written under one locale reads the same under another.
    std::string_view sep;
    if (!decimalShape(text, decSep, sep)) return std::nullopt;
    return numtext::parseNumber(text, sep);
}

std::string_view dropComment(std::string_view text)
{
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != ';' || !isBlankChar(text[i - 1])) continue;
        std::string_view number = text.substr(0, i);
        while (!number.empty() && isBlankChar(number.back())) number.remove_suffix(1);
        if (!number.empty()) return number;
    }
    return text;
}

ParsedFigure parseIniLevel(std::string_view text, std::string_view decSep)
{
    text = dropComment(text);
    if (integerShape(text)) {
        if (const auto v = parseIniInteger(text)) return {static_cast<double>(*v), ValueProblem::None};
        return {0.0, ValueProblem::OutOfRange};
    }
    return parseIniFraction(text, decSep);
}

ParsedFigure parseIniFraction(std::string_view text, std::string_view decSep)
{
    text = dropComment(text);
    std::string_view sep;
    if (!decimalShape(text, decSep, sep)) return {0.0, ValueProblem::NotANumber};
    // Beyond the calculator's working range a figure could not be used.
    if (const auto v = numtext::parseNumber(text, sep); v && std::fabs(*v) <= kMaxLevelMagnitude)
        return {*v, ValueProblem::None};
    return {0.0, ValueProblem::OutOfRange};
}

const char* problemText(ValueProblem p)
{
    switch (p) {
    case ValueProblem::NotANumber:
        return "not a number";
    case ValueProblem::OutOfRange:
        return "out of range";
    case ValueProblem::None:
        break;
    }
    return "";
}

std::string describeUnreadKey(const UnreadKey& k)
{
    // A long value is named by its start.
    constexpr std::size_t kShown = 40;
    std::string text(utf8Prefix(k.text, kShown));
    if (text.size() < k.text.size()) text += "\u2026";
    return k.key + " = \"" + text + "\": " + k.reason;
}

std::int32_t readInteger(const IniFile& ini, std::string_view section, std::string_view key, std::int32_t def)
{
    const std::optional<std::string> text = ini.value(section, key);
    return text ? parseIniInteger(*text).value_or(def) : def;
}

bool readFlag(const IniFile& ini, std::string_view section, std::string_view key, bool def)
{
    return readInteger(ini, section, key, def ? 1 : 0) != 0;
}

double readDecimal(const IniFile& ini, std::string_view section, std::string_view key, double def,
                   std::string_view decSep)
{
    const std::optional<std::string> text = ini.value(section, key);
    return text ? parseIniDecimal(*text, decSep).value_or(def) : def;
}

std::string readText(const IniFile& ini, std::string_view section, std::string_view key, const std::string& def)
{
    return ini.value(section, key).value_or(def);
}

void readMicParams(const IniFile& ini, std::string_view section, std::string_view decSep, TMicParams& m,
                   std::vector<UnreadKey>* unread)
{
    // The twenty keys in their reading order, found in one pass over the file.
    static constexpr std::array<std::string_view, 20> kKeys = {
        "Digital",   "MaxLevel_dBSPL", "BandWidth_L",     "BandWidth_H",    "Sens_V",
        "Sens_dBu",  "Sens_dBV",       "Sens_dBFS",       "Noise_V",        "Noise_dBu",
        "Noise_dBV", "Noise_dBFS",     "Noise_dBSPL_ITU", "Noise_dBSPL_AW", "SNR_dB_ITU",
        "SNR_dB_AW", "Dynamic_dB",     "Type",            "PolarPattern",   "Zout",
    };
    const std::vector<std::optional<std::string>> found = ini.values(section, kKeys);
    std::size_t next = 0; // the values are taken in the order of kKeys
    const auto take = [&](std::string_view key) -> const std::optional<std::string>& {
        assert(kKeys[next] == key);
        (void)key;
        return found[next++];
    };
    const auto note = [&](std::string_view key, const std::string& text, ValueProblem p) {
        if (unread && p != ValueProblem::None) unread->push_back({std::string(key), text, problemText(p)});
    };
    // An Integer key: the value, or the default.
    const auto integer = [&](std::string_view key, std::int32_t def) {
        const std::optional<std::string>& text = take(key);
        if (!text) return def;
        if (const auto v = parseIniInteger(*text)) return *v;
        note(key, *text, integerShape(*text) ? ValueProblem::OutOfRange : ValueProblem::NotANumber);
        return def;
    };
    // A figure: a level (whole number, hexadecimal or fraction) or a Decimal.
    const auto figure = [&](std::string_view key, double def, ParsedFigure (*parse)(std::string_view, std::string_view)) {
        const std::optional<std::string>& text = take(key);
        if (!text) return def;
        const ParsedFigure f = parse(*text, decSep);
        note(key, *text, f.problem);
        return f.problem == ValueProblem::None ? f.value : def;
    };
    const auto level = [&](std::string_view key, double def) { return figure(key, def, parseIniLevel); };
    const auto fraction = [&](std::string_view key) { return figure(key, 0.0, parseIniFraction); };
    // Band limits keep the low 16 bits of the integer (70000 -> 4464, -1 -> 65535).
    const auto band = [&](std::string_view key) {
        return static_cast<std::uint16_t>(static_cast<std::uint32_t>(integer(key, 0)) & 0xFFFFu);
    };
    m.MicDigital = integer("Digital", 0) != 0;
    m.MicMaxLevel_dBSPL = level("MaxLevel_dBSPL", 0);
    m.MicBandWidth_L = band("BandWidth_L");
    m.MicBandWidth_H = band("BandWidth_H");
    m.MicSens_V = fraction("Sens_V");
    m.MicSens_dBu = level("Sens_dBu", -200);
    m.MicSens_dBV = level("Sens_dBV", -200);
    m.MicSens_dBFS = level("Sens_dBFS", -200);
    m.MicNoise_V = fraction("Noise_V");
    m.MicNoise_dBu = level("Noise_dBu", -200);
    m.MicNoise_dBV = level("Noise_dBV", -200);
    m.MicNoise_dBFS = level("Noise_dBFS", -200);
    m.MicNoise_dBSPL_ITU = level("Noise_dBSPL_ITU", 0);
    m.MicNoise_dBSPL_AW = level("Noise_dBSPL_AW", 0);
    m.MicSNR_dB_ITU = level("SNR_dB_ITU", 0);
    m.MicSNR_dB_AW = level("SNR_dB_AW", 0);
    m.MicDynamic_dB = level("Dynamic_dB", 0);
    m.MicType = take("Type").value_or("");
    m.MicPolarPattern = take("PolarPattern").value_or("");
    m.MicZout = integer("Zout", 0);
}

bool micSetFileExists(const std::string& path)
{
    if (path.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

} // namespace presets
