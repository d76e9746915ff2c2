#pragma once
// A second, minimal mic-set reader for the fuzz targets, written from the
// file format's rules and sharing no code with presets/: it decodes the
// bytes, lists the sections, reads the twenty keys and derives the working
// figures by the loading rows (S1-S3, N1-N7, D1-D3). Slow and plain on
// purpose; the fuzzers compare the window against it.
//
// Its rules: EF BB BF at the start is skipped; then a byte-order mark FF FE /
// FE FF means UTF-16 little / big endian (an unpaired surrogate reads as
// U+FFFD, an odd last byte is dropped); so does, without a mark, an even
// length with NUL as the second / first byte of at least 3 pairs in 4 and
// as the other byte of fewer than 1 in 4; otherwise each line is UTF-8 when
// it is valid UTF-8, windows-1252 when not. CR LF, LF and CR end lines; a
// NUL ends its line, and a line it leaves as a lone '[' is nothing;
// byte-order marks at the start of a line are dropped; blanks are
// space, tab and vertical tab; ';' starts a comment line; "[name" runs to the
// first ']' or the line's end; a key line needs '='; the first section of a
// name and the first key of a section win; a value loses one matching pair
// of outer quotes and is cut to 2047 characters; the list holds a name once
// whatever the case of its letters. The figure keys read a whole number as
// the Integer syntax does, else a decimal with ".", "," or the locale's
// separator, after dropping a comment that follows blanks; a figure not
// given (or whose volts overflow) loads its markers.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/micparams.h"

namespace oracle {

inline void putUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Well-formed UTF-8 by the table of RFC 3629 (no overlong forms, no surrogates).
inline bool validUtf8(const std::string& s)
{
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const auto in = [](unsigned b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
    while (i < s.size()) {
        const unsigned b = at(i);
        std::size_t need = 0;
        unsigned lo = 0x80, hi = 0xBF;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (in(b, 0xC2, 0xDF)) {
            need = 1;
        } else if (b == 0xE0) {
            need = 2, lo = 0xA0;
        } else if (in(b, 0xE1, 0xEC) || in(b, 0xEE, 0xEF)) {
            need = 2;
        } else if (b == 0xED) {
            need = 2, hi = 0x9F;
        } else if (b == 0xF0) {
            need = 3, lo = 0x90;
        } else if (in(b, 0xF1, 0xF3)) {
            need = 3;
        } else if (b == 0xF4) {
            need = 3, hi = 0x8F;
        } else {
            return false;
        }
        if (i + need >= s.size()) return false;
        if (!in(at(i + 1), lo, hi)) return false;
        for (std::size_t k = 2; k <= need; ++k)
            if (!in(at(i + k), 0x80, 0xBF)) return false;
        i += need + 1;
    }
    return true;
}

inline std::string from1252(const std::string& s)
{
    static const std::uint16_t high[32] = {
        0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6, 0x2030, 0x160,
        0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178,
    };
    std::string out;
    for (char c : s) {
        const auto b = static_cast<unsigned char>(c);
        putUtf8(out, b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b);
    }
    return out;
}

inline std::string fromUtf16(const std::string& s, bool big)
{
    std::vector<std::uint32_t> units;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        units.push_back(big ? (a << 8 | b) : (b << 8 | a));
    }
    std::string out;
    for (std::size_t k = 0; k < units.size(); ++k) {
        const std::uint32_t u = units[k];
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < units.size() && units[k + 1] >= 0xDC00 && units[k + 1] < 0xE000) {
            putUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[k + 1] - 0xDC00));
            ++k;
        } else {
            putUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
        }
    }
    return out;
}

