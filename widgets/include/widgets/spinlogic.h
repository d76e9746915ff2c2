#pragma once
// The float spin editor's rules as plain functions: number text, range clamp,
// the typed-character filter, paste, sign toggle, caret after a step, wheel
// steps, and the geometry of the step buttons and of the caption. None of
// them needs a window.
#include <QChar>
#include <QLocale>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

#include <optional>

namespace spinlogic {

// The locale characters the filter knows.
struct Separators {
    QChar decimal = u'.';
    QChar thousands = u',';
    QChar date = u'/';
    QChar time = u':';
};

// Separators of `locale` (the date and time separators are taken from its
// short date and time formats).
Separators separatorsOf(const QLocale& locale);
// The first character of a date or time format that is not a field letter,
// a quote or a space; `fallback` when there is none.
QChar formatSeparator(const QString& format, QChar fallback);

// A selection, or the caret alone when length is 0.
struct Selection {
    int start = 0;
    int length = 0;
    bool operator==(const Selection&) const = default;
};

// Number text of v: fixed with `precision` decimals when precision > 0,
// general with 15 significant digits when 0, with 4 when negative.
QString formatValue(double v, int precision, const QString& decimal);
// The value a text shows: blank reads 0, unreadable text reads `fallback`.
double readValue(const QString& text, const QString& decimal, double fallback);
// Whether the whole text is a number by the input's grammar.
bool parses(const QString& text, const QString& decimal);

struct Range {
    double min = 0.0;
    double max = 0.0;
    bool checkMin = false;
    bool checkMax = false;
};
// The value after the range check: unchanged while loading or when both the
// bounds and the flags are equal; else the lower bound when checked and
// undershot, else the upper bound when checked and overshot.
double clampFloat(double v, const Range& r, bool loading);

// The typed-character filter: only what the number reader reads (the digits
// 0-9, the separators, the signs) and control characters pass. Returns the
// character to type (a thousands separator comes back as the decimal
// separator), or nothing when the character is refused and the box beeps.
std::optional<QChar> filterChar(QChar c, const QString& text, Selection sel, int precision,
                                 const Separators& seps);

// The most characters a box holds: a line edit's own default limit.
inline constexpr int kMaxTextLength = 32767;

// What a paste of `clip` over `sel` in `text` may insert so that the text
// stays within kMaxTextLength characters: the clip itself; when that is too
// long, the clip without its leading and trailing blanks (they change no
// number); nothing when even that is too long, and the paste is refused
// whole. Looks at the clip's ends only: a paste of megabytes costs no copy.
std::optional<QStringView> boundedClip(const QString& text, Selection sel, QStringView clip);

// The outcome of a paste: the new text and the selection after it.
struct Edit {
    QString text;
    Selection sel;
    bool operator==(const Edit&) const = default;
};
// The paste of `clip` into `text`: the selection replaced (and the inserted
// text then selected) or the clip inserted at the caret (the caret after it).
// Nothing when the clipboard is empty or the result is not a number.
std::optional<Edit> pasteEdit(const QString& text, Selection sel, const QString& clip, const QString& decimal);

// The minus key on a signed box: the leading "-" removed or added, the
// selection moved with the text and its length kept. With the whole text
// selected and beginning with "-", the minus stays and the digits after it
// become the selection, so that "-" and a figure typed over a selected
// negative figure keep it negative.
Edit toggleSign(const QString& text, Selection sel);

// The selection after a step turned oldText into newText: the start moves
// with a vanished or new "-"; a change of length selects to the end.
Selection stepSelection(const QString& oldText, const QString& newText, Selection old);

// The mouse wheel: one step per full 120 units, the remainder carried.
inline constexpr int kWheelUnit = 120;
struct WheelSteps {
    int steps = 0; // > 0 up, < 0 down
    int remainder = 0;
};
WheelSteps wheelSteps(int carried, int delta);

// Step buttons inside a box of the given outer size with a 2-pixel border.
// Rectangles are in client coordinates (origin inside the border); up and
// down are relative to the column.
inline constexpr int kBorder = 2;
inline constexpr int kButtonWidth = 15;
struct ButtonGeometry {
    QRect column;
    QRect up;
    QRect down;
    int textRight = 0; // the text area ends here (exclusive)
};
ButtonGeometry buttonGeometry(QSize box);

// Caption placements.
enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft,
    lpLeftTopLeft, lpLeftCenterLeft, lpLeftBottomLeft, lpTopCenter, lpBottomCenter,
    lpRightTop, lpRightCenter, lpRighBottom, lpTopRight, lpBottomRight,
};
// The margin in pixels: `margin` at 96 dpi, scaled by the height ratio of a
// 9-point font at other resolutions.
int scaledLabelMargin(int margin, int logicalDpi);
// Top-left corner of a caption of size `caption` beside the box `box` (both
// in the parent's coordinates).
QPoint captionTopLeft(const QRect& box, QSize caption, int margin, TLabelPosition pos);

} // namespace spinlogic
