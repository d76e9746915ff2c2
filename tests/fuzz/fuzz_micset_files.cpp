// Preset loading over every kind of path a user may pick, the kind chosen by
// the input: a regular file of the input's bytes, an empty file, a file of
// exactly the size limit and one just over it, a directory, a missing path,
// a FIFO, a file without read permission, a dangling link, a link loop, a
// link to a file, a file of /proc that reads as text although its size is 0,
// and one whose reading fails. The real main window opens the path; then the
// path may turn into another kind before a preset is loaded from it.
// What must hold:
// - a path that is no regular file changes nothing: the same list, the same
//   file, the same inputs;
// - a regular file lists exactly the sections of its bytes (a name once
//   whatever its letter case) when it can be read, is within the limit and
//   holds a section; otherwise nothing changes;
// - a load from a file that changed after it was listed loads the preset or
//   changes no input;
// - every open and load ends, and leaves the window's invariants
//   (fuzz_window.h) holding.
#include <fuzzer/FuzzedDataProvider.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "fuzz_window.h"
#include "micset_oracle.h"
#include "presets/inifile.h"
#include "presets/micsetfile.h"
#include "presets/presetcontroller.h"
#include "presets/textdecode.h"
#include "ui/presetview.h"

namespace fs = std::filesystem;

namespace {

enum Kind {
    Regular, Empty, AtLimit, OverLimit, Directory, Missing, Fifo, NoReadPermission,
    DanglingLink, LinkLoop, LinkToFile, ProcText, ProcUnreadable, kKindCount
};
const char* const kKindNames[] = {"regular", "empty", "at the limit", "over the limit", "directory", "missing",
                                  "FIFO", "no read permission", "dangling link", "link loop", "link to a file",
                                  "/proc text", "unreadable /proc file"};

const char kKnownFile[] = "[Known A]\r\nMaxLevel_dBSPL=130\r\nSens_dBu=-40\r\nNoise_dBu=-120\r\n"
                          "[Known B]\r\nDigital=1\r\nSens_dBFS=-26\r\nNoise_dBFS=-100\r\n";

// A folder of its own per process, emptied for every input, removed at exit;
// what runs that ended without their atexit handlers left is removed at the start.
const fs::path& scratch()
{
    static const fs::path dir = [] {
        fs::path d = fuzzscratch::path("phonolith-fuzz-files-", "");
        fs::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(scratch(), ec);
        });
        return d;
    }();
    return dir;
}

void clearScratch()
{
    for (const fs::directory_entry& e : fs::directory_iterator(scratch())) {
        std::error_code ec;
        ::chmod(e.path().c_str(), 0700);
        fs::remove_all(e.path(), ec);
    }
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good(), "cannot write " + path.string());
}

// The bytes made exactly `size` long: the lines of the input as they are,
// then one comment line to the size (a file of megabytes of line ends would
// spend the run in the reader's per-line work rather than on the limit).
std::string padded(std::string bytes, std::size_t size)
{
    if (bytes.size() > size) bytes.resize(size);
    if (size - bytes.size() < 2) return bytes.append(size - bytes.size(), '\n');
    bytes += "\n;";
    bytes.append(size - bytes.size(), '-');
    return bytes;
}

struct Made {
    std::string path;
    // The sections the window must list, or none when the path must change
    // nothing (it is no regular file, cannot be read or lists no preset).
    std::optional<std::vector<std::string>> sections;
};

// Makes `name` in the scratch folder as a path of the given kind.
Made make(Kind kind, const std::string& name, const std::string& bytes)
{
    const fs::path p = scratch() / name;
    std::error_code ec;
    ::chmod(p.c_str(), 0700);
    fs::remove_all(p, ec);
    // The list as the window shows it, by the second reader (micset_oracle.h);
    // none when the file lists nothing, which opens nothing.
    const auto sectionsOf = [](const std::string& b) -> std::optional<std::vector<std::string>> {
        const std::vector<oracle::Section> all = oracle::sections(b);
        const std::vector<std::string> listed = oracle::listed(all);
        if (listed.empty() || all.size() > presets::PresetController::kMaxListedPresets) return std::nullopt;
        std::vector<std::string> names;
        for (const std::string& name : listed) names.push_back(presetNameShown(name).toStdString());
        return names;
    };
    switch (kind) {
    case Regular:
        writeFile(p, bytes);
        return {p, sectionsOf(bytes)};
    case Empty:
        writeFile(p, {});
        return {p, std::nullopt};
    case AtLimit: {
        const std::string b = padded(bytes, presets::IniFile::kMaxFileBytes);
        writeFile(p, b);
        return {p, sectionsOf(b)};
    }
    case OverLimit: // too large for a mic-set file: opens nothing
        writeFile(p, padded(kKnownFile + bytes, presets::IniFile::kMaxFileBytes + 1 + bytes.size() % 4096));
        return {p, std::nullopt};
    case Directory:
        fs::create_directory(p);
        writeFile(p / "inside.dat", kKnownFile);
        return {p, std::nullopt};
    case Missing:
        return {p, std::nullopt};
    case Fifo:
        FUZZ_CHECK(::mkfifo(p.c_str(), 0600) == 0, "cannot make a FIFO");
        return {p, std::nullopt};
    case NoReadPermission: {
        writeFile(p, bytes);
        ::chmod(p.c_str(), 0);
        // A privileged user reads it all the same.
        const bool readable = ::access(p.c_str(), R_OK) == 0;
        return {p, readable ? sectionsOf(bytes) : std::nullopt};
    }
    case DanglingLink:
        fs::create_symlink(scratch() / "nowhere", p);
        return {p, std::nullopt};
    case LinkLoop:
        fs::create_symlink(p, p);
        return {p, std::nullopt};
    case LinkToFile: {
        const fs::path target = scratch() / (name + ".target");
        writeFile(target, bytes);
        fs::create_symlink(target, p);
        return {p, sectionsOf(bytes)};
    }
    case ProcText: // size 0 in its status, text when read: no section in it
        return {"/proc/self/status", std::nullopt};
    default: // a regular file whose reading fails
        return {"/proc/self/mem", std::nullopt};
    }
}