// The file's lines as UTF-8, line ends removed.
inline std::vector<std::string> lines(const std::string& bytes)
{
    std::string text;
    bool perLine = false;
    const std::string b = bytes.substr(bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0);
    std::size_t nulFirst = 0, nulSecond = 0;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        if (b[i] == '\0') ++nulFirst;
        if (b[i + 1] == '\0') ++nulSecond;
    }
    const std::size_t pairs = b.size() / 2;
    const bool even = !b.empty() && b.size() % 2 == 0;
    if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE')
        text = fromUtf16(b.substr(2), false);
    else if (b.size() >= 2 && b[0] == '\xFE' && b[1] == '\xFF')
        text = fromUtf16(b.substr(2), true);
    else if (even && 4 * nulSecond >= 3 * pairs && 4 * nulFirst < pairs)
        text = fromUtf16(b, false);
    else if (even && 4 * nulFirst >= 3 * pairs && 4 * nulSecond < pairs)
        text = fromUtf16(b, true);
    else
        text = b, perLine = true;
    std::vector<std::string> out;
    std::string line;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            if (i < text.size() || !line.empty()) out.push_back(perLine && !validUtf8(line) ? from1252(line) : line);
            line.clear();
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    return out;
}

inline bool blank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

inline std::string trim(std::string s)
{
    while (!s.empty() && blank(s.back())) s.pop_back();
    std::size_t b = 0;
    while (b < s.size() && blank(s[b])) ++b;
    return s.substr(b);
}

inline std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return s;
}

// True when two names differ beyond the case of ASCII letters only in bytes
// that are not ASCII: the window's matching, which folds more letters, may
// take them as one name where this reader does not.
inline bool mayFoldEqual(const std::string& a, const std::string& b)
{
    if (a.size() != b.size() || lowerAscii(a) == lowerAscii(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if ((x < 0x80 || y < 0x80) && lowerAscii(std::string(1, a[i])) != lowerAscii(std::string(1, b[i])))
            return false;
    }
    return true;
}

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys; // name, raw value
};

