// A random user on the real main window: a seeded stream of keys, pastes,
// wheel notches, step-button presses and holds, mode switches, drags and
// wheel on the diagram, resizes and menus. After every event the window
// must still hold together (see checkWindow), and over the whole run the
// heap must stay flat (see heapProblem). A failure prints the seed and the
// event index that reproduce it.
//
//   random_user [--seed N] [--events N] [--locale NAME] [--edits] [--quiet]
//               [--event-timeout SECONDS] [--heap-allowed BYTES]
//
// --locale picks the user's locale (C for ".", de_DE for ","); --edits keeps
// to editing the inputs (keys, pastes, steps), as the memory check does; an
// event that takes longer than --event-timeout (60 s) fails as a hang;
// --heap-allowed is how far the live heap may grow from the warm-up to the
// end of the run (2 MiB: the bounded caches that remain, the style's pixmaps,
// the result line's text widths and Qt's font caches, moved it by 1.5 MB
// over a million events).
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>

#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "calc/calculator.h"
#include "text/fonts.h"
#include "diagram/leveldiagram.h"
#include "heapuse.h"
#include "invariants.h"
#include "ui/mainwindow.h"
#include "widgets/floatspinedit.h"
#include "widgets/markuplabel.h"

namespace {

struct Options {
    unsigned long long seed = 1;
    long long events = 20000;
    int eventTimeoutSeconds = 60; // one event taking longer counts as a hang
    QString locale = QStringLiteral("C");
    bool editsOnly = false;
    bool quiet = false;
    long long heapAllowed = 2ll << 20;
};

Options parseOptions(const QStringList& args)
{
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == "--seed") o.seed = next.toULongLong(), ++i;
        else if (a == "--events") o.events = next.toLongLong(), ++i;
        else if (a == "--locale") o.locale = next, ++i;
        else if (a == "--event-timeout") o.eventTimeoutSeconds = next.toInt(), ++i;
        else if (a == "--heap-allowed") o.heapAllowed = next.toLongLong(), ++i;
        else if (a == "--edits") o.editsOnly = true;
        else if (a == "--quiet") o.quiet = true;
        else {
            std::fprintf(stderr, "random_user: unknown argument %s\n", qPrintable(a));
            std::exit(2);
        }
    }
    return o;
}

std::string str(const QString& s) { return s.toStdString(); }

// Ends the run when one event does not finish in time, naming the event.
class Watchdog {
public:
    explicit Watchdog(const Options& o) : opt_(o), thread_([this] { watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void started(long long index, const std::string& what)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        index_ = index;
        what_ = what;
        since_ = std::chrono::steady_clock::now();
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) {
            if (index_ < 0 || std::chrono::steady_clock::now() - since_ < std::chrono::seconds(opt_.eventTimeoutSeconds))
                continue;
            std::fprintf(stderr,
                         "random_user: FAILED at event %lld of seed %llu (locale %s): no end after %d s (hang): %s\n"
                         "reproduce with: random_user --seed %llu --events %lld --locale %s%s\n",
                         index_, opt_.seed, qPrintable(opt_.locale), opt_.eventTimeoutSeconds, what_.c_str(),
                         opt_.seed, index_ + 1, qPrintable(opt_.locale), opt_.editsOnly ? " --edits" : "");
            std::fflush(stderr);
            std::_Exit(3);
        }
    }

    const Options& opt_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    long long index_ = -1;
    std::string what_;
    std::chrono::steady_clock::time_point since_;
    std::thread thread_;
};

class RandomUser {
public:
    RandomUser(TfmMain& w, const Options& o) : w_(w), opt_(o), rng_(o.seed)
    {
        sep_ = str(QLocale().decimalPoint());
        edits_ = w.findChildren<TFloatSpinEdit*>(); // the bound inputs and the two free ones
        analog_ = w.findChild<QRadioButton*>("rbMicAnalog");
        digital_ = w.findChild<QRadioButton*>("rbMicDigital");
        result_ = w.findChild<TMarkupLabel*>("lblCalcMain");
        for (const char* name : {"rbSourceIsPoint", "rbSourceIsLine", "cbShowDangerThrs", "cbShowPainThrs",
                                 "cbShowHearingThrs"})
            if (auto* b = w.findChild<QAbstractButton*>(name)) toggles_.push_back(b);
        menus_ = w.menuBar()->findChildren<QMenu*>();
        texts_ = snapshot();
    }

