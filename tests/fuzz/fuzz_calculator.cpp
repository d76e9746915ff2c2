// The calculator as the window runs it: a fresh main window (offscreen, in
// either locale) and a random stream of what a user does to it: keys typed
// into any input, pastes of any text, steps by key, wheel and the step
// buttons, the focus leaving a box, clicks on the two kinds, zoom and pan
// with real mouse drags and the wheel on the diagram, window resizes, and
// program writes of any value. After every step the window's invariants
// hold (fuzz_window.h): handlers attached, nothing non-finite in the state,
// on screen or on the right axis, every box the program wrote readable as a
// finite number, and a well-formed result line. Besides:
// - the result line's levels agree with a recomputation from what the boxes
//   show (source, sensitivity, gain), within the boxes' rounding;
// - the painted diagram's texts are readable (no "nan", no figure of more
//   than 15 digits) and its overlay texts lie inside the plot, clear of the
//   labels, the side titles and each other;
// - a left drag of 16 pixels or less in either direction changes no range.
// No exception may escape.
#include <fuzzer/FuzzedDataProvider.h>

#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/micparams.h"
#include "numtext/numtext.h"
#include "fuzz_window.h"
#include "overlay_check.h"

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

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The figure of a result-line piece ("-60 dBu", "1.5E20 dBFS"), or nothing.
std::optional<double> figureOf(const std::string& piece, const std::string& sep)
{
    const std::size_t blank = piece.find(' ');
    return numtext::parseNumber(piece.substr(0, blank), sep);
}

// The pieces of a value run of the line: the text after `label` and its
// font tag up to "</FONT>", split at " / ".
std::vector<std::string> valuesAfter(const std::string& line, const std::string& label)
{
    const std::string open = label + "<FONT color=\"#FFFF80\">";
    const std::size_t from = line.find(open);
    if (from == std::string::npos) return {};
    const std::size_t start = from + open.size();
    const std::string run = line.substr(start, line.find("</FONT>", start) - start);
    std::vector<std::string> out;
    for (std::size_t a = 0;;) {
        const std::size_t b = run.find(" / ", a);
        out.push_back(run.substr(a, b == std::string::npos ? std::string::npos : b - a));
        if (b == std::string::npos) break;
        a = b + 3;
    }
    return out;
}

// The result line's levels recomputed from what the boxes show: the source
// level, the sensitivity in each unit the line shows (the dBu, dBV or dBFS
// box) and the gain. The boxes show one decimal of the figures the results
// used, so a level may differ by two boxes' rounding (0.05 each) besides the
// line's own (0.5). Skipped while one of these boxes is empty (the change
// operation skips an emptied box, so the line may still show the figure
// before) or a figure is beyond ordinary use.
void checkLineAgainstBoxes(fuzzwin::Window& w, const std::string& what)
{
    const bool digital = w.digital->isChecked();
    for (InputId id : {InputId::SourceLevel_dBSPL, InputId::AmpGain_dB, InputId::MicSens_dBu, InputId::MicSens_dBV,
                       InputId::MicSens_dBFS})
        if (w.in(id)->text().trimmed().isEmpty()) return;
    const double source = w.in(InputId::SourceLevel_dBSPL)->floatValue();
    const double gain = w.in(InputId::AmpGain_dB)->floatValue();
    const double dBu = w.in(InputId::MicSens_dBu)->floatValue(), dBV = w.in(InputId::MicSens_dBV)->floatValue();
    const double dBFS = w.in(InputId::MicSens_dBFS)->floatValue();
    for (double v : {source, gain, dBu, dBV, dBFS})
        if (!(std::fabs(v) < 1e5)) return;
    const double rise = source - conv::kSensRef_dBSPL; // from the sensitivity to the output
    const std::string line = str(w.result->htmlText().front());
    const auto agrees = [&](const std::vector<std::string>& pieces, std::size_t i, double expected, const char* name) {
        FUZZ_CHECK(i < pieces.size(), what + ": no " + name + " in " + line);
        const std::optional<double> shown = figureOf(pieces[i], w.sep);
        FUZZ_CHECK(shown.has_value(), what + ": " + name + " \"" + pieces[i] + "\" is no figure");
        FUZZ_CHECK(std::fabs(*shown - expected) <= 0.61 + 1e-9 * std::fabs(expected),
                   what + ": " + name + " reads " + pieces[i] + ", the boxes give " + std::to_string(expected));
    };
    agrees(valuesAfter(line, "At "), 0, source, "source level");
    const std::vector<std::string> mic = valuesAfter(line, "Mic out = ");
    const std::vector<std::string> amp = valuesAfter(line, "Amp out = ");
    if (digital) {
        agrees(mic, 0, dBFS + rise, "mic output in dBFS");
        agrees(amp, 0, dBFS + rise + gain, "amp output in dBFS");
    } else {
        agrees(mic, 1, dBu + rise, "mic output in dBu");
        agrees(mic, 2, dBV + rise, "mic output in dBV");
        agrees(amp, 1, dBu + rise + gain, "amp output in dBu");
        agrees(amp, 2, dBV + rise + gain, "amp output in dBV");
    }
}