inline std::vector<Section> sections(const std::string& bytes)
{
    std::vector<Section> out;
    for (std::string line : lines(bytes)) {
        const auto nul = line.find('\0');
        if (nul != std::string::npos) line.resize(nul);
        while (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        line = trim(line);
        if (line.empty() || line[0] == ';' || (nul != std::string::npos && line == "[")) continue;
        if (line[0] == '[') {
            const auto close = line.find(']');
            out.push_back({trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
        } else if (const auto eq = line.find('='); eq != std::string::npos && !out.empty()) {
            out.back().keys.emplace_back(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
        }
    }
    return out;
}

// The value of `key` in the first section whose name equals `name` (ASCII
// letters of either case), as the lookup returns it.
inline std::optional<std::string> value(const std::vector<Section>& all, const std::string& name, const char* key)
{
    for (const Section& s : all) {
        if (lowerAscii(s.name) != lowerAscii(name)) continue;
        for (const auto& [k, v] : s.keys) {
            if (lowerAscii(k) != lowerAscii(key)) continue;
            std::string t = v;
            if (t.size() >= 2 && (t[0] == '"' || t[0] == '\'') && t.back() == t[0]) t = t.substr(1, t.size() - 2);
            std::size_t chars = 0, cut = 0;
            for (; cut < t.size(); ++cut)
                if ((static_cast<unsigned char>(t[cut]) & 0xC0) != 0x80 && chars++ == 2047) break;
            return t.substr(0, cut);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

inline std::optional<std::int32_t> integer(const std::string& t)
{
    std::size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    int base = 10;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) base = 16, i += 2;
    else if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) base = 16, ++i;
    if (i == t.size()) return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return std::nullopt;
        v = v * base + d;
        if (v > (1LL << 31)) return std::nullopt;
    }
    v = neg ? -v : v;
    if (v > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

// Digits with at most one separator (".", "," or `sep`), an optional exponent.
inline std::optional<double> decimal(const std::string& t, const std::string& sep)
{
    std::string ascii;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ascii += t[i++];
    bool digits = false, point = false;
    while (i < t.size()) {
        if (t[i] >= '0' && t[i] <= '9') {
            ascii += t[i++];
            digits = true;
        } else if (!point && t.compare(i, sep.size(), sep) == 0 && !sep.empty()) {
            ascii += '.', i += sep.size(), point = true;
        } else if (!point && (t[i] == '.' || t[i] == ',')) {
            ascii += '.', ++i, point = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ascii += 'e', ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ascii += t[i++];
        if (i == t.size() || t[i] < '0' || t[i] > '9') return std::nullopt;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ascii += t[i++];
    }
    if (i != t.size()) return std::nullopt;
    // from_chars reads "." whatever the C locale, and refuses what a double cannot hold.
    double v = 0;
    const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, ascii.data() + ascii.size(), v);
    if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The text before a ';' that follows a blank, blanks dropped; the text itself
// when there is none.
inline std::string uncommented(const std::string& t)
{
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i] != ';' || !blank(t[i - 1])) continue;
        std::string number = t.substr(0, i);
        while (!number.empty() && blank(number.back())) number.pop_back();
        if (!number.empty()) return number;
    }
    return t;
}

// A figure key's value: a text of the Integer syntax's shape reads by it
// (nothing when out of range), any other as a decimal.
inline std::optional<double> level(const std::string& raw, const std::string& sep)
{
    const std::string t = uncommented(raw);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool hex = false;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) hex = true, i += 2;
    else if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) hex = true, ++i;
    bool shape = i < t.size();
    for (std::size_t k = i; k < t.size(); ++k) {
        const char c = t[k];
        const bool digit = (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        shape = shape && digit;
    }
    if (shape) {
        const auto n = integer(t);
        return n ? std::optional<double>(*n) : std::nullopt;
    }
    return decimal(t, sep);
}

// The list as the window shows it: the section names in file order, a name
// equal to an earlier one but for the case of ASCII letters left out.
inline std::vector<std::string> listed(const std::vector<Section>& all)
{
    std::vector<std::string> names, folded;
    for (const Section& s : all) {
        const std::string f = lowerAscii(s.name);
        if (std::find(folded.begin(), folded.end(), f) != folded.end()) continue;
        folded.push_back(f);
        names.push_back(s.name);
    }
    return names;
}

// The figures one preset gives, with the file format's defaults.
struct FileFigures {
    bool digital = false;
    double max = 0, sensV = 0, sensDbu = -200, sensDbv = -200, sensDbfs = -200, noiseV = 0, noiseDbu = -200,
           noiseDbv = -200, noiseDbfs = -200, noiseItu = 0, noiseAw = 0, snrItu = 0, snrAw = 0;
};

inline FileFigures read(const std::vector<Section>& all, const std::string& name, const std::string& sep)
{
    const auto whole = [&](const char* key, double def) {
        const auto v = value(all, name, key);
        const auto n = v ? integer(*v) : std::nullopt;
        return n ? double(*n) : def;
    };
    // A figure beyond 1e307 (the working range) is out of range.
    const auto inRange = [](std::optional<double> v) {
        return v && std::fabs(*v) <= 1e307 ? v : std::nullopt;
    };
    const auto figure = [&](const char* key, double def) {
        const auto v = value(all, name, key);
        return inRange(v ? level(*v, sep) : std::nullopt).value_or(def);
    };
    const auto dec = [&](const char* key) {
        const auto v = value(all, name, key);
        return inRange(v ? decimal(uncommented(*v), sep) : std::nullopt).value_or(0.0);
    };
    FileFigures f;
    f.digital = whole("Digital", 0) != 0;
    f.max = figure("MaxLevel_dBSPL", 0);
    f.sensV = dec("Sens_V");
    f.sensDbu = figure("Sens_dBu", -200);
    f.sensDbv = figure("Sens_dBV", -200);
    f.sensDbfs = figure("Sens_dBFS", -200);
    f.noiseV = dec("Noise_V");
    f.noiseDbu = figure("Noise_dBu", -200);
    f.noiseDbv = figure("Noise_dBV", -200);
    f.noiseDbfs = figure("Noise_dBFS", -200);
    f.noiseItu = figure("Noise_dBSPL_ITU", 0);
    f.noiseAw = figure("Noise_dBSPL_AW", 0);
    f.snrItu = figure("SNR_dB_ITU", 0);
    f.snrAw = figure("SNR_dB_AW", 0);
    return f;
}

// The working figures a load derives, by the rows of the loading rules.
struct Derived {
    double sensV = 0, sensDbu = -200, sensDbv = -200, sensDbfs = -200, noiseV = 0, noiseDbu = -200, noiseDbv = -200,
           noiseDbfs = -200, noiseItu = 0, noiseAw = 0, snrItu = 0, snrAw = 0, dynamic = 0, max = 0;
};

// The rows with the figure of each: `sens` and `noise` receive the file
// figure a row took (null when none applied).
using Figure = double FileFigures::*;
inline Derived deriveRows(const FileFigures& f, Figure& sens, Figure& noise)
{
    sens = noise = nullptr;
    const auto dbu = [](double v) { return 20 * std::log10(v / 0.775); };
    const auto volts = [](double dbu) { return 0.775 * std::pow(10, dbu / 20); };
    Derived c;
    c.max = std::trunc(f.max); // as its whole-dB box shows it
    // The dynamic range down to the ITU noise level: none without a maximum.
    const auto dynamic = [&c] { return c.max == 0 ? 0 : c.max - c.noiseItu; };
    if (f.digital) {
        c.sensDbfs = f.sensDbfs;
        if (f.sensDbfs > -200) sens = &FileFigures::sensDbfs;
        if (f.noiseDbfs > -200) { // D1
            noise = &FileFigures::noiseDbfs;
            c.noiseDbfs = f.noiseDbfs;
            c.dynamic = 0 - c.noiseDbfs;
            c.snrItu = c.sensDbfs - c.noiseDbfs;
            c.snrAw = c.snrItu + 11;
            c.noiseItu = 94 - c.snrItu;
            return c;
        }
        if (f.noiseItu > 0) { // D2
            c.noiseItu = f.noiseItu;
            noise = &FileFigures::noiseItu;
        } else if (f.noiseAw > 0) { // D3
            c.noiseAw = f.noiseAw;
            noise = &FileFigures::noiseAw;
            c.noiseItu = c.noiseAw + 11;
        } else {
            return c;
        }
        c.dynamic = dynamic();
        c.snrItu = 94 - c.noiseItu;
        c.snrAw = c.snrItu + 11;
        c.noiseDbfs = c.sensDbfs - c.snrItu;
        return c;
    }
    if (f.sensV > 0) { // S1
        sens = &FileFigures::sensV;
        c.sensV = f.sensV, c.sensDbu = dbu(c.sensV), c.sensDbv = c.sensDbu - 2.2;
    } else if (f.sensDbu > -200) { // S2
        sens = &FileFigures::sensDbu;
        c.sensDbu = f.sensDbu, c.sensDbv = c.sensDbu - 2.2, c.sensV = volts(c.sensDbu);
    } else if (f.sensDbv > -200) { // S3
        sens = &FileFigures::sensDbv;
        c.sensDbv = f.sensDbv, c.sensDbu = c.sensDbv + 2.2, c.sensV = volts(c.sensDbu);
    }
    const auto fromSnr = [&] { // N4 and N6 from the SNR on
        c.noiseDbu = c.sensDbu - c.snrItu;
        c.noiseDbv = c.noiseDbu - 2.2;
        c.noiseV = volts(c.noiseDbu);
    };
    if (f.noiseDbu > -200 || f.noiseDbv > -200 || f.noiseV > 0) { // N1, N2, N3
        if (f.noiseDbu > -200) c.noiseDbu = f.noiseDbu, c.noiseDbv = c.noiseDbu - 2.2, c.noiseV = volts(c.noiseDbu);
        else if (f.noiseDbv > -200) c.noiseDbv = f.noiseDbv, c.noiseDbu = c.noiseDbv + 2.2, c.noiseV = volts(c.noiseDbu);
        else c.noiseV = f.noiseV, c.noiseDbu = dbu(c.noiseV), c.noiseDbv = c.noiseDbu - 2.2;
        noise = f.noiseDbu > -200 ? &FileFigures::noiseDbu : f.noiseDbv > -200 ? &FileFigures::noiseDbv : &FileFigures::noiseV;
        c.snrItu = c.sensDbu - c.noiseDbu;
        c.snrAw = c.snrItu + 11;
        c.noiseItu = 94 - c.snrItu;
        c.dynamic = dynamic();
    } else if (f.noiseItu > 0 || f.noiseAw > 0) { // N4, N5
        if (f.noiseItu > 0) c.noiseItu = f.noiseItu;
        else c.noiseAw = f.noiseAw, c.noiseItu = c.noiseAw + 11;
        noise = f.noiseItu > 0 ? &FileFigures::noiseItu : &FileFigures::noiseAw;
        c.snrItu = 94 - c.noiseItu;
        c.snrAw = c.snrItu + 11;
        c.dynamic = dynamic();
        fromSnr();
    } else if (f.snrItu > 0 || f.snrAw > 0) { // N6, N7
        if (f.snrItu > 0) c.snrItu = f.snrItu, c.snrAw = c.snrItu + 11;
        else c.snrAw = f.snrAw, c.snrItu = c.snrAw - 11;
        noise = f.snrItu > 0 ? &FileFigures::snrItu : &FileFigures::snrAw;
        fromSnr();
        c.noiseItu = 94 - c.snrItu;
        c.dynamic = dynamic();
    }
    return c;
}

// The working figures a load derives: the rows, with a figure whose volts
// or levels would leave the double range refused (its default taken, the
// next row tried), as the overflow guard of typed figures would.
inline Derived derive(FileFigures f)
{
    const auto fits = [](double v) { return std::isfinite(v) && std::fabs(v) <= 1e307; };
    const FileFigures defaults;
    for (;;) {
        Figure sens = nullptr, noise = nullptr;
        const Derived c = deriveRows(f, sens, noise);
        const bool sensFits = f.digital ? fits(c.sensDbfs)
                                        : std::isfinite(c.sensV * 1000) && fits(c.sensDbu) && fits(c.sensDbv);
        bool noiseFits = f.digital || std::isfinite(c.noiseV * 1000000);
        for (double v : {c.noiseDbu, c.noiseDbv, c.noiseDbfs, c.noiseItu, c.noiseAw, c.snrItu, c.snrAw, c.dynamic})
            noiseFits = noiseFits && fits(v);
        if (sens && !sensFits)
            f.*sens = defaults.*sens;
        else if (noise && !noiseFits)
            f.*noise = defaults.*noise;
        else
            return c;
    }
}

// A figure the window holds: a non-finite one is held as 0.
inline double held(double v) { return std::isfinite(v) ? v : 0.0; }

// Equal to a relative 1e-9 (the two readers compute the same formulas in
// orders that may differ in the last bits).
inline bool close(double window, double expected)
{
    expected = held(expected);
    return std::fabs(window - expected) <= 1e-9 * std::max({1.0, std::fabs(window), std::fabs(expected)});
}

// Names the first field of `mic` that differs from `c`, or nothing.
inline std::optional<std::string> differs(const TMicParams& m, const Derived& c)
{
    const std::pair<const char*, std::pair<double, double>> fields[] = {
        {"MicMaxLevel_dBSPL", {m.MicMaxLevel_dBSPL, c.max}}, {"MicSens_V", {m.MicSens_V, c.sensV}},
        {"MicSens_dBu", {m.MicSens_dBu, c.sensDbu}},         {"MicSens_dBV", {m.MicSens_dBV, c.sensDbv}},
        {"MicSens_dBFS", {m.MicSens_dBFS, c.sensDbfs}},      {"MicNoise_V", {m.MicNoise_V, c.noiseV}},
        {"MicNoise_dBu", {m.MicNoise_dBu, c.noiseDbu}},      {"MicNoise_dBV", {m.MicNoise_dBV, c.noiseDbv}},
        {"MicNoise_dBFS", {m.MicNoise_dBFS, c.noiseDbfs}},   {"MicNoise_dBSPL_ITU", {m.MicNoise_dBSPL_ITU, c.noiseItu}},
        {"MicNoise_dBSPL_AW", {m.MicNoise_dBSPL_AW, c.noiseAw}}, {"MicSNR_dB_ITU", {m.MicSNR_dB_ITU, c.snrItu}},
        {"MicSNR_dB_AW", {m.MicSNR_dB_AW, c.snrAw}},         {"MicDynamic_dB", {m.MicDynamic_dB, c.dynamic}},
    };
    for (const auto& [name, v] : fields)
        if (!close(v.first, v.second))
            return std::string(name) + " is " + std::to_string(v.first) + ", the rows give " + std::to_string(held(v.second));
    return std::nullopt;
}

} // namespace oracle