    // Runs the events; returns the index of the first failing one, or -1.
    long long run()
    {
        for (index_ = 0; index_ < opt_.events; ++index_) {
            if (index_ == kHeapWarmUp) heapStart_ = heapAtStartSize();
            std::string problem;
            try {
                target_ = nullptr;
                userEdit_ = false;
                oneEvent();
                QCoreApplication::processEvents();
                problem = checkWindow();
            } catch (const std::exception& e) {
                problem = std::string("exception escaped: ") + e.what();
            } catch (...) {
                problem = "unknown exception escaped";
            }
            if (!problem.empty()) {
                report(problem);
                return index_;
            }
            if (!opt_.quiet && (index_ + 1) % 5000 == 0) {
                std::printf("random_user: %lld events, all checks held\n", index_ + 1);
                std::fflush(stdout);
            }
        }
        if (const std::string problem = heapProblem(); !problem.empty()) {
            std::fprintf(stderr,
                         "random_user: FAILED over the run of seed %llu (locale %s): %s\n"
                         "reproduce with: random_user --seed %llu --events %lld --locale %s%s\n",
                         opt_.seed, qPrintable(opt_.locale), problem.c_str(), opt_.seed, opt_.events,
                         qPrintable(opt_.locale), opt_.editsOnly ? " --edits" : "");
            return index_;
        }
        return -1;
    }

