// Loading one preset from a 4 MiB mic-set file, the largest the reader
// takes: the file is read and searched once per load, so a load costs time
// in proportion to the file, whatever its presets, keys and names are like.
//
//   presets_bench [benchmark options]
//
// name_4MiB: one preset whose section name fills the file (the worst case for
// the header comparisons); presets_4MiB: the 10,000 ordinary presets of
// twenty keys the list shows, padded to 4 MiB by a comment, the last one loaded.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "calc_fakes.h"
#include "fakes.h"
#include "presets/inifile.h"
#include "presets/presetcontroller.h"

namespace {

constexpr std::size_t kFileBytes = presets::IniFile::kMaxFileBytes;

const char* const kKeyLines =
    "Digital=0\nMaxLevel_dBSPL=130\nBandWidth_L=20\nBandWidth_H=20000\nSens_V=0,0126\nSens_dBu=-40\n"
    "Sens_dBV=-42\nSens_dBFS=-26\nNoise_V=0,0000078\nNoise_dBu=-100\nNoise_dBV=-102\nNoise_dBFS=-90\n"
    "Noise_dBSPL_ITU=20\nNoise_dBSPL_AW=9\nSNR_dB_ITU=74\nSNR_dB_AW=85\nDynamic_dB=110\n"
    "Type=Condenser, large diaphragm\nPolarPattern=Cardioid\nZout=200\n";

// One section named by 'N's, sized so that the whole file is kFileBytes.
std::string oneHugeName(std::string& name)
{
    const std::string tail = std::string("]\n") + kKeyLines;
    name.assign(kFileBytes - 1 - tail.size(), 'N');
    std::string text(1, '[');
    text.append(name).append(tail);
    return text;
}

// As many ordinary presets as the list shows, padded with a comment to
// kFileBytes (a load reads the whole file); `name` is the last preset's.
std::string manyPresets(std::string& name)
{
    std::string text;
    for (std::size_t i = 0; i < presets::PresetController::kMaxListedPresets; ++i) {
        text += "[Mic " + std::to_string(i) + "]\n" + kKeyLines;
        name = "Mic " + std::to_string(i);
    }
    if (text.size() + 2 < kFileBytes) text.append(";").append(kFileBytes - text.size() - 2, '-').append("\n");
    return text;
}

void BM_LoadPreset(benchmark::State& state, std::string (*makeFile)(std::string&))
{
    TempDir dir;
    const std::filesystem::path path = dir.path / "big.dat";
    std::string name;
    {
        const std::string text = makeFile(name);
        std::ofstream(path, std::ios::binary) << text;
    }
    const std::string sep = ","; // the separator of the file's decimals
    FakePresetView view;
    WindowInputs inputs = windowInputs(sep);
    FakeChoice analog, digital;
    Calculator calc(fakeBindings(inputs, analog, digital), sep);
    calc.bindAll();
    presets::PresetController controller(calc, view);
    controller.OpenMicSetFile(path.string());
    if (view.items.empty() || view.items.back() != name) {
        state.SkipWithError("the test file did not list its presets");
        return;
    }
    view.index = static_cast<int>(view.items.size()) - 1;
    for (auto _ : state) {
        controller.LoadMicPreset(name);
        benchmark::DoNotOptimize(calc.currentMic().MicSens_dBu);
    }
    if (calc.currentMic().MicNoise_dBu != -100 || calc.currentMic().MicSens_V != 0.0126)
        state.SkipWithError("the preset did not load");
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    state.counters["presets"] = static_cast<double>(view.items.size());
}

} // namespace

BENCHMARK_CAPTURE(BM_LoadPreset, name_4MiB, oneHugeName)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadPreset, presets_4MiB, manyPresets)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
