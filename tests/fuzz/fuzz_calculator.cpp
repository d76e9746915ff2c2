// The calculator as the window runs it: a fresh main window (offscreen, in
// either locale) and a random stream of what a user does to it: keys typed
// into any input, pastes of any text, steps by key and wheel, the focus
// leaving a box, clicks on the two kinds, zoom, pan and wheel on the diagram,
// and program writes of any value. After every step the window's invariants
// hold (fuzz_window.h): handlers attached, nothing non-finite in the state,
// on screen or on the right axis, every box the program wrote readable as a
// finite number, and a well-formed result line. No exception may escape.
#include <fuzzer/FuzzedDataProvider.h>

#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "numtext/numtext.h"
#include "fuzz_window.h"

using fuzzwin::str;

namespace {

double anyDouble(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: {
        const auto bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case 1: return in.ConsumeFloatingPointInRange(-300.0, 300.0);
    case 2: return static_cast<double>(in.ConsumeIntegralInRange(-250, 250));
    case 3: return std::ldexp(1.0, in.ConsumeIntegralInRange(-1074, 1023)) * (in.ConsumeBool() ? 1 : -1);
    default: return in.ConsumeFloatingPoint<double>();
    }
}

// A text a user may type or paste: a number of any size with some decimals
// or in exponent form, in the window's locale, or any bytes.
QString anyText(FuzzedDataProvider& in, const std::string& sep)
{
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return QString::fromStdString(numtext::formatFixed(anyDouble(in), in.ConsumeIntegralInRange(0, 6), sep));
    case 1: return QString::fromStdString(numtext::formatGeneral(anyDouble(in), in.ConsumeIntegralInRange(1, 17), sep));
    default: return QString::fromUtf8(in.ConsumeRandomLengthString(24));
    }
}

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(w, k, mods); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzwin::startApplication("fuzz_calculator");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzzwin::Window& w = fuzzwin::Window::get(in.ConsumeBool() ? "de_DE" : "C");
    w.check("start");

    for (int step = 0; step < 48 && in.remaining_bytes() > 0; ++step) {
        const auto id = static_cast<InputId>(in.ConsumeIntegralInRange<std::size_t>(0, kInputCount - 1));
        TFloatSpinEdit* e = w.in(id);
        std::string what;
        switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0: { // keys typed after selecting all of the box or part of it
            const QString text = anyText(in, w.sep);
            what = "type \"" + str(text) + "\" into " + inputName(id);
            if (in.ConsumeBool()) e->selectAll();
            else e->setCursorPosition(in.ConsumeIntegralInRange(0, static_cast<int>(e->text().size())));
            for (QChar c : text) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(e, &press);
            }
            w.typedInto(id);
            break;
        }
        case 1: { // Backspace or Delete
            what = std::string("delete in ") + inputName(id);
            if (in.ConsumeBool()) e->selectAll();
            key(e, in.ConsumeBool() ? Qt::Key_Backspace : Qt::Key_Delete);
            w.typedInto(id);
            break;
        }
        case 2: { // a paste over all of the text or at the caret
            const QString clip = anyText(in, w.sep);
            what = "paste \"" + str(clip) + "\" into " + inputName(id);
            if (in.ConsumeBool()) e->selectAll();
            QGuiApplication::clipboard()->setText(clip);
            key(e, Qt::Key_V, Qt::ControlModifier);
            break;
        }
        case 3: { // steps by key and wheel
            const Qt::Key k = in.PickValueInArray({Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown});
            what = std::string("step key in ") + inputName(id);
            if (in.ConsumeBool()) {
                key(e, k);
            } else {
                const QPointF pos(e->width() / 2.0, e->height() / 2.0);
                QWheelEvent ev(pos, e->mapToGlobal(pos), QPoint(), QPoint(0, in.ConsumeIntegralInRange(-360, 360)),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(e, &ev);
            }
            break;
        }
        case 4: { // the focus leaves the box: the text is formatted again
            what = std::string("leave ") + inputName(id);
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(e, &out);
            break;
        }
        case 5:
            what = "click Analog mic";
            w.analog->click();
            break;
        case 6:
            what = "click Digital mic";
            w.digital->click();
            break;
        case 7: { // the left scale zoomed, panned or wheeled by the mouse
            TLevelDiagram* c = w->chart();
            what = "view change on the diagram";
            switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: c->zoomRows(in.ConsumeIntegralInRange(-2000, 2000), in.ConsumeIntegralInRange(-2000, 2000)); break;
            case 1: c->panRows(in.ConsumeIntegralInRange(-2000, 2000), in.ConsumeIntegralInRange(-2000, 2000)); break;
            case 2: c->wheelStep(in.ConsumeIntegralInRange(-5, 5)); break;
            default: c->restoreView(); break;
            }
            break;
        }
        case 8: { // a program write of any value, as preset loading writes
            const double v = anyDouble(in);
            what = "write " + numtext::formatGeneral(v, 17) + " into " + inputName(id);
            Calculator& calc = w->calculator();
            TMicParams mic = calc.currentMic();
            mic.MicDigital = calc.isDigital(); // the kind stays as chosen
            calc.loadMic(calc.fileMic(), mic, {{id, v}});
            break;
        }
        default: // the change operation run directly, with no sender
            what = "change operation with no sender";
            w->calculator().seMicMaxLevel_dBSPLChange(nullptr);
            break;
        }
        QCoreApplication::sendPostedEvents();
        w.check(what);
    }
    return 0;
}
