// The real spin editor, offscreen, in either locale: typed keys (any
// character, the editing keys and shortcuts, Enter and Ctrl+Enter), pastes
// of any text, wheel notches, presses and holds of the step buttons, the
// focus leaving and coming back, and program writes of any value. After
// every event:
// - the value reads as a finite number, the one the text shows (read by an
//   independent reader of the number grammar and strtod);
// - a paste of up to 64 KiB gives the text it was checked as, whole, or
//   changes nothing when that text is not a number; a text over 32,767
//   characters, once the clip's outer blanks are dropped, is refused whole
//   with a beep;
// - a text the editor wrote itself (a step, a page step, the wheel, a button,
//   a paste, leaving the box, a program write) reads back as a finite number,
//   and after the focus left the box its text is empty or such a number;
// - the change event fired once for every change of the text, and never
//   when the text stayed as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "independent_number.h"
#include "invariants.h"
#include "widgets/floatspinedit.h"

namespace {

std::string str(const QString& s) { return s.toStdString(); }

double anyValue(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        const auto bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v; // NaN and infinities included
    }
    case 1: return in.ConsumeFloatingPointInRange(-1e6, 1e6);
    case 2: return static_cast<double>(in.ConsumeIntegralInRange(-300, 300)) / 10.0;
    default: return in.ConsumeFloatingPoint<double>();
    }
}

// Characters a user may type: digits, signs, separators of both locales,
// letters, blanks, control characters and digits of other scripts.
const char16_t kChars[] = {u'0', u'1', u'5', u'9', u'+', u'-', u'.', u',', u'/', u':', u'e', u'E', u'a', u' ',
                           u'\'', 0x0663 /* Arabic-Indic three */, 0x00B2 /* superscript two */, 0x00BD, 0x2167,
                           0xFF11 /* fullwidth one */, 0x00A0, 0x066B /* Arabic decimal */};

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
};
const Key kKeys[] = {
    {Qt::Key_Up, {}},          {Qt::Key_Down, {}},       {Qt::Key_PageUp, {}},         {Qt::Key_PageDown, {}},
    {Qt::Key_Return, {}},      {Qt::Key_Enter, {}},      {Qt::Key_Return, Qt::ControlModifier},
    {Qt::Key_Backspace, {}},   {Qt::Key_Delete, {}},     {Qt::Key_Home, {}},           {Qt::Key_End, {}},
    {Qt::Key_Left, {}},        {Qt::Key_Right, {}},      {Qt::Key_Left, Qt::ShiftModifier},
    {Qt::Key_Right, Qt::ShiftModifier},                  {Qt::Key_Home, Qt::ShiftModifier},
    {Qt::Key_A, Qt::ControlModifier},                    {Qt::Key_X, Qt::ControlModifier},
    {Qt::Key_C, Qt::ControlModifier},                    {Qt::Key_V, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier},                    {Qt::Key_Y, Qt::ControlModifier},
    {Qt::Key_Insert, Qt::ShiftModifier},                 {Qt::Key_Escape, {}},
};

QString randomText(FuzzedDataProvider& in, std::size_t max)
{
    if (in.ConsumeIntegralInRange(0, 3) == 0) { // a number of any magnitude, in the box's locale or not
        const double v = anyValue(in);
        return QString::number(v, "efg"[in.ConsumeIntegralInRange(0, 2)], in.ConsumeIntegralInRange(0, 20));
    }
    const std::string bytes = in.ConsumeRandomLengthString(max);
    return in.ConsumeBool() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

// The independent reader on the text as UTF-8: a character outside ASCII
// never matches a digit, a sign, a blank or the separator there either.
std::optional<double> independentParse(const QString& text, QChar sep)
{
    return ::independentParse(text.toStdString(), static_cast<char>(sep.unicode()));
}

// What the box must read for a text: blank (codes 0 to 32 only) reads 0,
// text that does not parse reads `fallback`.
double independentRead(const QString& text, QChar sep, double fallback)
{
    if (std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() <= 32; })) return 0.0;
    return independentParse(text, sep).value_or(fallback);
}

// One shown window for the whole run; every input gets a fresh editor in it.
QWidget* host()
{
    static QWidget* w = [] {
        auto* h = new QWidget; // never destroyed: at exit Qt's own statics may already be gone
        h->resize(300, 60);
        h->show();
        return h;
    }();
    return w;
}

