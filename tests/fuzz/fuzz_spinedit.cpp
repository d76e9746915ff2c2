// The spin editor's rules over random key and text sequences: the
// character filter, paste, sign toggle, steps and their caret rule, the
// wheel, the range clamp and the geometry helpers. The text of the box is
// driven as the widget drives it; after every action the selection lies in
// the text, the value reads as a finite number, an accepted paste gives a
// number, and a step leaves the value's text as the formatter writes it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "invariants.h"
#include "widgets/spinlogic.h"

using namespace spinlogic;

namespace {

const char16_t kKeys[] = {u'0', u'1', u'5', u'9', u'+',     u'-',     u'.',     u',',     u'/',     u':',
                          u'e', u'E', u'a', u' ', u'\b',    u'\x1b',  u'\r',    u'\n',    u'\t',    u'\x01',
                          0x0663 /* Arabic-Indic three */,   0x00B2 /* superscript two */, 0x00BD, 0x2167,
                          0xFF11 /* fullwidth one */,        u'\'',   u'\x7f',  0x00A0,   0x066B /* Arabic decimal */};

std::string str(const QString& s) { return s.toStdString(); }

struct Box {
    QString text;
    Selection sel;
    int precision = 1;
    Separators seps;
    QString decimal() const { return QString(seps.decimal); }

    void check(const char* what) const
    {
        const std::string where = std::string(what) + " on \"" + str(text) + "\"";
        FUZZ_CHECK(sel.start >= 0 && sel.length >= 0 && sel.start + sel.length <= text.size(), where + ": selection");
        FUZZ_CHECK(std::isfinite(readValue(text, decimal(), 0.0)), where + ": value");
    }

    // What the line edit does with an accepted character.
    void insert(QChar c)
    {
        text = text.left(sel.start) + c + text.mid(sel.start + sel.length);
        sel = {sel.start + 1, 0};
    }

    void step(double delta)
    {
        const double v = readValue(text, decimal(), 0.0) + delta;
        const QString next = formatValue(v, precision, decimal());
        FUZZ_CHECK(!robust::showsNonFinite(str(next)), str(next));
        FUZZ_CHECK(parses(next, decimal()), "a step wrote \"" + str(next) + "\"");
        sel = stepSelection(text, next, sel);
        text = next;
    }
};

QString randomText(FuzzedDataProvider& in, std::size_t max)
{
    const std::string bytes = in.ConsumeRandomLengthString(max);
    return in.ConsumeBool() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Box box;
    box.precision = in.ConsumeIntegralInRange(-1, 6);
    if (in.ConsumeBool()) {
        box.seps.decimal = u',';
        box.seps.thousands = u'.';
    }
    const double increment = in.ConsumeFloatingPointInRange(-1000.0, 1000.0);
    box.text = formatValue(in.ConsumeFloatingPointInRange(-1e6, 1e6), box.precision, box.decimal());
    box.sel = {0, static_cast<int>(box.text.size())};
    box.check("start");

    for (int n = 0; n < 200 && in.remaining_bytes() > 0; ++n) {
        switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0:
        case 1: { // a typed key
            const QChar c = in.ConsumeBool() ? QChar(in.PickValueInArray(kKeys)) : QChar(in.ConsumeIntegral<char16_t>());
            const auto typed = filterChar(c, box.text, box.sel, box.precision, box.seps);
            if (typed) {
                FUZZ_CHECK(*typed == c || (c == box.seps.thousands && *typed == box.seps.decimal), "filter changed a key");
                if (typed->unicode() >= 32) box.insert(*typed);
            }
            box.check("key");
            break;
        }
        case 2: { // a paste
            const QString clip = randomText(in, 24);
            if (const auto e = pasteEdit(box.text, box.sel, clip, box.decimal())) {
                FUZZ_CHECK(parses(e->text, box.decimal()), "pasted \"" + str(e->text) + "\"");
                box.text = e->text;
                box.sel = e->sel;
            }
            box.check("paste");
            break;
        }
        case 3: { // the minus key on a signed box
            const Edit e = toggleSign(box.text, box.sel);
            box.text = e.text;
            box.sel = e.sel;
            box.check("sign");
            break;
        }
        case 4:
            box.step(in.ConsumeBool() ? increment : -increment);
            box.check("step");
            break;
        case 5: { // caret moves and selections
            const int size = static_cast<int>(box.text.size());
            const int start = in.ConsumeIntegralInRange(0, size);
            box.sel = {start, in.ConsumeIntegralInRange(0, size - start)};
            break;
        }
        case 6: { // the wheel
            const WheelSteps w = wheelSteps(in.ConsumeIntegralInRange(-119, 119), in.ConsumeIntegral<int>());
            FUZZ_CHECK(std::abs(w.remainder) < kWheelUnit, "wheel remainder");
            if (w.steps != 0) box.step(increment * (w.steps > 0 ? 1 : -1));
            box.check("wheel");
            break;
        }
        case 7: { // Backspace / Delete as the line edit does them
            if (box.sel.length > 0) {
                box.text.remove(box.sel.start, box.sel.length);
                box.sel.length = 0;
            } else if (box.sel.start > 0) {
                box.text.remove(--box.sel.start, 1);
            }
            box.check("delete");
            break;
        }
        case 8: { // the range clamp
            Range r{in.ConsumeFloatingPointInRange(-1e6, 1e6), in.ConsumeFloatingPointInRange(-1e6, 1e6), in.ConsumeBool(),
                    in.ConsumeBool()};
            const double v = readValue(box.text, box.decimal(), 0.0);
            const double c = clampFloat(v, r, in.ConsumeBool());
            FUZZ_CHECK(std::isfinite(c), "clamp");
            break;
        }
        default: { // geometry of the buttons and the caption
            const QSize size(in.ConsumeIntegralInRange(0, 5000), in.ConsumeIntegralInRange(0, 5000));
            const ButtonGeometry g = buttonGeometry(size);
            FUZZ_CHECK(g.up.height() >= 0 && g.down.height() >= 0, "button heights");
            (void)scaledLabelMargin(in.ConsumeIntegralInRange(-100, 100), in.ConsumeIntegralInRange(-10, 1000));
            (void)captionTopLeft(QRect(0, 0, size.width(), size.height()),
                                 QSize(in.ConsumeIntegralInRange(0, 2000), in.ConsumeIntegralInRange(0, 200)),
                                 in.ConsumeIntegralInRange(-50, 50),
                                 static_cast<TLabelPosition>(in.ConsumeIntegralInRange(0, 14)));
            break;
        }
        }
    }
    return 0;
}
