#pragma once
// Mic-set files: one preset per section, twenty keys, read only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/micparams.h"
#include "presets/inifile.h"

namespace presets {

// Integer syntax: an optional sign, then decimal digits or a hexadecimal
// number after "$", "x" or "0x" (either letter case). Anything else, or a
// result outside the 32-bit signed range, is invalid.
std::optional<std::int32_t> parseIniInteger(std::string_view text);

// Decimal syntax: an optional sign, digits with at most one decimal separator
// (".", "," or `decSep`, the locale's), and an optional exponent (E or e,
// optional sign, digits). No blanks, no group separator.
std::optional<double> parseIniDecimal(std::string_view text, std::string_view decSep);

// Why a value gave its key's default.
enum class ValueProblem { None, NotANumber, OutOfRange };
// "not a number", "out of range" (empty for None).
const char* problemText(ValueProblem p);

struct ParsedFigure {
    double value = 0;
    ValueProblem problem = ValueProblem::None;
};

// The text of a figure without its comment: a number followed by blanks and
// a ';' reads as the number ("130 ; max" -> "130"). Other text is returned
// as it is.
std::string_view dropComment(std::string_view text);

// The figure keys that hold levels (MaxLevel_dBSPL and the dB keys of
// sensitivity, noise, SNR and dynamic range), comment dropped: a value of the
// Integer syntax reads as before (one beyond the 32-bit range is out of
// range); any other value by the Decimal syntax, so "-54.5" and "-54,5" read
// -54.5 in every locale. A number beyond +-kMaxLevelMagnitude (the
// calculator's working range) is out of range.
ParsedFigure parseIniLevel(std::string_view text, std::string_view decSep);
// The volt keys (Sens_V, Noise_V), comment dropped, by the Decimal syntax.
ParsedFigure parseIniFraction(std::string_view text, std::string_view decSep);

// A key present in a preset whose value gave the key's default, or whose
// figure was refused.
struct UnreadKey {
    std::string key;    // as the file format spells it ("MaxLevel_dBSPL")
    std::string text;   // the value as the lookup returned it
    std::string reason; // "not a number", "out of range"
};
// `MaxLevel_dBSPL = "130 dB": not a number`; a long value is cut.
std::string describeUnreadKey(const UnreadKey& k);

// The typed reads: each gives `def` when the key is missing or its value does
// not parse.
std::int32_t readInteger(const IniFile& ini, std::string_view section, std::string_view key, std::int32_t def);
// An Integer with default 0 or 1; any value but 0 is true.
bool readFlag(const IniFile& ini, std::string_view section, std::string_view key, bool def);
double readDecimal(const IniFile& ini, std::string_view section, std::string_view key, double def,
                   std::string_view decSep);
// The value as the lookup returns it (possibly empty), or `def` when the key is missing.
std::string readText(const IniFile& ini, std::string_view section, std::string_view key, const std::string& def);

// Reads the twenty keys of `section` into their fields of `mic`, in the
// order of the file format and with its defaults; the other fields of `mic`
// are left alone. `decSep` is the user's decimal separator. Each key present
// whose value gave the default is appended to `unread` (when given), in
// reading order.
void readMicParams(const IniFile& ini, std::string_view section, std::string_view decSep, TMicParams& mic,
                   std::vector<UnreadKey>* unread = nullptr);

// True when `path` names an existing regular file (what the preset
// operations check before they read).
bool micSetFileExists(const std::string& path);

} // namespace presets
