// The mic-set reader over any bytes: decoding, the section list and the
// typed reads of every key; then the same bytes as a file, opened and loaded
// preset by preset by the real main window's preset controller into its
// real inputs. The decoded text is valid UTF-8, the reads give their
// defaults or parsed values, and after every load (and an edit after it) the
// window's invariants hold (fuzz_window.h): readable boxes, a finite state,
// a well-formed result line. What the window lists and the figures each load
// derives are checked against a second reader written from the file format's
// rules (micset_oracle.h), not against the product's own parser.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
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

namespace {

const char* const kKeys[] = {
    "Digital",    "MaxLevel_dBSPL", "BandWidth_L", "BandWidth_H",     "Sens_V",         "Sens_dBu",   "Sens_dBV",
    "Sens_dBFS",  "Noise_V",        "Noise_dBu",   "Noise_dBV",       "Noise_dBFS",     "Noise_dBSPL_ITU",
    "Noise_dBSPL_AW", "SNR_dB_ITU", "SNR_dB_AW",   "Dynamic_dB",      "Type",           "PolarPattern", "Zout",
};

// One file per process, rewritten for every input and removed at exit; what
// runs that ended without their atexit handlers left is removed at the start.
const std::string& scratchFile()
{
    static const std::string path = [] {
        std::atexit([] { std::remove(scratchFile().c_str()); });
        return fuzzscratch::path("phonolith-fuzz-micset-", ".dat").string();
    }();
    return path;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr, "cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzwin::startApplication("fuzz_micset");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(presets::isValidUtf8(presets::decodeFileText(bytes)), "decoded text is not UTF-8");

    const presets::IniFile ini = presets::IniFile::parse(bytes);
    const std::vector<std::string> sections = ini.sectionNames();
    std::size_t looked = 0;
    for (const std::string& section : sections) {
        FUZZ_CHECK(presets::isValidUtf8(section), "section name is not UTF-8");
        if (++looked > 8) break;
        for (const char* key : kKeys) {
            if (const auto v = ini.value(section, key)) {
                FUZZ_CHECK(v->size() <= presets::IniFile::kMaxValueLength * 4, "value too long");
                FUZZ_CHECK(presets::isValidUtf8(*v), "value is not UTF-8");
            }
            for (const char* sep : {".", ","}) {
                const double d = presets::readDecimal(ini, section, key, -7.5, sep);
                FUZZ_CHECK(std::isfinite(d), std::string("readDecimal ") + key);
            }
        }
        TMicParams mic;
        presets::readMicParams(ini, section, ",", mic);
        presets::readMicParams(ini, section, ".", mic);
        (void)presets::PresetController::micDescription(mic);
        (void)presets::PresetController::hasParamsError(mic);
    }

    // The same bytes as a file, opened and loaded preset by preset by the
    // window's own preset controller into the window's inputs.
    const bool comma = size > 0 && (data[0] & 1);
    fuzzwin::Window& w = fuzzwin::Window::get(comma ? "de_DE" : "C");
    writeFile(scratchFile(), bytes);
    presets::PresetController& presets = w->presets();
    const int countBefore = w.presetList->count();
    presets.OpenMicSetFile(scratchFile());

    // The list: the second reader's sections, each as the list shows a name,
    // a name once whatever the case of its letters. A file with no section,
    // or more than the list shows, opens nothing: the list stays.
    const std::vector<oracle::Section> expected = oracle::sections(bytes);
    const std::vector<std::string> names = oracle::listed(expected);
    const bool listable = !names.empty() && expected.size() <= presets::PresetController::kMaxListedPresets;
    // Names that differ only in the case of letters beyond ASCII are listed
    // once by the window, twice by the second reader. Two listed names may
    // fold equal (oracle::mayFoldEqual) when they match in length and in
    // every ASCII letter, folded: the same shape, as the second reader
    // already left out names equal in ASCII letters.
    bool foldsBeyondAscii = false;
    std::set<std::string> shapes;
    for (const std::string& name : names) {
        std::string shape = oracle::lowerAscii(name);
        for (char& ch : shape)
            if (static_cast<unsigned char>(ch) >= 0x80) ch = '\x80';
        foldsBeyondAscii = !shapes.insert(shape).second || foldsBeyondAscii;
    }
    if (!listable) {
        FUZZ_CHECK(w.presetList->count() == countBefore, "a file that lists nothing changed the list");
    } else if (!foldsBeyondAscii) {
        FUZZ_CHECK(presets.MicSetFile() == scratchFile(), "the file was not taken as the mic-set file");
        FUZZ_CHECK(w.presetList->count() == static_cast<int>(names.size()),
                   "the preset list holds " + std::to_string(w.presetList->count()) + " names, the file " +
                       std::to_string(names.size()) + " sections");
        for (int i = 0; i < w.presetList->count(); ++i)
            FUZZ_CHECK(w.presetList->itemText(i) == presetNameShown(names[static_cast<std::size_t>(i)]),
                       "preset " + std::to_string(i) + " is not its section");
    }
    w.check("open");
    const std::string sep = w->calculator().decimalSeparator();
    for (std::size_t i = 0; listable && i < expected.size() && i < 4; ++i) {
        const std::string& name = expected[i].name;
        w.presetList->setCurrentIndex(static_cast<int>(i));
        presets.LoadMicPreset(name);
        w.check("load preset " + std::to_string(i), true);
        // The derived figures, by the loading rows over the second reader's
        // values. Names that differ only in the case of letters beyond ASCII
        // are left out: the second reader folds ASCII letters only.
        bool plain = true;
        for (const oracle::Section& other : expected)
            plain = plain && !oracle::mayFoldEqual(other.name, name);
        if (plain) {
            const auto wrong = oracle::differs(w->calculator().currentMic(),
                                               oracle::derive(oracle::read(expected, name, sep)));
            FUZZ_CHECK(!wrong, "preset " + std::to_string(i) + " with '" + sep + "': " + wrong.value_or(""));
        }
        // The change operation over the loaded figures, as the next edit runs it.
        w->calculator().seMicMaxLevel_dBSPLChange(nullptr);
        w.check("change after loading preset " + std::to_string(i));
        const QString caption = w->windowTitle();
        FUZZ_CHECK(presets::isValidUtf8(caption.toStdString()), "caption is not UTF-8");
    }
    // With the feature on, choosing the first preset loads it and runs the switch.
    if (w.presetList->count() > 0) {
        presets.setEnabled(true);
        w.presetList->setCurrentIndex(0);
        presets.cbMicPresetsChange();
        presets.setEnabled(false);
        w.check("choose the first preset");
    }
    presets.btnMicPresetNextClick();
    presets.btnMicPresetPrevClick();
    w.check("next and previous");
    return 0;
}
