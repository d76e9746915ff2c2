// Our level diagram against a peer chart drawn with Qt Charts, in the same
// process: both 980 x 448, the same two value axes (0 to 160 on the left,
// -133.8 to 26.2 on the right, label steps as our layout chose them),
// Courier New 10 labels, the left axis's grid, black background.
//
//   paint          one full paint into an image
//   range_change   a new right-axis range, then one paint into an image
//   range_loop     both as shown windows: a new range, then the event loop
//                  until idle (deferred layout and repaint included)
//
// `--save-peer=FILE.png` writes the peer's image instead of timing.
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "text/fonts.h"
#include "diagram_rig.h"

namespace {

constexpr int kWidth = 980, kHeight = 448;
constexpr double kRangeMax[] = {26.3, 26.2}; // alternate right maxima, span 160

void drainEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

struct Ours {
    DiagramRig rig;
    Ours()
    {
        rig.startUp();
        rig.chart.layoutNow();
    }
    QWidget& widget() { return rig.chart; }
    void setRight(double mx) { rig.chart.RightAxis().setMinMax(mx - 160, mx); }
    double step(const TScaleAxis& a) { return rig.chart.lastLayout().find(&a)->step; }
};

struct Peer {
    QChartView view;
    QChart* chart = new QChart;
    QValueAxis* left = new QValueAxis;
    QValueAxis* right = new QValueAxis;

    Peer(double leftStep, double rightStep, double rightMin, double rightMax)
    {
        chart->setBackgroundBrush(Qt::black);
        chart->setBackgroundRoundness(0);
        chart->setMargins(QMargins(0, 0, 0, 0));
        chart->legend()->hide();
        chart->setAnimationOptions(QChart::NoAnimation);
        chart->setTitle(QStringLiteral("<=== acoustic                electric  ===>"));
        chart->setTitleFont(diagramFont(QStringLiteral("Courier"), 8));
        const QFont labels = diagramFont(QStringLiteral("Courier New"), 10);
        const QColor pink = colorFromBgr(0xFF80FF);
        auto setup = [&](QValueAxis* a, double mn, double mx, double step, bool grid) {
            a->setRange(mn, mx);
            a->setTickType(QValueAxis::TicksDynamic);
            a->setTickAnchor(0);
            a->setTickInterval(step);
            a->setLabelFormat(QStringLiteral("%g"));
            a->setLabelsFont(labels);
            a->setLabelsColor(pink);
            a->setGridLineVisible(grid);
            a->setMinorGridLineVisible(false);
            QPen gridPen(colorFromBgr(0x64808080), 1);
            gridPen.setCosmetic(true);
            a->setGridLinePen(gridPen);
        };
        setup(left, 0, 160, leftStep, true);
        setup(right, rightMin, rightMax, rightStep, false);
        chart->addAxis(left, Qt::AlignLeft);
        chart->addAxis(right, Qt::AlignRight);
        auto* acoustic = new QLineSeries;
        auto* electric = new QLineSeries;
        chart->addSeries(acoustic);
        chart->addSeries(electric);
        acoustic->attachAxis(left);
        electric->attachAxis(right);
        view.setChart(chart);
        view.setRenderHint(QPainter::Antialiasing, false);
        view.setFrameStyle(0);
        view.setBackgroundBrush(Qt::black);
        view.resize(kWidth, kHeight);
    }
    QWidget& widget() { return view; }
    void setRight(double mx) { right->setRange(mx - 160, mx); }
};

// Built once in main() and gone before the application object: the peer
// takes its label steps from our first layout.
std::unique_ptr<Ours> gOurs;
std::unique_ptr<Peer> gPeer;
Ours& ours() { return *gOurs; }
Peer& peer() { return *gPeer; }

void buildCharts()
{
    gOurs = std::make_unique<Ours>();
    TLevelDiagram& c = gOurs->rig.chart;
    gPeer = std::make_unique<Peer>(gOurs->step(c.LeftAxis()), gOurs->step(c.RightAxis()), c.RightAxis().minimum(),
                                   c.RightAxis().maximum());
}

// One measured step, never inlined, so that callgrind can count the
// instructions of the steps alone, ours and the peer's alike:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*measuredStep*'
// and divide by the calls it reports.
template <typename F>
[[gnu::noinline]] void measuredStep(F&& f)
{
    f();
    benchmark::ClobberMemory();
}

template <typename Chart>
void paintOnce(Chart& c, QImage& image)
{
    QCoreApplication::sendPostedEvents(); // a deferred layout, where the chart has one
    c.widget().render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

template <typename Chart>
void BM_Paint(benchmark::State& state, Chart& (*get)())
{
    Chart& c = get();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) measuredStep([&] { paintOnce(c, image); });
}

template <typename Chart>
void BM_RangeChange(benchmark::State& state, Chart& (*get)())
{
    Chart& c = get();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::size_t k = 0;
    for (auto _ : state) {
        measuredStep([&] {
            c.setRight(kRangeMax[k++ % 2]);
            paintOnce(c, image);
        });
    }
    c.setRight(kRangeMax[1]);
}

class PaintCounter : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

template <typename Chart>
void BM_RangeLoop(benchmark::State& state, Chart& (*get)())
{
    Chart& c = get();
    QWidget& w = c.widget();
    w.show();
    (void)QTest::qWaitForWindowExposed(&w);
    drainEvents();
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    std::size_t k = 0;
    for (auto _ : state) {
        c.setRight(kRangeMax[k++ % 2]);
        drainEvents();
    }
    qApp->removeEventFilter(&counter);
    state.counters["paints"] = static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
    c.setRight(kRangeMax[1]);
    w.hide();
    drainEvents();
}

BENCHMARK_CAPTURE(BM_Paint, ours, &ours)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Paint, peer, &peer)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RangeChange, ours, &ours)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RangeChange, peer, &peer)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RangeLoop, ours, &ours)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RangeLoop, peer, &peer)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerAppFonts();
    buildCharts();
    struct Release {
        ~Release()
        {
            gPeer.reset();
            gOurs.reset();
        }
    } release;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--save-peer=", 12) == 0) {
            QImage image(kWidth, kHeight, QImage::Format_RGB32);
            paintOnce(peer(), image);
            return image.save(QString::fromLocal8Bit(argv[i] + 12)) ? 0 : 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