    // How much the run changed: a stream that changes nothing checks nothing.
    std::string summary() const
    {
        std::string s = std::to_string(resultChanges_) + " result lines, " + std::to_string(inputChanges_) +
                        " input texts changed, " + std::to_string(rangeChanges_) + " right-axis ranges";
        if (heapStart_ > 0 && opt_.events > kHeapWarmUp)
            s += "; heap " + std::to_string(heapGrowth_) + " bytes from event " + std::to_string(kHeapWarmUp) +
                 " to the end";
        return s;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    void note(const std::string& what)
    {
        watchdog_.started(index_, what);
        history_.push_back("#" + std::to_string(index_) + " " + what);
        if (history_.size() > 12) history_.pop_front();
    }

    // The input the next key goes to: the focused box, or another one given the focus.
    TFloatSpinEdit* focusedEdit()
    {
        auto* focused = qobject_cast<TFloatSpinEdit*>(QApplication::focusWidget());
        if (focused && chance(0.8)) return focused;
        TFloatSpinEdit* e = edits_[pick(static_cast<int>(edits_.size()))];
        e->setFocus(Qt::MouseFocusReason);
        return e;
    }

    QString randomString()
    {
        static const QString pool = QStringLiteral("0123456789+-.,eE ;x\t\n/:٣²½ⅧＡ");
        const int n = between(0, 12);
        QString s;
        for (int i = 0; i < n; ++i) s += pool[pick(static_cast<int>(pool.size()))];
        if (chance(0.3)) s = QString::number(std::uniform_real_distribution<double>(-1e4, 1e4)(rng_), 'f', pick(6));
        if (chance(0.1)) { // any magnitude a double has, up to the largest
            const double v = std::ldexp(std::uniform_real_distribution<double>(1.0, 2.0)(rng_), between(-1074, 1023));
            s = QString::fromStdString(numtext::formatFixed(chance(0.5) ? v : -v, pick(4), sep_));
        }
        return s;
    }

    void keyEvent()
    {
        TFloatSpinEdit* e = focusedEdit();
        target_ = e;
        struct Key {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            const char* text; // null: the key has no text
            bool edits;       // changes the text as typed, not as formatted
        };
        static const Key keys[] = {
            {Qt::Key_0, {}, "0", true},       {Qt::Key_1, {}, "1", true},       {Qt::Key_5, {}, "5", true},
            {Qt::Key_9, {}, "9", true},       {Qt::Key_Minus, {}, "-", true},   {Qt::Key_Plus, {}, "+", true},
            {Qt::Key_Period, {}, ".", true},  {Qt::Key_Comma, {}, ",", true},   {Qt::Key_E, {}, "e", true},
            {Qt::Key_A, {}, "a", true},       {Qt::Key_Space, {}, " ", true},   {Qt::Key_Slash, {}, "/", true},
            {Qt::Key_Up, {}, nullptr, false}, {Qt::Key_Down, {}, nullptr, false},
            {Qt::Key_PageUp, {}, nullptr, false}, {Qt::Key_PageDown, {}, nullptr, false},
            {Qt::Key_Return, {}, nullptr, true}, {Qt::Key_Return, Qt::ControlModifier, nullptr, true},
            {Qt::Key_Tab, {}, nullptr, false}, {Qt::Key_Backtab, Qt::ShiftModifier, nullptr, false},
            {Qt::Key_Delete, {}, nullptr, true}, {Qt::Key_Backspace, {}, nullptr, true},
            {Qt::Key_Home, {}, nullptr, false}, {Qt::Key_End, Qt::ShiftModifier, nullptr, false},
            {Qt::Key_A, Qt::ControlModifier, nullptr, false}, {Qt::Key_X, Qt::ControlModifier, nullptr, true},
            {Qt::Key_Z, Qt::ControlModifier, nullptr, true},
        };
        const Key& k = keys[pick(static_cast<int>(std::size(keys)))];
        userEdit_ = k.edits;
        note("key " + QKeySequence(k.key | k.mods).toString().toStdString() + " in " + str(e->objectName()));
        if (k.text) {
            QKeyEvent press(QEvent::KeyPress, k.key, k.mods, QString::fromLatin1(k.text));
            QKeyEvent release(QEvent::KeyRelease, k.key, k.mods, QString::fromLatin1(k.text));
            QApplication::sendEvent(e, &press);
            QApplication::sendEvent(e, &release);
        } else {
            QTest::keyClick(e, k.key, k.mods);
        }
    }

    void pasteEvent()
    {
        TFloatSpinEdit* e = focusedEdit();
        target_ = e;
        userEdit_ = true;
        const QString clip = randomString();
        note("paste \"" + str(clip) + "\" into " + str(e->objectName()));
        QGuiApplication::clipboard()->setText(clip);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    }

    void wheelOn(QWidget* target, int delta)
    {
        const QPointF pos(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent ev(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &ev);
    }

    void wheelEditEvent()
    {
        TFloatSpinEdit* e = edits_[pick(static_cast<int>(edits_.size()))];
        static const int deltas[] = {120, -120, 240, -360, 40, -15};
        const int delta = deltas[pick(static_cast<int>(std::size(deltas)))];
        note("wheel " + std::to_string(delta) + " on " + str(e->objectName()));
        wheelOn(e, delta);
    }

    void stepButtonEvent()
    {
        TFloatSpinEdit* e = edits_[pick(static_cast<int>(edits_.size()))];
        TRepeatButton* b = chance(0.5) ? e->buttons()->upButton() : e->buttons()->downButton();
        const int ticks = chance(0.5) ? 0 : between(1, 8);
        const bool releaseOutside = chance(0.1);
        note(std::string(b->direction() == TRepeatButton::Up ? "up" : "down") + " button of " + str(e->objectName()) +
             " held for " + std::to_string(ticks) + " repeats" + (releaseOutside ? ", released outside" : ""));
        const QPoint centre = b->rect().center();
        QTest::mousePress(b, Qt::LeftButton, {}, centre);
        for (int i = 0; i < ticks; ++i) b->repeatTick(); // the repeat timer, driven by hand
        QTest::mouseRelease(b, Qt::LeftButton, {}, releaseOutside ? QPoint(-50, -50) : centre);
    }

    void modeEvent()
    {
        QAbstractButton* b = chance(0.5) ? static_cast<QAbstractButton*>(analog_) : digital_;
        if (chance(0.3)) b = toggles_[pick(static_cast<int>(toggles_.size()))];
        note("click " + str(b->objectName()));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
    }

    void mouseMove(QWidget* target, QPoint pos, Qt::MouseButtons buttons)
    {
        QMouseEvent ev(QEvent::MouseMove, pos, target->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &ev);
    }

    void diagramEvent()
    {
        TLevelDiagram* c = w_.chart();
        const auto point = [&] {
            return QPoint(between(-40, c->width() + 40), between(-40, c->height() + 40));
        };
        switch (pick(4)) {
        case 0:
        case 1: {
            const Qt::MouseButton button = chance(0.5) ? Qt::LeftButton : Qt::RightButton;
            const QPoint from = point();
            const int moves = between(0, 4);
            QPoint to = from;
            QTest::mousePress(c, button, {}, from);
            for (int i = 0; i < moves; ++i) {
                to = point();
                mouseMove(c, to, button);
            }
            QTest::mouseRelease(c, button, {}, to);
            note(std::string(button == Qt::LeftButton ? "left" : "right") + " drag on the diagram from (" +
                 std::to_string(from.x()) + "," + std::to_string(from.y()) + ") to (" + std::to_string(to.x()) + "," +
                 std::to_string(to.y()) + ")");
            break;
        }
        case 2: {
            const int delta = chance(0.5) ? 120 : -120;
            note("wheel " + std::to_string(delta) + " on the diagram");
            wheelOn(c, delta);
            break;
        }
        default:
            note("repaint the diagram");
            c->repaint();
            break;
        }
    }

    void resizeEvent()
    {
        const QSize size = chance(0.2) ? QSize(between(1, 200), between(1, 200))
                                       : QSize(between(300, 1600), between(200, 1200));
        note("resize to " + std::to_string(size.width()) + "x" + std::to_string(size.height()));
        w_.resize(size);
    }

    void menuEvent()
    {
        QMenu* m = menus_[pick(static_cast<int>(menus_.size()))];
        note("open and close the menu " + str(m->objectName()));
        m->popup(w_.mapToGlobal(QPoint(10, 10)));
        QCoreApplication::processEvents();
        if (chance(0.5))
            QTest::keyClick(m, Qt::Key_Escape);
        else
            m->hide();
    }

    void oneEvent()
    {
        const int kind = opt_.editsOnly ? pick(100) % 60 : pick(100);
        if (kind < 40) keyEvent();
        else if (kind < 48) pasteEvent();
        else if (kind < 54) wheelEditEvent();
        else if (kind < 60) stepButtonEvent();
        else if (kind < 66) modeEvent();
        else if (kind < 88) diagramEvent();
        else if (kind < 94) resizeEvent();
        else menuEvent();
    }

    QStringList snapshot() const
    {
        QStringList t;
        for (TFloatSpinEdit* e : edits_) t.push_back(e->text());
        return t;
    }

    std::string checkWindow()
    {
        Calculator& calc = w_.calculator();
        if (!calc.handlersAttached()) return "a change or click handler stayed detached";
        if (!w_.input(InputId::AmpGain_dB)->hasOnChange()) return "the gain input lost its handler";

        // Inputs: every value finite; a text the program wrote reads as a number.
        const QStringList now = snapshot();
        for (qsizetype i = 0; i < edits_.size(); ++i) {
            TFloatSpinEdit* e = edits_[i];
            const std::string name = str(e->objectName());
            if (!std::isfinite(e->floatValue())) return name + " reads a non-finite value";
            if (robust::showsNonFinite(str(now[i]))) return name + " shows \"" + str(now[i]) + "\"";
            const bool typedHere = userEdit_ && e == target_;
            if (now[i] != texts_[i] && !typedHere) {
                const std::string problem = robust::inputTextProblem(str(now[i]), sep_);
                if (!problem.empty()) return name + " was written \"" + str(now[i]) + "\", which " + problem;
            }
        }
        for (qsizetype i = 0; i < now.size(); ++i) inputChanges_ += now[i] != texts_[i];
        texts_ = now;

        // No "nan" or "inf" in any text on screen.
        if (robust::showsNonFinite(str(w_.windowTitle()))) return "the caption shows " + str(w_.windowTitle());
        for (QWidget* child : w_.findChildren<QWidget*>()) {
            QString text;
            if (auto* l = qobject_cast<QLabel*>(child)) text = l->text();
            text += u' ' + child->accessibleName() + u' ' + child->accessibleDescription();
            if (robust::showsNonFinite(str(text))) return str(child->objectName()) + " shows \"" + str(text) + "\"";
        }
        for (const TAxisLayout& a : w_.chart()->lastLayout().axes)
            for (const TLabelItem& item : a.labels)
                if (robust::showsNonFinite(str(item.text))) return "a diagram label shows " + str(item.text);

        const TScaleAxis& right = w_.chart()->RightAxis();
        if (!(right.minimum() <= right.maximum())) return "the right axis's minimum is above its maximum";
        if (right.minimum() != lastRange_.first || right.maximum() != lastRange_.second) ++rangeChanges_;
        lastRange_ = {right.minimum(), right.maximum()};

        // The result line: one line, in the form of the chosen kind.
        if (result_->htmlText().size() != 1) return "the result label holds " + std::to_string(result_->htmlText().size()) + " lines";
        const bool digital = !analog_->isChecked() && digital_->isChecked();
        const std::string problem = robust::resultLineProblem(str(result_->htmlText().front()), sep_, digital);
        if (!problem.empty()) return "result line " + problem + ": " + str(result_->htmlText().front());
        if (result_->htmlText().front() != lastLine_) ++resultChanges_;
        lastLine_ = result_->htmlText().front();
        if (analog_->isChecked() == digital_->isChecked()) return "not exactly one microphone kind chosen";
        return {};
    }

    // The live heap, measured with the window back at its first size and
    // repainted, so that its backing store takes the same room every time.
    long long heapAtStartSize()
    {
        // The diagram's text cache fills with the labels of every view and
        // starts afresh past 4096 texts, so over a long run it swings the
        // heap by megabytes. Told that the fonts changed, it starts afresh
        // on the repaint below and holds this frame's texts alone.
        Q_EMIT qGuiApp->fontDatabaseChanged();
        w_.chart()->update();
        w_.resize(startSize_);
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        return static_cast<long long>(robust::liveHeapBytes());
    }

    // Caches fill while the first events run; from then on to the end of the
    // run the heap must stay flat, within opt_.heapAllowed, which the bounded
    // caches that heapAtStartSize leaves as they are (the style's pixmaps,
    // text widths) stay inside.
    std::string heapProblem()
    {
        if (opt_.events <= kHeapWarmUp || heapStart_ <= 0) return {}; // valgrind: no figure
        heapGrowth_ = heapAtStartSize() - heapStart_;
        if (heapGrowth_ <= opt_.heapAllowed) return {};
        return "the heap grew by " + std::to_string(heapGrowth_) + " bytes from event " +
               std::to_string(kHeapWarmUp) + " to the end of the run (allowed " + std::to_string(opt_.heapAllowed) +
               ")";
    }

    void report(const std::string& problem) const
    {
        std::fprintf(stderr, "random_user: FAILED at event %lld of seed %llu (locale %s): %s\n", index_, opt_.seed,
                     qPrintable(opt_.locale), problem.c_str());
        std::fprintf(stderr, "last events:\n");
        for (const std::string& h : history_) std::fprintf(stderr, "  %s\n", h.c_str());
        std::fprintf(stderr, "reproduce with: random_user --seed %llu --events %lld --locale %s%s\n", opt_.seed,
                     index_ + 1, qPrintable(opt_.locale), opt_.editsOnly ? " --edits" : "");
    }

    // The heap is measured at this event (a fixed index, so that a shorter
    // run reproducing a failure sees the same stream) and after the last.
    static constexpr long long kHeapWarmUp = 1000;

    TfmMain& w_;
    Options opt_;
    Watchdog watchdog_{opt_};
    std::mt19937_64 rng_;
    std::string sep_;
    QList<TFloatSpinEdit*> edits_;
    QRadioButton* analog_ = nullptr;
    QRadioButton* digital_ = nullptr;
    TMarkupLabel* result_ = nullptr;
    std::vector<QAbstractButton*> toggles_;
    QList<QMenu*> menus_;
    QStringList texts_;
    std::deque<std::string> history_;
    long long index_ = 0;
    TFloatSpinEdit* target_ = nullptr;
    bool userEdit_ = false;
    QString lastLine_;
    std::pair<double, double> lastRange_;
    long long resultChanges_ = 0, inputChanges_ = 0, rangeChanges_ = 0;
    QSize startSize_{w_.size()};
    long long heapStart_ = 0, heapGrowth_ = 0;
};

// The resident memory now, from /proc/self/status: all of it and its
// anonymous part (the heap), in kB.
std::string residentMemory()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return "unknown";
    char line[256];
    std::string rss = "?", anon = "?";
    while (std::fgets(line, sizeof line, f)) {
        long kb = 0;
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) rss = std::to_string(kb);
        if (std::sscanf(line, "RssAnon: %ld kB", &kb) == 1) anon = std::to_string(kb);
    }
    std::fclose(f);
    return "RSS " + rss + " kB (anonymous " + anon + " kB)";
}

