// The real main window, offscreen: one edit from key to screen, the change
// operation alone, and single paints of the diagram, the result line and
// the level bar as the window shows them.
//
// Counters on the edit benchmark give the paints per edit of the diagram
// (chart_paints), the result line (line_paints), the level bar (bar_paints)
// and the paint passes over the whole window (window_paints).
#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>

#include "text/fonts.h"
#include "diagram/leveldiagram.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"
#include "widgets/levelbar.h"
#include "widgets/markuplabel.h"

namespace {

// Everything the event loop has queued: posted events (layout requests,
// repaints) and what they post in turn.
void drainEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Counts paint events per object name.
class PaintCounter : public QObject {
public:
    std::map<QString, long> paints;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints[o->objectName()];
        return false;
    }
};

// One measured step, never inlined, so that callgrind can count the
// instructions of the steps alone:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*measuredStep*'
// and divide by the calls it reports.
template <typename F>
[[gnu::noinline]] void measuredStep(F&& f)
{
    f();
    benchmark::ClobberMemory();
}

std::unique_ptr<TfmMain> shownWindow(bool chain = false)
{
    auto w = std::make_unique<TfmMain>();
    if (chain) w->startSignalChain();
    w->show();
    (void)QTest::qWaitForWindowExposed(w.get());
    drainEvents();
    return w;
}

// With `chain`, the window of phonolith --chain as it opens (`everything`
// false) or with everything it draws: a source 0.5 m away and the three
// threshold lines besides the chain's lines and the warning line.
void editEndToEnd(benchmark::State& state, bool chain, bool everything = false)
{
    auto w = shownWindow(chain);
    if (everything) {
        for (const char* box : {"cbShowPainThrs", "cbShowDangerThrs", "cbShowHearingThrs"})
            w->findChild<QAbstractButton*>(QLatin1String(box))->click();
        w->findChild<TFloatSpinEdit*>(QStringLiteral("FloatSpinEdit2"))->setFloatValue(0.5);
        drainEvents();
    }
    TFloatSpinEdit* edit = w->input(InputId::MicSens_dBu);
    w->activateWindow();
    edit->setFocus();
    drainEvents();
    edit->end(false);
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    // Each key changes the value: "-39.8" -> "-39." -> "-39.7" -> "-39." -> "-39.8".
    static constexpr Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_7, Qt::Key_Backspace, Qt::Key_8};
    // One round of the four keys first: the texts they show are then kept
    // (shaped, and as images), as in a user's session.
    for (Qt::Key key : keys) {
        QTest::keyClick(edit, key);
        drainEvents();
    }
    counter.paints.clear();
    std::size_t k = 0;
    for (auto _ : state) {
        measuredStep([&] {
            QTest::keyClick(edit, keys[k++ % 4]);
            drainEvents();
        });
    }
    qApp->removeEventFilter(&counter);
    const double n = static_cast<double>(state.iterations());
    state.counters["chart_paints"] = static_cast<double>(counter.paints["Chart1"]) / n;
    state.counters["line_paints"] = static_cast<double>(counter.paints["lblCalcMain"]) / n;
    state.counters["bar_paints"] = static_cast<double>(counter.paints["pbLevelMeter"]) / n;
    state.counters["window_paints"] = static_cast<double>(counter.paints["fmMain"]) / n;
    if (chain) state.counters["warning_paints"] = static_cast<double>(counter.paints["lblChainWarnings"]) / n;
}

void BM_EditEndToEnd(benchmark::State& state) { editEndToEnd(state, false); }
BENCHMARK(BM_EditEndToEnd)->Unit(benchmark::kMicrosecond);

void BM_EditEndToEndChain(benchmark::State& state) { editEndToEnd(state, true); }
BENCHMARK(BM_EditEndToEndChain)->Unit(benchmark::kMicrosecond);

void BM_EditEndToEndChainAll(benchmark::State& state) { editEndToEnd(state, true, true); }
BENCHMARK(BM_EditEndToEndChainAll)->Unit(benchmark::kMicrosecond);

