#pragma once
// What must hold on screen whatever the user does: checks shared by the fuzz
// targets and the random-user test. Each returns an empty string when all is
// well, else a short description of what is wrong.
#include <algorithm>
#include <cctype>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "calc/numtext.h"

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

// An input's text: empty, or a number by the input's grammar that is finite.
inline std::string inputTextProblem(std::string_view text, std::string_view decSep)
{
    if (text.empty()) return {};
    if (showsNonFinite(text)) return "shows a non-finite value";
    if (!numtext::parseNumber(text, decSep)) return "does not read as a finite number";
    return {};
}

inline std::string regexEscape(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

// The result line in its analog or digital form, every value written with
// its fixed number of decimals and the given separator, and no "-0".
inline std::string resultLineProblem(const std::string& line, std::string_view decSep, bool digital)
{
    struct Patterns {
        std::string sep;
        std::regex analog, digital, negativeZero;
    };
    static std::vector<Patterns> compiled; // one set per separator, built once
    auto it = std::find_if(compiled.begin(), compiled.end(), [&](const Patterns& p) { return p.sep == decSep; });
    if (it == compiled.end()) {
        const std::string sep = regexEscape(decSep);
        const std::string i = "-?[0-9]+";
        const auto d = [&](int n) { return "-?[0-9]+" + sep + "[0-9]{" + std::to_string(n) + "}"; };
        const std::string f = "<FONT color=\"#FFFF80\">";
        const auto whole = [&](bool dig) {
            std::string p = "<P align=\"center\">\\[Dyn : " + f + i + " dB</FONT> ; SNR : " + f + i +
                            " dB</FONT>\\] - At " + f + i + " dBSPL \\(" + d(6) + " Pa\\)</FONT>, Mic out = " + f;
            p += dig ? i + " dBFS" : d(3) + " (uV|mV|V) / " + i + " dBu / " + i + " dBV";
            p += "</FONT> ; Amp out = " + f;
            p += dig ? i + " dBFS" : d(1) + " V / " + i + " dBu / " + i + " dBV";
            return std::regex(p + "</FONT></P>", std::regex::optimize);
        };
        // A value whose digits are all zero carries no minus sign.
        std::regex zero("-0+(?:" + sep + "0+)?(?![0-9]|" + sep + ")", std::regex::optimize);
        compiled.push_back(Patterns{std::string(decSep), whole(false), whole(true), std::move(zero)});
        it = compiled.end() - 1;
    }
    if (!std::regex_match(line, digital ? it->digital : it->analog))
        return std::string("not a well-formed ") + (digital ? "digital" : "analog") + " result line";
    if (std::regex_search(line, it->negativeZero)) return "shows a negative zero";
    return {};
}

} // namespace robust
