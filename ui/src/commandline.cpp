#include "ui/commandline.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "presets/inifile.h"

namespace {

// The toolkit's single-dash options; those of the first list take a value.
constexpr std::array<std::string_view, 15> kToolkitOptionsWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin",  "-qmljsdebugger",
    "-qwindowgeometry", "-qwindowicon", "-qwindowtitle",  "-style",   "-stylesheet",
    "-session",  "-display",            "-geometry",      "-name",    "-title",
};
constexpr std::array<std::string_view, 5> kToolkitFlags = {"-reverse", "-widgetcount", "-nograb", "-dograb",
                                                           "-sync"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& list, std::string_view s)
{
    return std::find(list.begin(), list.end(), s) != list.end();
}

// The toolkit reads its options with one dash or two: "--platform" is "-platform".
std::string_view toolkitName(std::string_view a)
{
    if (a.starts_with("--")) a.remove_prefix(1);
    return a;
}

// "-style=fusion": the toolkit options it also reads with their value in the same word.
constexpr std::array<std::string_view, 3> kAttached = {"-style", "-stylesheet", "-qmljsdebugger"};

// `a` cut at its first '=': the option's name (one dash) and the value; an
// empty name when there is no '='.
struct Attached {
    std::string_view name, value;
};
Attached splitAttached(std::string_view a)
{
    const std::size_t eq = a.find('=');
    if (eq == std::string_view::npos) return {};
    return {toolkitName(a.substr(0, eq)), a.substr(eq + 1)};
}

// Why the toolkit must not be given `path` as its style sheet, or nothing
// when it may: the checks a mic-set file passes before it is read, so that
// no device, FIFO, folder or huge file reaches the toolkit's reader (which
// would read /dev/zero until memory runs out, or wait on a FIFO forever).
std::string styleSheetProblem(const std::string& path)
{
    constexpr std::uintmax_t kMaxBytes = 1024 * 1024;
    std::string why;
    presets::openRegularFile(path, why);
    if (!why.empty()) return why;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return ec.message();
    if (size > kMaxBytes) return "It is larger than 1 MiB, too large for a style sheet";
    return {};
}

CommandLine error(std::string message)
{
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.error = "phonolith: " + std::move(message);
    return c;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine c;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool isOption = !optionsEnded && a.size() > 1 && a.front() == '-';
        if (isOption) {
            std::optional<std::string> styleSheet; // the file a style sheet option names
            if (a == "--") {
                optionsEnded = true;
            } else if (a == "--help" || a == "--version") {
                CommandLine info;
                info.action = a == "--help" ? CommandLine::Action::Help : CommandLine::Action::Version;
                return info;
            } else if (a == "--chain") {
                c.chain = true;
            } else if (contains(kToolkitOptionsWithValue, toolkitName(a))) {
                if (++i == args.size()) return error("option '" + a + "' requires an argument");
                if (toolkitName(a) == "-stylesheet") styleSheet = args[i];
            } else if (const auto [name, value] = splitAttached(a); contains(kAttached, name)) {
                if (name == "-stylesheet") styleSheet = std::string(value);
            } else if (!contains(kToolkitFlags, toolkitName(a))) {
                return error((a.starts_with("--") ? "unrecognized option '" : "invalid option '") + a + "'");
            }
            if (styleSheet) {
                if (const std::string why = styleSheetProblem(*styleSheet); !why.empty())
                    return error("style sheet '" + *styleSheet + "': " + why);
            }
            continue;
        }
        if (c.hasFile) return error("extra operand '" + a + "'");
        c.hasFile = true;
        c.file = a;
    }
    return c;
}

std::string usageText()
{
    return "Usage: phonolith [OPTION]... [FILE]\n"
           "A calculator for microphone levels.\n"
           "With FILE, a mic-set file (*.dat), lists its microphones in the window's\n"
           "preset list and loads the first.\n"
           "\n"
           "      --chain    show the signal chain: distance to the source, preamplifier\n"
           "                 noise, converter full scale, target level and thresholds\n"
           "      --help     display this help and exit\n"
           "      --version  output version information and exit\n"
           "\n"
           "The microphone library that comes with Phonolith:\n"
           "  " +
           micLibraryFile() + "\n";
}

std::string micLibraryFile()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path beside = (exe.parent_path() / "../share/phonolith/microphones.dat").lexically_normal();
        if (fs::is_regular_file(beside, ec)) return beside.string();
    }
    return PHONOLITH_LIBRARY_FILE;
}

std::string versionText()
{
    return "phonolith (Phonolith) " PHONOLITH_VERSION "\n"
           "Copyright (c) 2026 The Phonolith developers\n"
           "License MIT: the MIT License <https://opensource.org/licenses/MIT>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

int exitStatus(CommandLine::Action action)
{
    return action == CommandLine::Action::Error ? 2 : 0;
}
