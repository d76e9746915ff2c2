// The mic-set reader over any bytes: decoding, the section list, the typed
// reads of every key, and loading the presets into the calculator through
// the preset controller. The decoded text is valid UTF-8, the reads give
// their defaults or parsed values, and a loaded preset leaves readable,
// finite inputs behind.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calc_fakes.h"
#include "fuzz_check.h"
#include "invariants.h"
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

class View : public presets::IPresetView {
public:
    std::vector<std::string> names;
    int index = -1;
    std::string path;
    void clearPresets() override { names.clear(), index = -1; }
    void addPreset(const std::string& name) override { names.push_back(name); }
    int presetCount() const override { return static_cast<int>(names.size()); }
    int presetIndex() const override { return index; }
    void setPresetIndex(int i) override { index = i; }
    void setMicDescription(const std::string& text) override
    {
        FUZZ_CHECK(presets::isValidUtf8(text), "description is not UTF-8");
    }
    void setParamsErrorVisible(bool) override {}
    void setPrevEnabled(bool) override {}
    void setNextEnabled(bool) override {}
    void updateCaption() override {}
    std::string askOpenFileName() override { return path; }
    std::string askSaveFileName() override { return {}; }
};

// One file per process, rewritten for every input and removed at exit.
const std::string& scratchFile()
{
    static const std::string path = [] {
        std::atexit([] { std::remove(scratchFile().c_str()); });
        return "/tmp/phonolith-fuzz-micset-" + std::to_string(::getpid()) + ".dat";
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

    // The same bytes as a file, loaded preset by preset into the calculator.
    const std::string sep = (size > 0 && (data[0] & 1)) ? "," : ".";
    FakeWindow w(sep);
    w.startUp();
    View view;
    view.path = scratchFile();
    writeFile(view.path, bytes);
    presets::PresetController presets(w.calc, view);
    presets.ActMicPresetFileOpenExecute();
    FUZZ_CHECK(view.names == sections, "the preset list differs from the section list");
    for (std::size_t i = 0; i < view.names.size() && i < 4; ++i) {
        view.index = static_cast<int>(i);
        presets.LoadMicPreset(view.names[i]);
        w.calc.seMicMaxLevel_dBSPLChange(nullptr);
        FUZZ_CHECK(w.calc.handlersAttached(), "a handler stayed detached");
        for (std::size_t k = 0; k < kInputCount; ++k) {
            const std::string problem = robust::inputTextProblem(w.inputs[k].text, sep);
            FUZZ_CHECK(problem.empty(), std::string(inputName(static_cast<InputId>(k))) + " \"" +
                                            w.inputs[k].text + "\" " + problem);
        }
        FUZZ_CHECK(w.right.minimum() <= w.right.maximum(), "right axis inverted");
        const std::string problem = robust::resultLineProblem(w.line.line, sep, w.digital.chosen);
        FUZZ_CHECK(problem.empty(), problem + ": " + w.line.line);
    }
    presets.btnMicPresetNextClick();
    presets.btnMicPresetPrevClick();
    presets.ActMicPresetFileSaveExecute();
    return 0;
}
