#include "presets/inifile.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "presets/textdecode.h"

namespace presets {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Removes one matching outer pair of double or single quotes.
std::string_view unquote(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// One line of the file as the lookup sees it.
struct Line {
    enum Kind { None, Header, Key } kind = None;
    std::string_view name;  // section or key name, blanks dropped
    std::string_view value; // raw value, blanks dropped
};

Line classify(std::string_view line)
{
    const auto nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);
    // Byte-order marks at the start of a line (a doubled one, or files joined
    // together) are no part of it.
    while (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    line = trimBlanks(line);
    if (line.empty() || line.front() == ';') return {};
    if (line.front() == '[') {
        // Without a ']' the name runs to the end of the line.
        const auto close = line.find(']');
        // A header that a NUL cut before its name and its ']' ("[\0]")
        // names nothing: it is no header, and lists no empty name.
        if (nul != std::string_view::npos && close == std::string_view::npos && trimBlanks(line.substr(1)).empty())
            return {};
        const auto length = close == std::string_view::npos ? std::string_view::npos : close - 1;
        return {Line::Header, trimBlanks(line.substr(1, length)), {}};
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    return {Line::Key, trimBlanks(line.substr(0, eq)), trimBlanks(line.substr(eq + 1))};
}

// Calls fn(line) for each line until it returns false. CRLF, LF and CR end a line.
template <typename Fn>
void forEachLine(std::string_view text, Fn fn)
{
    // The next CR and the next LF are each searched for once, when the scan
    // passes the last one found: memchr speed, linear however the file is made.
    std::size_t pos = 0, cr = text.find('\r'), lf = text.find('\n');
    while (pos < text.size()) {
        if (cr != std::string_view::npos && cr < pos) cr = text.find('\r', pos);
        if (lf != std::string_view::npos && lf < pos) lf = text.find('\n', pos);
        std::size_t end = std::min(std::min(cr, lf), text.size());
        if (!fn(text.substr(pos, end - pos))) return;
        pos = end;
        if (pos < text.size()) pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    }
}

} // namespace

std::ifstream openRegularFile(const std::filesystem::path& path, std::string& problem)
{
    namespace fs = std::filesystem;
    problem.clear();
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (path.empty()) // "" names no file, not the current folder
        problem = "No file name";
    else if (!fs::exists(status))
        problem = ec && ec != std::errc::no_such_file_or_directory ? ec.message() : "No such file or directory";
    else if (fs::is_directory(status))
        problem = "It is a folder, not a file";
    else if (!fs::is_regular_file(status))
        problem = "It is not a regular file";
    if (!problem.empty()) return {};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) problem = errno ? std::generic_category().message(errno) : "It cannot be read";
    return in;
}

IniFile IniFile::parse(std::string_view bytes)
{
    IniFile ini;
    ini.text_ = decodeFileText(bytes);
    return ini;
}

IniFile IniFile::load(const std::filesystem::path& path, std::string* problem)
{
    std::string ignored;
    std::string& why = problem ? *problem : ignored;
    std::ifstream in = openRegularFile(path, why);
    if (!why.empty()) return {};
    // Read in chunks rather than trusting the size up front: the file may
    // change while it is read.
    std::string bytes;
    std::string chunk(64 * 1024, '\0');
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            why = "It is larger than 4 MiB, too large for a mic-set file";
            return {};
        }
    }
    if (in.bad()) {
        why = "It could not be read to its end";
        return {};
    }
    return parse(bytes);
}

std::vector<std::string> IniFile::sectionNames() const { return sectionNames(SIZE_MAX, nullptr); }

std::vector<std::string> IniFile::sectionNames(std::size_t limit, std::size_t* total) const
{
    std::vector<std::string> names;
    std::size_t count = 0;
    forEachLine(text_, [&](std::string_view raw) {
        const Line line = classify(raw);
        if (line.kind == Line::Header && count++ < limit) names.emplace_back(line.name);
        return total || count < limit;
    });
    if (total) *total = count;
    return names;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    return std::move(values(section, std::span(&key, 1)).front());
}

std::vector<std::optional<std::string>> IniFile::values(std::string_view section,
                                                        std::span<const std::string_view> keys) const
{
    std::vector<std::optional<std::string>> result(keys.size());
    std::size_t missing = keys.size();
    bool inSection = false;
    forEachLine(text_, [&](std::string_view raw) {
        if (missing == 0) return false;
        const Line line = classify(raw);
        if (line.kind == Line::Header) {
            if (inSection) return false; // only the first section of that name is searched
            inSection = equalsIgnoreCase(line.name, section);
        } else if (line.kind == Line::Key && inSection) {
            for (std::size_t i = 0; i < keys.size(); ++i) {
                if (result[i] || !equalsIgnoreCase(line.name, keys[i])) continue;
                result[i] = std::string(utf8Prefix(unquote(line.value), kMaxValueLength)); // the first occurrence wins
                --missing;
            }
        }
        return true;
    });
    return result;
}

} // namespace presets
