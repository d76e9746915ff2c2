#pragma once
// Initialisation-file text: sections of "key=value" lines, read only.
//
// Lookup rules:
// - section and key names match without regard to letter case;
// - blanks (space, tab, vertical tab) around a section name, a key name and
//   a value are dropped; then one matching outer pair of double or single
//   quotes is removed from a value (the blanks inside are kept);
// - a value is cut to its first kMaxValueLength characters;
// - the section list is complete, in file order.
// Odd lines:
// - a line whose first non-blank character is ';' is a comment; a ';' or
//   '#' anywhere else is data (there are no end-of-line comments);
// - a header "[name]" ends at its first ']'; text after it is ignored; a
//   line starting with '[' and holding no ']' is a header too, its name
//   running to the end of the line ("[B  " opens "B");
// - a line without '=' is no key; "=v" is a key with an empty name;
// - the first occurrence of a key in a section wins; a repeated section is
//   listed again but never searched; keys before the first header cannot be
//   reached; blank lines are skipped; CRLF, LF and CR all end a line;
// - a NUL character ends its line; a header that a NUL cuts before its name
//   and its ']' ("[\0]") is no header; byte-order marks at the start of a
//   line are dropped.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace presets {

// Opens the file at `path` for reading when it is a regular file. Otherwise,
// or when it cannot be opened, the stream is closed and `problem` says why
// in a few words ("No file name", "No such file or directory", "It is a
// folder, not a file"); it is left empty when the file is open.
std::ifstream openRegularFile(const std::filesystem::path& path, std::string& problem);

class IniFile {
public:
    // Longest value returned; longer ones are cut (a 2048-character buffer).
    static constexpr std::size_t kMaxValueLength = 2047;
    // Files larger than this are not mic-set files and read as empty (a
    // thousand presets take well under a megabyte).
    static constexpr std::size_t kMaxFileBytes = 4u * 1024u * 1024u;

    IniFile() = default;

    // Takes the bytes of a file in any of the encodings of decodeFileText.
    static IniFile parse(std::string_view bytes);

    // Reads and parses the file at `path`. A missing, unreadable, non-regular
    // or too large file, or an empty path, gives an empty IniFile, and
    // `problem` (when given) says why in a few words ("No such file or
    // directory", "No file name"); it is left empty when the file was read.
    // Nothing is ever written.
    static IniFile load(const std::filesystem::path& path, std::string* problem = nullptr);

    // The section names in file order, repeated ones included.
    std::vector<std::string> sectionNames() const;
    // The first `limit` of them; `total` (when given) receives how many the
    // file holds. Costs no memory for the names past the limit.
    std::vector<std::string> sectionNames(std::size_t limit, std::size_t* total) const;

    // The value of `key` in the first section named `section`, or nothing
    // when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // The values of several keys of the first section named `section`, found
    // in one pass over the text: element i is what value(section, keys[i])
    // gives.
    std::vector<std::optional<std::string>> values(std::string_view section,
                                                   std::span<const std::string_view> keys) const;

private:
    // The decoded text; a lookup scans it once, so that no file, however odd,
    // costs more memory than its own text.
    std::string text_;
};

} // namespace presets