class Run {
public:
    Run(FuzzedDataProvider& in, const QString& locale) : in_(in), edit_(new TFloatSpinEdit(host()))
    {
        QLocale::setDefault(QLocale(locale));
        sep_ = str(QLocale().decimalPoint());
        // The repeat timers never fire by themselves (a day's delay): holds
        // are driven by hand.
        edit_->setRepeatTimings(RepeatTimings{24 * 3600 * 1000, 24 * 3600 * 1000});
        edit_->beginLoad();
        edit_->setPrecision(in.ConsumeIntegralInRange(0, 6));
        edit_->setIncrementFloat(in.ConsumeBool() ? 0.1 : anyValue(in));
        edit_->setIncrementFloatPage(in.ConsumeBool() ? 1.0 : anyValue(in));
        edit_->setSigned(in.ConsumeBool());
        if (in.ConsumeIntegralInRange(0, 3) == 0) { // a range, mostly unchecked as in the window
            edit_->setMinFloatValue(anyValue(in));
            edit_->setMaxFloatValue(anyValue(in));
            edit_->setCheckMinValue(in.ConsumeBool());
            edit_->setCheckMaxValue(in.ConsumeBool());
        }
        edit_->setLabelPosition(spinlogic::lpRightCenter);
        edit_->setLabelCaption(QStringLiteral("caption"));
        edit_->setFloatValue(anyValue(in));
        edit_->setGeometry(4, 4, in.ConsumeIntegralInRange(1, 120), in.ConsumeIntegralInRange(1, 40));
        edit_->endLoad();
        edit_->show();
        edit_->setOnChange([this] { ++changes_; });
        check("start", true, 0);
    }
    ~Run() { delete edit_; }

