// The mic-set reader over any bytes: decoding, the section list and the
// typed reads of every key; then the same bytes as a file, opened and loaded
// preset by preset by the real main window's preset controller into its
// real inputs. The decoded text is valid UTF-8, the reads give their
// defaults or parsed values, the window lists exactly the file's sections,
// and after every load (and an edit after it) the window's invariants hold
// (fuzz_window.h): readable boxes, a finite state, a well-formed result line.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "fuzz_window.h"
#include "presets/inifile.h"
#include "presets/micsetfile.h"
#include "presets/presetcontroller.h"
#include "presets/textdecode.h"

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
        (void)presets::PresetController::MicDescription(mic);
        (void)presets::PresetController::HasParamsError(mic);
    }

    // The same bytes as a file, opened and loaded preset by preset by the
    // window's own preset controller into the window's inputs.
    fuzzwin::Window& w = fuzzwin::Window::get((size > 0 && (data[0] & 1)) ? "de_DE" : "C");
    writeFile(scratchFile(), bytes);
    presets::PresetController& presets = w->presets();
    presets.OpenMicSetFile(scratchFile());
    FUZZ_CHECK(presets.MicSetFile() == scratchFile(), "the file was not taken as the mic-set file");
    FUZZ_CHECK(w.presetList->count() == static_cast<int>(sections.size()), "the preset list differs from the sections");
    for (std::size_t i = 0; i < sections.size(); ++i)
        FUZZ_CHECK(w.presetList->itemText(static_cast<int>(i)).toStdString() == sections[i],
                   "preset " + std::to_string(i) + " is not its section");
    w.check("open");
    for (std::size_t i = 0; i < sections.size() && i < 4; ++i) {
        w.presetList->setCurrentIndex(static_cast<int>(i));
        presets.LoadMicPreset(sections[i]);
        w.check("load preset " + std::to_string(i), true);
        // The change operation over the loaded figures, as the next edit runs it.
        w->calculator().seMicMaxLevel_dBSPLChange(nullptr);
        w.check("change after loading preset " + std::to_string(i));
        const QString caption = w->windowTitle();
        FUZZ_CHECK(presets::isValidUtf8(caption.toStdString()), "caption is not UTF-8");
    }
    presets.btnMicPresetNextClick();
    presets.btnMicPresetPrevClick();
    w.check("next and previous");
    return 0;
}
