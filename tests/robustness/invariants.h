#pragma once
// What must hold on screen whatever the user does: checks shared by the fuzz
// targets and the random-user test. Each returns an empty string when all is
// well, else a short description of what is wrong.
#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/numtext.h"

namespace robust {

// A "nan", "inf" or "infinity" word in any letter case ("-inf", "NaN dB"),
// as a number formatter writes a non-finite value; "Info" is no such word.
inline bool showsNonFinite(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto letter = [&](std::size_t i) { return i < lower.size() && std::isalpha(static_cast<unsigned char>(lower[i])); };
    for (std::string_view word : {"nan", "infinity", "inf"}) {
        for (auto pos = lower.find(word); pos != std::string::npos; pos = lower.find(word, pos + 1)) {
            if ((pos == 0 || !letter(pos - 1)) && !letter(pos + word.size())) return true;
        }
    }
    return false;
}

// A run of more than 15 digits: a figure that should have been written in
// exponent form.
inline bool hasLongFigure(std::string_view text)
{
    std::size_t run = 0;
    for (char c : text) {
        run = (c >= '0' && c <= '9') ? run + 1 : 0;
        if (run > 15) return true;
    }
    return false;
}

// An input's text: empty, or a number by the input's grammar that is finite.
inline std::string inputTextProblem(std::string_view text, std::string_view decSep)
{
    if (text.empty()) return {};
    if (showsNonFinite(text)) return "shows a non-finite value";
    if (!numtext::parseNumber(text, decSep)) return "does not read as a finite number";
    return {};
}

// Reads a result line from left to right: each step takes its piece or
// fails. Plain code rather than a regular expression, because the fuzz
// targets run this after every event, instrumented.
class LineReader {
public:
    LineReader(std::string_view s, std::string_view decSep) : s_(s), sep_(decSep) {}

    bool text(std::string_view t)
    {
        if (s_.substr(i_, t.size()) != t) return false;
        i_ += t.size();
        return true;
    }
    // A figure with `decimals` decimals: -?[0-9]{1,15} (SEP [0-9]{decimals})?,
    // or beyond 15 integer digits the exponent form -?[0-9](SEP [0-9]{1,14})?E[0-9]+
    // with an exponent of 15 or more.
    bool figure(std::size_t decimals)
    {
        if (i_ < s_.size() && s_[i_] == '-') ++i_;
        const std::size_t whole = digits();
        if (whole == 0) return false;
        const std::size_t afterWhole = i_;
        const bool hasSep = text(sep_);
        const std::size_t fraction = hasSep ? digits() : 0;
        if (text("E")) {
            if (whole != 1 || (hasSep && (fraction == 0 || fraction > 14))) return false;
            const std::size_t from = i_;
            const std::size_t n = digits();
            return n > 3 || (n > 0 && std::stoi(std::string(s_.substr(from, n))) >= 15);
        }
        i_ = afterWhole;
        if (whole > 15) return false;
        return decimals == 0 || (text(sep_) && digits() == decimals);
    }
    bool integer() { return figure(0); }
    bool decimal(std::size_t n) { return figure(n); }
    bool oneOf(std::initializer_list<std::string_view> words)
    {
        for (std::string_view w : words)
            if (text(w)) return true;
        return false;
    }
    bool atEnd() const { return i_ == s_.size(); }

private:
    std::size_t digits()
    {
        const std::size_t from = i_;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
        return i_ - from;
    }
    std::string_view s_;
    std::string_view sep_;
    std::size_t i_ = 0;
};

// A minus sign before a value whose digits are all zero ("-0", "-0.000").
inline bool showsNegativeZero(std::string_view line, std::string_view decSep)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t pos = line.find('-'); pos != std::string_view::npos; pos = line.find('-', pos + 1)) {
        std::size_t i = pos + 1;
        const auto zeros = [&] {
            const std::size_t from = i;
            while (i < line.size() && line[i] == '0') ++i;
            return i > from;
        };
        if (!zeros()) continue;
        if (line.substr(i, decSep.size()) == decSep) {
            const std::size_t before = i;
            i += decSep.size();
            if (!zeros()) i = before; // "-0." followed by a non-zero: the whole part alone is checked
        }
        if (i < line.size() && isDigit(line[i])) continue;
        if (line.substr(i, decSep.size()) == decSep) continue;
        return true;
    }
    return false;
}

// The result line in its analog or digital form, every value written with
// its fixed number of decimals and the given separator (beyond 15 integer
// digits in exponent form), and no "-0".
inline std::string resultLineProblem(const std::string& line, std::string_view decSep, bool digital)
{
    constexpr std::string_view f = "<FONT color=\"#FFFF80\">";
    LineReader r(line, decSep);
    const auto value = [&](std::string_view unit) { return r.text(f) && r.integer() && r.text(unit); };
    bool ok = r.text("<P align=\"center\">[Dyn : ") && value(" dB</FONT> ; SNR : ") &&
              value(" dB</FONT>] - At ") && value(" dBSPL (") && r.decimal(6) && r.text(" Pa)</FONT>, Mic out = ") &&
              r.text(f);
    if (digital) {
        ok = ok && r.integer() && r.text(" dBFS</FONT> ; Amp out = ") && r.text(f) && r.integer() && r.text(" dBFS");
    } else {
        ok = ok && r.decimal(3) && r.text(" ") && r.oneOf({"uV", "mV", "V"}) && r.text(" / ") && r.integer() &&
             r.text(" dBu / ") && r.integer() && r.text(" dBV</FONT> ; Amp out = ") && r.text(f) && r.decimal(1) &&
             r.text(" V / ") && r.integer() && r.text(" dBu / ") && r.integer() && r.text(" dBV");
    }
    ok = ok && r.text("</FONT></P>") && r.atEnd();
    if (!ok) return std::string("not a well-formed ") + (digital ? "digital" : "analog") + " result line";
    if (showsNegativeZero(line, decSep)) return "shows a negative zero";
    return {};
}

} // namespace robust