// The offscreen platform cannot grab the keyboard or raise a menu; it says
// so for every menu opened. Everything else Qt says is passed on.
void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(messageHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options opt = parseOptions(QCoreApplication::arguments());
    QLocale::setDefault(QLocale(opt.locale));
    registerAppFonts();

    long long failedAt = -1;
    std::string summary;
    {
        TfmMain w;
        // The repeat timers never fire by themselves (a day's delay): holds
        // are driven by hand, so that a run does not depend on the machine's
        // speed.
        for (TFloatSpinEdit* e : w.findChildren<TFloatSpinEdit*>())
            e->setRepeatTimings(RepeatTimings{24 * 3600 * 1000, 24 * 3600 * 1000});
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w)) {
            std::fprintf(stderr, "random_user: the window did not become active\n");
            return 2;
        }
        RandomUser user(w, opt);
        std::printf("random_user: at the start: %s\n", residentMemory().c_str());
        std::fflush(stdout);
        failedAt = user.run();
        std::printf("random_user: at the end: %s\n", residentMemory().c_str());
        summary = user.summary();
    }
    if (failedAt >= 0) return 1;
    std::printf("random_user: %lld events of seed %llu (locale %s), no failure (%s)\n", opt.events, opt.seed,
                qPrintable(opt.locale), summary.c_str());
    return 0;
}
