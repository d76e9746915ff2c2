#pragma once
// Mic-set files: one preset per section, twenty keys, read only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/micparams.h"
#include "presets/inifile.h"

namespace presets {

// Integer syntax: an optional sign, then decimal digits or a hexadecimal
// number after "$", "x" or "0x" (either letter case). Anything else, or a
// result outside the 32-bit signed range, is invalid.
std::optional<std::int32_t> parseIniInteger(std::string_view text);

// Decimal syntax: an optional sign, digits with at most one decimal separator
// ("." or `decSep`, the locale's), and an optional exponent (E or e, optional
// sign, digits). No blanks, no group separator.
std::optional<double> parseIniDecimal(std::string_view text, std::string_view decSep);

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
// are left alone. `decSep` is the user's decimal separator.
void readMicParams(const IniFile& ini, std::string_view section, std::string_view decSep, TMicParams& mic);

// True when `path` names an existing regular file (what the preset
// operations check before they read).
bool micSetFileExists(const std::string& path);

} // namespace presets