    void event()
    {
        const QString before = edit_->text();
        changes_ = 0;
        texts_ = 0;
        const auto counter = QObject::connect(edit_, &QLineEdit::textChanged, [this] { ++texts_; });
        std::string what;
        bool written = true;  // the editor formats the text itself, or pastes a number
        bool formats = true;  // the text is written only when its formatted value differs
        switch (in_.ConsumeIntegralInRange(0, 9)) {
        case 0:
        case 1: { // a typed character
            const QChar c = in_.ConsumeBool() ? QChar(in_.PickValueInArray(kChars)) : QChar(in_.ConsumeIntegral<char16_t>());
            what = "type U+" + std::to_string(c.unicode());
            written = formats = false;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit_, &press);
            break;
        }
        case 2: { // an editing key or shortcut
            const Key k = in_.PickValueInArray(kKeys);
            what = "key " + str(QKeySequence(k.key | k.mods).toString());
            written = k.key == Qt::Key_Up || k.key == Qt::Key_Down || k.key == Qt::Key_PageUp ||
                      k.key == Qt::Key_PageDown || k.key == Qt::Key_Return;
            formats = written;
            QTest::keyClick(edit_, k.key, k.mods);
            break;
        }
        case 3: { // a paste of any text, up to 64 KiB long
            QString clip = randomText(in_, 40);
            if (in_.ConsumeIntegralInRange(0, 3) == 0) { // a long run of one character before a figure
                const QChar fill = in_.PickValueInArray({u'0', u' ', u'9', u'-', u'.'});
                if (in_.ConsumeBool()) clip = QString::number(in_.ConsumeIntegralInRange(0, 99));
                clip.prepend(QString(in_.ConsumeIntegralInRange(0, 65536), fill));
                if (in_.ConsumeBool()) clip.prepend(u'-');
                if (in_.ConsumeBool()) edit_->selectAll();
            }
            what = "paste \"" + str(clip.left(60)) + "\" (" + std::to_string(clip.size()) + " characters)";
            formats = false;
            // What the paste must give: the selection (or nothing, at the
            // caret) replaced by the clip, whole, when that reads as a number.
            const int at = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
            const int cut = edit_->hasSelectedText() ? static_cast<int>(edit_->selectedText().size()) : 0;
            // A box holds 32,767 characters at most: a clip that would make
            // more goes in without its outer blanks, or not at all.
            constexpr qsizetype kLimit = 32767;
            QString inserted = clip;
            if (before.size() - cut + inserted.size() > kLimit) {
                qsizetype first = 0, end = inserted.size();
                while (first < end && inserted[first] == u' ') ++first;
                while (end > first && inserted[end - 1] == u' ') --end;
                inserted = inserted.mid(first, end - first);
            }
            const bool fits = before.size() - cut + inserted.size() <= kLimit;
            const QString pasted = before.left(at) + inserted + before.mid(at + cut);
            const QChar sep = QLocale().decimalPoint().at(0);
            const bool number = fits && !inserted.isEmpty() && independentParse(pasted, sep).has_value();
            QGuiApplication::clipboard()->setText(clip);
            int beeps = 0;
            const QMetaObject::Connection counting =
                QObject::connect(edit_, &TFloatSpinEdit::beeped, [&beeps] { ++beeps; });
            QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
            QObject::disconnect(counting);
            FUZZ_CHECK(edit_->text() == (number ? pasted : before),
                       what + ": the box shows " + std::to_string(edit_->text().size()) + " characters, not the " +
                           (number ? "pasted text" : "text before"));
            FUZZ_CHECK(beeps == (fits ? 0 : 1), what + ": " + std::to_string(beeps) + " beeps");
            break;
        }
        case 4: { // the wheel
            const int delta = in_.ConsumeIntegralInRange(-480, 480);
            what = "wheel " + std::to_string(delta);
            const QPointF pos(edit_->width() / 2.0, edit_->height() / 2.0);
            QWheelEvent ev(pos, edit_->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
            QApplication::sendEvent(edit_, &ev);
            break;
        }
        case 5: { // a step button pressed, held for some repeats, released over it or elsewhere
            TRepeatButton* b = in_.ConsumeBool() ? edit_->buttons()->upButton() : edit_->buttons()->downButton();
            const int ticks = in_.ConsumeIntegralInRange(0, 4);
            const bool outside = in_.ConsumeBool();
            what = "button held for " + std::to_string(ticks) + " repeats";
            QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center());
            for (int i = 0; i < ticks; ++i) b->repeatTick();
            QTest::mouseRelease(b, Qt::LeftButton, {}, outside ? QPoint(-50, -50) : b->rect().center());
            break;
        }
        case 6: { // the caret and selection moved
            const int size = static_cast<int>(edit_->text().size());
            const int start = in_.ConsumeIntegralInRange(0, size);
            edit_->setSelection(start, in_.ConsumeIntegralInRange(-start, size - start));
            what = "select";
            written = formats = false;
            break;
        }
        case 7: { // the focus leaves the box (or the window) and comes back
            const auto reason = in_.PickValueInArray({Qt::TabFocusReason, Qt::MouseFocusReason,
                                                      Qt::ActiveWindowFocusReason, Qt::PopupFocusReason,
                                                      Qt::OtherFocusReason});
            what = "focus out and in, reason " + std::to_string(reason);
            QFocusEvent out(QEvent::FocusOut, reason);
            QApplication::sendEvent(edit_, &out);
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                const std::string t = str(edit_->text());
                FUZZ_CHECK(robust::inputTextProblem(t, sep_).empty(), "after leaving the box: \"" + t + "\"");
            }
            QFocusEvent back(QEvent::FocusIn, reason);
            QApplication::sendEvent(edit_, &back);
            break;
        }
        case 8: { // a program write, as the calculator does
            const double v = anyValue(in_);
            what = "write " + std::to_string(v);
            edit_->setFloatValue(v);
            break;
        }
        default: { // the text set as a whole (a typed or restored text)
            const QString t = randomText(in_, 24);
            what = "set text \"" + str(t) + "\"";
            written = formats = false;
            edit_->setText(t);
            break;
        }
        }
        QCoreApplication::sendPostedEvents(); // the step Ctrl+Enter queues
        QObject::disconnect(counter);
        const bool changed = edit_->text() != before;
        FUZZ_CHECK(changes_ == texts_, what + ": " + std::to_string(texts_) + " text changes raised " +
                                           std::to_string(changes_) + " change events");
        // A typed or pasted text may replace a selection by the same text; a
        // value written is written only when its text differs.
        if (changed) FUZZ_CHECK(changes_ >= 1, what + ": the text changed without a change event");
        else if (formats) FUZZ_CHECK(texts_ == 0 || texts_ >= 2, what + ": the text stayed, yet a change was raised");
        check(what, written, changed);
    }

private:
    void check(const std::string& what, bool written, bool changed) const
    {
        const QString text = edit_->text();
        const std::string where = what + " -> \"" + str(text) + "\"";
        const double v = edit_->floatValue();
        FUZZ_CHECK(std::isfinite(v), where + ": value not finite");
        const double expected = independentRead(text, QLocale().decimalPoint().at(0), edit_->minValue());
        FUZZ_CHECK(v == expected || (v == 0 && expected == 0),
                   where + ": value " + std::to_string(v) + " is not the text's " + std::to_string(expected));
        if (written && changed) {
            const std::string problem = robust::inputTextProblem(str(text), sep_);
            FUZZ_CHECK(problem.empty(), where + ": " + problem);
        }
    }

    FuzzedDataProvider& in_;
    TFloatSpinEdit* edit_;
    std::string sep_;
    int changes_ = 0;
    int texts_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_spinedit";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv); // never destroyed, as the host window
    (void)app;
    host();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Run run(in, in.ConsumeBool() ? QStringLiteral("de_DE") : QStringLiteral("C"));
    for (int n = 0; n < 64 && in.remaining_bytes() > 0; ++n) run.event();
    return 0;
}
