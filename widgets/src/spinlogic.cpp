#include "widgets/spinlogic.h"

#include <algorithm>
#include <cmath>

#include "numtext/numtext.h"

namespace spinlogic {

QChar formatSeparator(const QString& format, QChar fallback)
{
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || c.isLetter() || c.isSpace()) continue;
        return c;
    }
    return fallback;
}

Separators separatorsOf(const QLocale& locale)
{
    Separators s;
    const QString dec = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (!dec.isEmpty()) s.decimal = dec.at(0);
    if (!group.isEmpty()) s.thousands = group.at(0);
    s.date = formatSeparator(locale.dateFormat(QLocale::ShortFormat), u'/');
    s.time = formatSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
    return s;
}

QString formatValue(double v, int precision, const QString& decimal)
{
    const std::string sep = decimal.toStdString();
    const std::string t = precision > 0    ? numtext::formatFixed(v, precision, sep)
                          : precision == 0 ? numtext::formatGeneral(v, 15, sep)
                                           : numtext::formatGeneral(v, 4, sep);
    return QString::fromStdString(t);
}

double readValue(const QString& text, const QString& decimal, double fallback)
{
    return numtext::readInputText(text.toStdString(), decimal.toStdString(), fallback);
}

bool parses(const QString& text, const QString& decimal)
{
    return numtext::parseNumber(text.toStdString(), decimal.toStdString()).has_value();
}

double clampFloat(double v, const Range& r, bool loading)
{
    if (loading || (r.min == r.max && r.checkMin == r.checkMax)) return v;
    if (r.checkMin && v < r.min) return r.min;
    if (r.checkMax && v > r.max) return r.max;
    return v;
}