// The change operation as an edit raises it, without painting: the new
// text is put into the sender outside the timing, the repaints it requested
// are handled outside the timing too.
void BM_ChangeOperation(benchmark::State& state)
{
    auto w = shownWindow();
    TFloatSpinEdit* edit = w->input(InputId::MicSens_dBu);
    Calculator& calc = w->calculator();
    static const QString texts[] = {QStringLiteral("-39.7"), QStringLiteral("-39.8")};
    std::size_t k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        edit->setOnChange({}); // the operation attaches it again
        edit->setText(texts[k++ % 2]);
        drainEvents();
        state.ResumeTiming();
        calc.seMicMaxLevel_dBSPLChange(w->boundInput(InputId::MicSens_dBu));
    }
}
BENCHMARK(BM_ChangeOperation)->Unit(benchmark::kMicrosecond);

void BM_DiagramPaint(benchmark::State& state, bool digital)
{
    auto w = shownWindow();
    if (digital) {
        w->findChild<QAbstractButton*>(QStringLiteral("rbMicDigital"))->click();
        drainEvents();
    }
    TLevelDiagram* chart = w->chart();
    QImage image(chart->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        measuredStep([&] { chart->render(&image); });
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(chart->width()).arg(chart->height()).toStdString());
}
BENCHMARK_CAPTURE(BM_DiagramPaint, analog, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DiagramPaint, digital, true)->Unit(benchmark::kMicrosecond);

// A new right-axis range (as a changed sensitivity sets it), then the paint.
void BM_DiagramRangeChange(benchmark::State& state)
{
    auto w = shownWindow();
    TLevelDiagram* chart = w->chart();
    QImage image(chart->size(), QImage::Format_RGB32);
    static constexpr double maxima[] = {26.3, 26.2};
    for (int warm = 0; warm < 4; ++warm) { // both views' texts kept, as in a session
        chart->RightAxis().setMinMax(maxima[warm % 2] - 160, maxima[warm % 2]);
        chart->render(&image);
    }
    std::size_t k = 0;
    for (auto _ : state) {
        const double mx = maxima[k++ % 2];
        measuredStep([&] {
            chart->RightAxis().setMinMax(mx - 160, mx);
            chart->render(&image);
        });
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DiagramRangeChange)->Unit(benchmark::kMicrosecond);

void BM_ResultLinePaint(benchmark::State& state)
{
    auto w = shownWindow();
    auto* line = w->findChild<TMarkupLabel*>(QStringLiteral("lblCalcMain"));
    QImage image(line->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        line->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ResultLinePaint)->Unit(benchmark::kMicrosecond);

void BM_LevelBarPaint(benchmark::State& state)
{
    auto w = shownWindow();
    auto* bar = w->findChild<TLevelBar*>(QStringLiteral("pbLevelMeter"));
    QImage image(bar->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        bar->QWidget::render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LevelBarPaint)->Unit(benchmark::kMicrosecond);

// Window images for checking that a speed change leaves the pixels alone:
// start-up, after an edit, digital mode, and the diagram after a range change.
int saveImages(const QString& dir)
{
    auto w = shownWindow();
    bool ok = w->grab().save(dir + QStringLiteral("/window-start.png"));
    TFloatSpinEdit* edit = w->input(InputId::MicSens_dBu);
    w->activateWindow();
    edit->setFocus();
    drainEvents();
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_3);
    drainEvents();
    ok = w->grab().save(dir + QStringLiteral("/window-edit.png")) && ok;
    w->findChild<QAbstractButton*>(QStringLiteral("rbMicDigital"))->click();
    drainEvents();
    ok = w->grab().save(dir + QStringLiteral("/window-digital.png")) && ok;
    w->chart()->RightAxis().setMinMax(-150.5, 9.5);
    drainEvents();
    ok = w->chart()->grab().save(dir + QStringLiteral("/chart-range.png")) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerAppFonts();
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--save=", 7) == 0) return saveImages(QString::fromLocal8Bit(argv[i] + 7));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