// A kind from one byte of the input. The two 4 MiB kinds cost a read of 4 MiB
// each: one byte value in 64 picks one of them.
Kind pickKind(FuzzedDataProvider& in)
{
    static const Kind small[] = {Regular,     Empty,    Directory,  Missing,  Fifo,          NoReadPermission,
                                 DanglingLink, LinkLoop, LinkToFile, ProcText, ProcUnreadable};
    const auto v = in.ConsumeIntegral<std::uint8_t>();
    if (v >= 252) return v < 254 ? AtLimit : OverLimit;
    return small[v % std::size(small)];
}

std::vector<std::string> listed(fuzzwin::Window& w)
{
    std::vector<std::string> names;
    for (int i = 0; i < w.presetList->count(); ++i) names.push_back(w.presetList->itemText(i).toStdString());
    return names;
}

std::vector<QString> inputTexts(fuzzwin::Window& w)
{
    std::vector<QString> texts;
    for (std::size_t i = 0; i < kInputCount; ++i) texts.push_back(w.in(static_cast<InputId>(i))->text());
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzwin::startApplication("fuzz_micset_files");
    scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const Kind kind = pickKind(in);
    const bool knownFirst = in.ConsumeBool();
    const bool changeBeforeLoad = in.ConsumeBool();
    const Kind later = pickKind(in);
    const bool comma = in.ConsumeBool();
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    clearScratch();

    fuzzwin::Window& w = fuzzwin::Window::get(comma ? "de_DE" : "C");
    presets::PresetController& presets = w->presets();
    if (knownFirst) { // a file already open, its first preset loaded
        const Made known = make(Regular, "known.dat", kKnownFile);
        presets.OpenMicSetFile(known.path);
        presets.LoadMicPreset("Known A");
        w.check("known file loaded", true);
    }

    const std::string what = std::string("open a ") + kKindNames[kind] + " path";
    const std::vector<std::string> listBefore = listed(w);
    const std::string fileBefore = presets.MicSetFile();
    const Made made = make(kind, "picked.dat", bytes);
    presets.OpenMicSetFile(made.path);
    w.check(what);
    if (made.sections) {
        FUZZ_CHECK(presets.MicSetFile() == made.path, what + ": not taken as the mic-set file");
        FUZZ_CHECK(listed(w) == *made.sections, what + ": the list is not the file's sections");
    } else {
        FUZZ_CHECK(presets.MicSetFile() == fileBefore, what + ": the mic-set file changed");
        FUZZ_CHECK(listed(w) == listBefore, what + ": the preset list changed");
    }

    // Load a listed preset (or a name the file may not hold), perhaps after
    // the path turned into another kind.
    const std::vector<std::string> names = listed(w);
    const std::string name = names.empty() ? std::string("Known B") : names.front();
    std::string loadWhat = "load \"" + name + "\"";
    if (changeBeforeLoad && presets.MicSetFile().rfind(scratch().string(), 0) == 0) {
        make(later, fs::path(presets.MicSetFile()).filename().string(), bytes);
        loadWhat += std::string(" after the file turned into a ") + kKindNames[later] + " path";
    }
    const std::vector<QString> textsBefore = inputTexts(w);
    const std::string presetBefore = presets.MicPresetName();
    // A file that is no longer as it was listed may refuse the load.
    const bool unchanged = !changeBeforeLoad || later == Regular || later == LinkToFile;
    const bool mustLoad = unchanged && !presets.MicSetFile().empty() && made.sections && !names.empty();
    presets.LoadMicPreset(name);
    w.check(loadWhat, true);
    const bool loaded = presets::equalsIgnoreCase(presets.MicPresetName(), name);
    if (mustLoad) FUZZ_CHECK(loaded, loadWhat + ": the preset name is not the loaded one");
    if (!loaded) {
        FUZZ_CHECK(inputTexts(w) == textsBefore, loadWhat + ": the inputs changed");
        FUZZ_CHECK(presets.MicPresetName() == presetBefore, loadWhat + ": the preset name changed");
    }
    w->calculator().seMicMaxLevel_dBSPLChange(nullptr); // as the next edit runs it
    w.check(loadWhat + ", then the change operation");
    return 0;
}