// The diagram as painted: readable texts, overlays clear inside the plot.
void checkDiagram(TLevelDiagram* chart, const std::string& what)
{
    (void)chart->grab();
    const std::string problem = overlaycheck::problem(*chart);
    FUZZ_CHECK(problem.empty(), what + ": " + problem);
    for (const TOverlayText& t : chart->lastOverlayTexts()) {
        const std::string text = str(t.text);
        FUZZ_CHECK(!robust::showsNonFinite(text) && !robust::hasLongFigure(text), what + ": overlay text " + text);
    }
    for (const TAxisLayout& a : chart->lastLayout().axes)
        for (const TLabelItem& item : a.labels) {
            const std::string text = str(item.text);
            if (item.draw)
                FUZZ_CHECK(!robust::showsNonFinite(text) && !robust::hasLongFigure(text), what + ": label " + text);
        }
}

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
    // Shown, so that a resize lays the window out again; every input starts at the form's size.
    static const QSize formSize = w->size();
    w->resize(formSize);
    if (!w->isVisible()) w->show();
    QCoreApplication::processEvents();
    w.check("start");
    bool loaded = false; // a program write puts figures into boxes without recomputing

    for (int step = 0; step < 48 && in.remaining_bytes() > 0; ++step) {
        const auto id = static_cast<InputId>(in.ConsumeIntegralInRange<std::size_t>(0, kInputCount - 1));
        TFloatSpinEdit* e = w.in(id);
        std::string what;
        const int kind = in.ConsumeIntegralInRange(0, 10);
        const bool view = (kind >= 5 && kind <= 7) || kind == 9; // the kinds, the diagram, resizes
        switch (kind) {
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
        case 7: { // the diagram zoomed, panned or wheeled with the mouse
            TLevelDiagram* c = w->chart();
            const QPoint from(in.ConsumeIntegralInRange(-20, c->width() + 20),
                              in.ConsumeIntegralInRange(-20, c->height() + 20));
            const QPoint to = from + QPoint(in.ConsumeIntegralInRange(-400, 400), in.ConsumeIntegralInRange(-400, 400));
            const std::pair<double, double> left{c->LeftAxis().minimum(), c->LeftAxis().maximum()};
            const std::pair<double, double> right{c->RightAxis().minimum(), c->RightAxis().maximum()};
            switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
            case 1: { // left drag: zoom rightward, restore leftward, nothing within 16 pixels
                what = "left drag from " + std::to_string(from.x()) + "," + std::to_string(from.y()) + " to " +
                       std::to_string(to.x()) + "," + std::to_string(to.y());
                mouse(c, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
                mouse(c, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
                mouse(c, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
                const QPoint d = to - from;
                if (std::abs(d.x()) <= TScaleChart::kZoomMinDrag || std::abs(d.y()) <= TScaleChart::kZoomMinDrag) {
                    FUZZ_CHECK(left == std::make_pair(c->LeftAxis().minimum(), c->LeftAxis().maximum()) &&
                                   right == std::make_pair(c->RightAxis().minimum(), c->RightAxis().maximum()),
                               what + ": a drag of 16 pixels or less changed the view");
                } else if (d.x() < 0) {
                    FUZZ_CHECK(!c->hasSavedView(), what + ": a restore kept the saved view");
                }
                break;
            }
            case 2: { // right drag in a few moves: pan
                what = "right drag";
                mouse(c, QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
                for (int i = 1; i <= 3; ++i)
                    mouse(c, QEvent::MouseMove, from + (to - from) * i / 3, Qt::NoButton, Qt::RightButton);
                mouse(c, QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
                break;
            }
            default: { // the wheel over the diagram
                what = "wheel on the diagram";
                const QPointF pos(from);
                QWheelEvent ev(pos, c->mapToGlobal(pos), QPoint(), QPoint(0, in.ConsumeIntegralInRange(-600, 600)),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(c, &ev);
                break;
            }
            }
            break;
        }
        case 8: { // a program write of any value, as preset loading writes
            loaded = true;
            const double v = anyDouble(in);
            what = "write " + numtext::formatGeneral(v, 17) + " into " + inputName(id);
            Calculator& calc = w->calculator();
            TMicParams mic = calc.currentMic();
            mic.MicDigital = calc.isDigital(); // the kind stays as chosen
            calc.loadMic(calc.fileMic(), mic, {{id, v}});
            break;
        }
        case 9: { // a step button clicked, or the window resized
            if (in.ConsumeBool()) {
                TRepeatButton* b = in.ConsumeBool() ? e->buttons()->upButton() : e->buttons()->downButton();
                what = std::string("step button of ") + inputName(id);
                QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
            } else {
                const QSize size(in.ConsumeIntegralInRange(400, 2000), in.ConsumeIntegralInRange(300, 1400));
                what = "resize to " + std::to_string(size.width()) + "x" + std::to_string(size.height());
                w->resize(size);
                QCoreApplication::processEvents();
            }
            break;
        }
        default: // the change operation run directly, with no sender
            what = "change operation with no sender";
            w->calculator().seMicMaxLevel_dBSPLChange(nullptr);
            break;
        }
        QCoreApplication::sendPostedEvents();
        w.check(what);
        if (!loaded) checkLineAgainstBoxes(w, what);
        // A paint per step would cost more than the step: the diagram is
        // painted and checked after what moves its view and at the end.
        if (view) checkDiagram(w->chart(), what);
    }
    checkDiagram(w->chart(), "the end of the input");
    return 0;
}
