// One full paint of the level diagram (layout, scales, labels, overlays) at
// 980 x 448 after the default start, offscreen. `--save=FILE.png` writes
// the painted image instead (`--save-digital=FILE.png` in digital mode).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>

#include "text/fonts.h"
#include "diagram_rig.h"
#include "fixed_measure.h"

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

// The slow fuzz_axis input (tests/fuzz/corpus/fuzz_axis/slow-axis-layout):
// a 1000 x 1000 chart whose negative percent margins stretch both axes over
// 5000 rows, a font one pixel high, three sub-axes a side with automatic
// column widths. One layout of it.
void BM_AxisLayoutWorstCase(benchmark::State& state)
{
    TScaleChart chart;
    chart.resize(1000, 1000);
    chart.setMarginUnits(TPositionUnits::Percent);
    chart.setMarginTop(-200);
    chart.setMarginBottom(-200);
    chart.setMarginLeft(10);
    chart.setMarginRight(10);
    chart.addSeries(chart.LeftAxis(), true);
    chart.addSeries(chart.RightAxis(), true);
    for (TScaleAxis* main : {&chart.LeftAxis(), &chart.RightAxis()}) {
        main->setMinMax(0, 4999);
        for (int i = 0; i < 3; ++i) main->addSubAxis().setLabelsSize(0);
    }
    const FixedMeasure measure(1, 1);
    std::size_t labels = 0;
    for (auto _ : state) {
        const TChartLayout l = chart.computeLayout(measure);
        labels = 0;
        for (const TAxisLayout& a : l.axes) labels += a.labels.size();
        benchmark::DoNotOptimize(labels);
    }
    state.counters["labels"] = static_cast<double>(labels);
}
BENCHMARK(BM_AxisLayoutWorstCase)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerAppFonts(); // as the program does at start-up
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
