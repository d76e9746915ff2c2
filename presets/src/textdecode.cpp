#include "presets/textdecode.h"

#include <cstdint>
#include <cstring>

namespace presets {
namespace {

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The end of the run of ASCII bytes that starts at `i`, read eight bytes at
// a time: mic-set files are mostly ASCII, and may be megabytes long.
std::size_t asciiRunEnd(std::string_view s, std::size_t i)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    for (std::uint64_t word; i + sizeof word <= s.size(); i += sizeof word) {
        std::memcpy(&word, s.data() + i, sizeof word);
        if (word & kHighBits) break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

// Reads one code point at `i` and advances past it. A byte that does not
// start a well-formed sequence is returned as -1 and skipped alone.
long nextCodePoint(std::string_view s, std::size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    std::size_t len = 0;
    char32_t cp = 0, min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++i;
        return -1;
    }
    if (s.size() - i < len) {
        ++i;
        return -1;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += len;
    return static_cast<long>(cp);
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    const std::size_t lo = bigEndian ? 1 : 0, hi = 1 - lo;
    auto unit = [&](std::size_t k) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k + lo]) |
                                     (static_cast<unsigned char>(bytes[2 * k + hi]) << 8));
    };
    for (std::size_t k = 0; k < units; ++k) {
        const char16_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const char16_t low = unit(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : char32_t{u});
    }
    return out;
}

enum class Utf16 { No, LittleEndian, BigEndian };

// UTF-16 without a byte-order mark, told by its NUL bytes: the text of a
// mic-set file is mostly Latin letters, digits and signs, whose UTF-16 has
// a NUL in every other byte, the second of each pair in little-endian and
// the first in big-endian. Taken as UTF-16 when at least three pairs in
// four have the NUL on one side and fewer than one in four on the other.
// 8-bit text has no NUL bytes but by damage; an odd length is not UTF-16.
Utf16 unmarkedUtf16(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() % 2 != 0) return Utf16::No;
    const std::size_t pairs = bytes.size() / 2;
    std::size_t firstNul = 0, secondNul = 0;
    for (std::size_t k = 0; k < pairs; ++k) {
        firstNul += bytes[2 * k] == '\0';
        secondNul += bytes[2 * k + 1] == '\0';
    }
    if (secondNul * 4 >= pairs * 3 && firstNul * 4 < pairs) return Utf16::LittleEndian;
    if (firstNul * 4 >= pairs * 3 && secondNul * 4 < pairs) return Utf16::BigEndian;
    return Utf16::No;
}

// Simple lower-case mapping of the letters a mic name is likely to hold.
char32_t foldCase(char32_t c)
{
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32; // Latin-1 capitals, not the multiplication sign
    if (c >= 0x100 && c <= 0x137) return c | 1;   // Latin Extended-A pairs: capital even
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32; // Greek
    if (c >= 0x400 && c <= 0x40F) return c + 80;                // Cyrillic
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    return c;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while ((i = asciiRunEnd(bytes, i)) < bytes.size())
        if (nextCodePoint(bytes, i) < 0) return false;
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    // 0x80..0x9F; the five unassigned bytes map to the C1 control of the same value.
    static constexpr char16_t k80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t end = asciiRunEnd(bytes, i);
        out.append(bytes.substr(i, end - i));
        if ((i = end) == bytes.size()) break;
        const auto b = static_cast<unsigned char>(bytes[i]);
        appendUtf8(out, b <= 0x9F ? char32_t{k80[b - 0x80]} : char32_t{b});
    }
    return out;
}

std::string decodeFileText(std::string_view bytes)
{
    // A UTF-8 mark may stand before the rest of the file in any encoding,
    // UTF-16 with or without its own mark included (a file converted twice).
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return utf16ToUtf8(bytes.substr(2), false);
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return utf16ToUtf8(bytes.substr(2), true);
    switch (unmarkedUtf16(bytes)) {
    case Utf16::LittleEndian: return utf16ToUtf8(bytes, false);
    case Utf16::BigEndian: return utf16ToUtf8(bytes, true);
    case Utf16::No: break;
    }
    if (isValidUtf8(bytes)) return std::string(bytes);
    // Lines edited with different tools: each line that is valid UTF-8 is
    // kept, each other one read as windows-1252.
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        const std::string_view line = bytes.substr(pos, end - pos);
        if (isValidUtf8(line))
            out.append(line);
        else
            out += windows1252ToUtf8(line);
        pos = end;
    }
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    // Folding keeps each letter's UTF-8 length, so names of other lengths differ.
    if (a.size() != b.size()) return false;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t i0 = i, j0 = j;
        const long ca = nextCodePoint(a, i);
        const long cb = nextCodePoint(b, j);
        if (ca < 0 || cb < 0) {
            // A stray byte only equals the same stray byte.
            if (ca != cb || a[i0] != b[j0]) return false;
            continue;
        }
        if (foldCase(static_cast<char32_t>(ca)) != foldCase(static_cast<char32_t>(cb))) return false;
    }
    return i == a.size() && j == b.size();
}

std::string_view utf8Prefix(std::string_view text, std::size_t count)
{
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == count) break;
            ++seen;
        }
    }
    return text.substr(0, i);
}

} // namespace presets