namespace {

// Only the digits the number reader reads: "80²" must not type a figure that
// then reads as 0.
bool isAcceptedDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<QChar> filterChar(QChar c, const QString& text, Selection sel, int precision,
                                const Separators& seps)
{
    const char16_t u = c.unicode();
    const bool separator = c == seps.decimal || c == seps.thousands;
    const bool dateTime = c == seps.date || c == seps.time;

    // What may be typed at all: digits, signs, separators and control
    // characters other than carriage return.
    const bool control = u < 32 && u != 13;
    if (!(isAcceptedDigit(c) || c == u'+' || c == u'-' || separator || dateTime || control))
        return std::nullopt;
    // A date or time separator only where it doubles as a sign or separator.
    if (dateTime && !separator && c != u'+' && c != u'-') return std::nullopt;

    // Everything but Escape, carriage return and Backspace: a thousands
    // separator types as the decimal one; a second decimal separator (or any
    // at precision 0) is refused unless it replaces the whole text; and with
    // nothing selected, a character typed after the separator is refused once
    // the fraction holds `precision` digits.
    if (u == 27 || u == 13 || u == 8) return c;
    if (c == seps.thousands) c = seps.decimal;
    const int decPos = text.indexOf(seps.decimal) + 1; // 1-based, 0 when absent
    if (c == seps.decimal) {
        const bool wholeSelected = sel.start == 0 && sel.length == text.size();
        if (!wholeSelected && (decPos > 0 || precision == 0)) return std::nullopt;
    }
    if (precision > 0 && decPos > 0 && sel.length == 0 && sel.start >= decPos
        && text.size() >= precision + decPos)
        return std::nullopt;
    return c;
}

std::optional<Edit> pasteEdit(const QString& text, Selection sel, const QString& clip, const QString& decimal)
{
    if (clip.isEmpty()) return std::nullopt;
    const int start = std::clamp(sel.start, 0, static_cast<int>(text.size()));
    const int length = std::clamp(sel.length, 0, static_cast<int>(text.size()) - start);
    Edit e;
    e.text = text.left(start) + clip + text.mid(start + length);
    if (!parses(e.text, decimal)) return std::nullopt;
    const int n = static_cast<int>(clip.size());
    e.sel = length > 0 ? Selection{start, n} : Selection{start + n, 0};
    return e;
}

std::optional<QStringView> boundedClip(const QString& text, Selection sel, QStringView clip)
{
    const qsizetype start = std::clamp<qsizetype>(sel.start, 0, text.size());
    const qsizetype kept = text.size() - std::clamp<qsizetype>(sel.length, 0, text.size() - start);
    if (kept + clip.size() <= kMaxTextLength) return clip;
    // Only the space is a blank to the number reader.
    while (!clip.isEmpty() && clip.front() == u' ') clip = clip.sliced(1);
    while (!clip.isEmpty() && clip.back() == u' ') clip.chop(1);
    if (kept + clip.size() <= kMaxTextLength) return clip;
    return std::nullopt;
}

Edit toggleSign(const QString& text, Selection sel)
{
    Edit e;
    if (text.startsWith(u'-') && sel.start == 0 && sel.length == text.size()) {
        // Typing a negative figure over a selected negative one: the minus
        // stays and the digits after it are selected for the figure typed next.
        e.text = text;
        e.sel = {1, static_cast<int>(text.size()) - 1};
        return e;
    }
    if (text.startsWith(u'-')) {
        e.text = text.mid(1);
        e.sel = {std::max(0, sel.start - 1), sel.length};
    } else {
        e.text = u'-' + text;
        e.sel = {sel.start + 1, sel.length};
    }
    e.sel.start = std::min(e.sel.start, static_cast<int>(e.text.size()));
    // The selection runs at most to the end of the text.
    e.sel.length = std::min(e.sel.length, static_cast<int>(e.text.size()) - e.sel.start);
    return e;
}

Selection stepSelection(const QString& oldText, const QString& newText, Selection old)
{
    Selection s = old;
    const bool hadMinus = oldText.contains(u'-');
    const bool hasMinus = newText.contains(u'-');
    if (hadMinus && !hasMinus) --s.start;
    else if (!hadMinus && hasMinus) ++s.start;
    s.start = std::clamp(s.start, 0, static_cast<int>(newText.size()));
    if (newText.size() != oldText.size()) s.length = static_cast<int>(newText.size());
    // The selection runs at most to the end of the text.
    s.length = std::clamp(s.length, 0, static_cast<int>(newText.size()) - s.start);
    return s;
}

WheelSteps wheelSteps(int carried, int delta)
{
    const long long sum = static_cast<long long>(carried) + delta;
    WheelSteps w;
    w.steps = static_cast<int>(sum / kWheelUnit); // truncates toward zero
    w.remainder = static_cast<int>(sum % kWheelUnit);
    return w;
}

ButtonGeometry buttonGeometry(QSize box)
{
    ButtonGeometry g;
    const int clientWidth = box.width() - 2 * kBorder;
    const int h = std::max(0, box.height() - 4);
    g.column = QRect(box.width() - kButtonWidth - 3, 0, kButtonWidth, h);
    const int upHeight = std::max(0, (h + 2) / 2 - 1);
    g.up = QRect(0, 0, kButtonWidth, upHeight);
    g.down = QRect(0, upHeight, kButtonWidth, (h + 2) / 2);
    g.textRight = clientWidth - kButtonWidth - 2;
    return g;
}

int scaledLabelMargin(int margin, int logicalDpi)
{
    if (logicalDpi == 96 || logicalDpi <= 0) return margin;
    // Pixel heights of a 9-point font at the two resolutions.
    const int atScreen = static_cast<int>(std::lround(9.0 * logicalDpi / 72.0));
    const int at96 = 12;
    return static_cast<int>(std::lround(static_cast<double>(margin) * atScreen / at96));
}

QPoint captionTopLeft(const QRect& box, QSize caption, int margin, TLabelPosition pos)
{
    constexpr int d = 2; // the single border
    const int w = caption.width();
    const int h = caption.height();
    // Vertical centring beside the box, as the border sees it.
    const int centreTop = h < box.height() ? box.top() + (box.height() - d - h) / 2
                                           : box.top() - (h + d - box.height()) / 2;
    const int leftOf = box.left() - margin - w;
    const int rightOf = box.left() + box.width() + margin;
    const int above = box.top() - margin - h;
    const int below = box.top() + box.height() + margin;
    const int centreLeft = box.left() + (box.width() - w) / 2;
    const int rightAligned = box.left() + box.width() - w;
    switch (pos) {
    case lpLeftTop: return {leftOf, box.top()};
    case lpLeftCenter: return {leftOf, centreTop};
    case lpLeftBottom: return {leftOf, box.top() + box.height() - h};
    case lpTopLeft: return {box.left(), above};
    case lpBottomLeft: return {box.left(), below};
    case lpLeftTopLeft: return {box.left() - margin - w, box.top()};
    case lpLeftCenterLeft: return {box.left() - margin - w, centreTop};
    case lpLeftBottomLeft: return {box.left() - margin - w, box.top() + box.height() - h};
    case lpTopCenter: return {centreLeft, above};
    case lpBottomCenter: return {centreLeft, below};
    case lpRightTop: return {rightOf, box.top()};
    case lpRightCenter: return {rightOf, centreTop};
    case lpRighBottom: return {rightOf, box.top() + box.height() - h};
    case lpTopRight: return {rightAligned, above};
    case lpBottomRight: return {rightAligned, below};
    }
    return {rightOf, centreTop};
}

} // namespace spinlogic
