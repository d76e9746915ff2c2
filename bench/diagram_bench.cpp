// One full paint of the level diagram (layout, scales, labels, overlays) at
// 980 x 448 after the default start, offscreen. `--save=FILE.png` writes
// the painted image instead (`--save-digital=FILE.png` in digital mode).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>

#include "diagram_rig.h"

namespace {

void BM_DiagramPaint(benchmark::State& state, bool digital)
{
    DiagramRig rig;
    rig.startUp();
    if (digital) rig.digital.click();
    QImage image(980, 448, QImage::Format_RGB32);
    for (auto _ : state) {
        rig.chart.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK_CAPTURE(BM_DiagramPaint, analog, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DiagramPaint, digital, true)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const bool analog = std::strncmp(argv[i], "--save=", 7) == 0;
        const bool digital = std::strncmp(argv[i], "--save-digital=", 15) == 0;
        if (analog || digital) {
            DiagramRig rig;
            rig.startUp();
            if (digital) rig.digital.click();
            const char* file = std::strchr(argv[i], '=') + 1;
            return rig.chart.grab().save(QString::fromLocal8Bit(file)) ? 0 : 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
