// Opening a mic-set file of the reader's largest size (4 MiB) through the
// window's preset controller, as "phonolith FILE" and "Open..." do: the file
// read, its sections listed in cbMicPresets, the first preset loaded with
// the analog/digital switch, and the window idle again. Besides the time,
// each row reports `extra_MiB`: how far the process's peak resident memory
// rose above what it held before the open.
//
//   micset_open_bench [benchmark options]      (QT_QPA_PLATFORM=offscreen)
//
// letters_1Mi: 1,048,576 sections of a one-letter name; empty_1_4Mi:
// 1,398,101 sections with an empty name; name_4MiB: one section whose name
// fills the file; presets_10000: the most presets the list shows, each of
// twenty keys; presets_12666: ordinary presets up to the size limit.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "presets/inifile.h"
#include "presets/presetcontroller.h"
#include "text/fonts.h"
#include "ui/mainwindow.h"

namespace {

constexpr std::size_t kFileBytes = presets::IniFile::kMaxFileBytes;

const char* const kKeyLines =
    "Digital=0\nMaxLevel_dBSPL=130\nBandWidth_L=20\nBandWidth_H=20000\nSens_V=0.0126\nSens_dBu=-40\n"
    "Sens_dBV=-42\nSens_dBFS=-26\nNoise_V=0.0000078\nNoise_dBu=-100\nNoise_dBV=-102\nNoise_dBFS=-90\n"
    "Noise_dBSPL_ITU=20\nNoise_dBSPL_AW=9\nSNR_dB_ITU=74\nSNR_dB_AW=85\nDynamic_dB=110\n"
    "Type=Condenser, large diaphragm\nPolarPattern=Cardioid\nZout=200\n";

std::string repeated(const std::string& section)
{
    std::string text;
    text.reserve(kFileBytes);
    while (text.size() + section.size() <= kFileBytes) text += section;
    return text;
}

std::string letters() { return repeated("[A]\n"); }
std::string emptyNames() { return repeated("[]\n"); }
std::string hugeName() { return "[" + std::string(kFileBytes - 3, 'N') + "]\n"; }

std::string presets(std::size_t limit)
{
    std::string text;
    for (std::size_t i = 0; i < limit; ++i) {
        const std::string section = "[Mic " + std::to_string(i) + "]\n" + kKeyLines;
        if (text.size() + section.size() > kFileBytes) break;
        text += section;
    }
    return text;
}
std::string presetsAtListLimit() { return presets(presets::PresetController::kMaxListedPresets); }
std::string presetsToSizeLimit() { return presets(SIZE_MAX); }

// A field of /proc/self/status, in KiB.
long statusKiB(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == field) {
            in >> value;
            return value;
        }
        in.ignore(1 << 12, '\n');
    }
    return 0;
}

// Lets the peak resident size start again from the current one.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_OpenMicSetFile(benchmark::State& state, std::string (*makeFile)())
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("micset_open_bench_" + std::to_string(std::random_device{}()) + ".dat");
    std::ofstream(path, std::ios::binary) << makeFile();

    TfmMain w;
    w.show();
    QApplication::processEvents();
    presets::PresetController& controller = w.presets();
    controller.setEnabled(true);
    const auto open = [&] {
        controller.OpenMicSetFile(path.string());
        QApplication::processEvents();
    };

    // Memory: one open from a window that lists nothing yet.
    resetPeak();
    const long before = statusKiB("VmRSS:");
    open();
    const long extra = statusKiB("VmHWM:") - before;

    for (auto _ : state) open();

    state.counters["extra_MiB"] = static_cast<double>(extra) / 1024.0;
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK_CAPTURE(BM_OpenMicSetFile, letters_1Mi, letters)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenMicSetFile, empty_1_4Mi, emptyNames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenMicSetFile, name_4MiB, hugeName)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenMicSetFile, presets_10000, presetsAtListLimit)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenMicSetFile, presets_12666, presetsToSizeLimit)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerAppFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
