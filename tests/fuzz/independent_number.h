#pragma once
// The input number grammar checked without the product's code, character by
// character over the whole, untrimmed text, and the number then read by
// strtod in the C locale. Nothing when the text is outside the grammar or the
// number too large for a double; a number too small for one reads as strtod
// gives it (0 or a subnormal).
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

inline std::optional<double> independentParse(std::string_view text, char sep)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::string c; // the number in the C locale's spelling
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) c += text[i++];
    int mantissa = 0; // digits and the separator
    while (i < n && digit(text[i])) {
        c += text[i++];
        ++mantissa;
    }
    if (i < n && text[i] == sep) {
        ++i;
        ++mantissa;
        c += '.';
        while (i < n && digit(text[i])) c += text[i++];
    }
    if (mantissa == 0) return std::nullopt;
    if (c.back() == '.') c += '0'; // "5." and "." read as "5.0" and ".0"
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        std::string e = "e";
        if (i < n && (text[i] == '+' || text[i] == '-')) e += text[i++];
        std::size_t digits = 0;
        while (i < n && digit(text[i])) {
            e += text[i++];
            ++digits;
        }
        if (digits > 0) c += e; // an exponent without digits counts as 0
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;
    const double v = std::strtod(c.c_str(), nullptr);
    if (std::isinf(v)) return std::nullopt;
    return v;
}
