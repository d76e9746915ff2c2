// Analog -> Digital -> Analog through the real main window, clicked with the
// mouse and painted after every click, many times over: after the first few
// round trips neither the live heap nor the window's objects may grow.
//
//   mode_switch_memory [--rounds N] [--allowed-bytes N]
//
// Prints the heap at checkpoints; fails when it grew by more than
// --allowed-bytes (64 KiB) from the end of the warm-up to the last round trip,
// when the window's object count changed, or when a click did not switch.
#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#include "text/fonts.h"
#include "heapuse.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"

namespace {

// Counts the paints of one widget, to show that each switch is painted.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    long rounds = 2000;
    long long allowed = 64 * 1024;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--rounds") rounds = args[i + 1].toLong();
        else if (args[i] == "--allowed-bytes") allowed = args[i + 1].toLongLong();
        else {
            std::fprintf(stderr, "mode_switch_memory: unknown argument %s\n", qPrintable(args[i]));
            return 2;
        }
    }
    registerAppFonts();

    TfmMain w;
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "mode_switch_memory: the window was not shown\n");
        return 2;
    }
    auto* analog = w.findChild<QRadioButton*>("rbMicAnalog");
    auto* digital = w.findChild<QRadioButton*>("rbMicDigital");
    TFloatSpinEdit* dBFS = w.input(InputId::MicSens_dBFS);
    PaintCounter counter;
    dBFS->buttons()->upButton()->installEventFilter(&counter);

    const auto click = [](QRadioButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
        QCoreApplication::processEvents(); // the repaint of every control the switch touched
    };
    const auto roundTrip = [&]() -> const char* {
        click(digital);
        if (!digital->isChecked() || !dBFS->isEnabled()) return "the click on \"Digital mic\" did not switch";
        click(analog);
        if (!analog->isChecked() || dBFS->isEnabled()) return "the click on \"Analog mic\" did not switch";
        return nullptr;
    };

    constexpr long kWarmUp = 20; // the style's and the fonts' caches fill once
    const long checkEvery = std::max(1L, rounds / 8);
    qsizetype objects0 = 0;
    long long heap0 = 0;
    int paints0 = 0;
    for (long i = 0; i < rounds; ++i) {
        if (i == kWarmUp) {
            heap0 = static_cast<long long>(robust::liveHeapBytes());
            objects0 = w.findChildren<QObject*>().size();
            paints0 = counter.paints;
            std::printf("after %ld round trips: heap %lld bytes, %lld objects\n", i, heap0,
                        static_cast<long long>(objects0));
        }
        if (const char* problem = roundTrip()) {
            std::fprintf(stderr, "mode_switch_memory: round trip %ld: %s\n", i, problem);
            return 1;
        }
        if (i > kWarmUp && ((i + 1) % checkEvery == 0 || i + 1 == rounds))
            std::printf("after %ld round trips: heap %+lld bytes\n", i + 1,
                        static_cast<long long>(robust::liveHeapBytes()) - heap0);
    }
    if (rounds <= kWarmUp) return 0;

    const long long growth = static_cast<long long>(robust::liveHeapBytes()) - heap0;
    const qsizetype objects = w.findChildren<QObject*>().size();
    const long measured = rounds - kWarmUp;
    std::printf("%ld round trips after the warm-up: heap %+lld bytes (%.1f per round trip), objects %+lld, "
                "%d paints of one spin button\n",
                measured, growth, static_cast<double>(growth) / measured, static_cast<long long>(objects - objects0),
                counter.paints - paints0);
    int failed = 0;
    if (counter.paints - paints0 < measured) {
        std::fprintf(stderr, "mode_switch_memory: the switches were not painted\n");
        failed = 1;
    }
    if (heap0 > 0 && growth > allowed) {
        std::fprintf(stderr, "mode_switch_memory: the heap grew by %lld bytes (allowed %lld)\n", growth, allowed);
        failed = 1;
    }
    if (objects != objects0) {
        std::fprintf(stderr, "mode_switch_memory: the window holds %lld objects, %lld before\n",
                     static_cast<long long>(objects), static_cast<long long>(objects0));
        failed = 1;
    }
    return failed;
}
