// Linked into the start-up probes: when the application object exists, an
// event filter waits for the first paint of a shown window; once that frame
// is done (the next turn of the event loop) it prints the time since the
// process was started and quits the event loop, so main() returns as usual.
//
// The runner (proc_bench) hands over its clock reading at the fork in
// PHONOLITH_BENCH_T0_NS (CLOCK_MONOTONIC, nanoseconds); without it the hook
// does nothing.
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

class FirstPaintQuit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window()->isVisible()) {
            seen_ = true;
            // Queued: runs after the whole frame has been painted and flushed.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    const char* t0 = std::getenv("PHONOLITH_BENCH_T0_NS");
                    if (t0) {
                        const double ms = static_cast<double>(monotonicNs() - std::atoll(t0)) / 1e6;
                        std::printf("first-paint-ms %.3f\n", ms);
                        std::fflush(stdout);
                    }
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool seen_ = false;
};

void installFirstPaintQuit()
{
    // Without the runner's clock the program stays open (proc_bench --x11
    // ends it when it is drawn and idle).
    if (!std::getenv("PHONOLITH_BENCH_T0_NS")) return;
    QCoreApplication::instance()->installEventFilter(new FirstPaintQuit(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintQuit)
