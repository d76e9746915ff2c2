#include "widgets/floatspineditaccessible.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QList>

#include "widgets/floatspinedit.h"
#include "text/widgetkit.h"
#include "widgets/spinlogic.h"

namespace spinaccess {

Range textUnit(int length, int offset, QAccessible::TextBoundaryType boundary, Where where)
{
    length = std::max(0, length);
    offset = std::clamp(offset, 0, length);
    if (boundary == QAccessible::CharBoundary) {
        switch (where) {
        case Where::Before: return offset > 0 ? Range{offset - 1, offset} : Range{0, 0};
        case Where::At: return offset < length ? Range{offset, offset + 1} : Range{length, length};
        case Where::After: return offset + 1 < length ? Range{offset + 1, offset + 2} : Range{length, length};
        }
    }
    // Word, sentence, paragraph, line and no boundary: the number is one unit.
    switch (where) {
    case Where::Before: return {0, 0};
    case Where::At: return {0, length};
    case Where::After: return {length, length};
    }
    return {};
}

} // namespace spinaccess

namespace {

using spinaccess::Range;
using spinaccess::Where;

class TFloatSpinEditAccessible : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface,
                                 public QAccessibleValueInterface {
public:
    explicit TFloatSpinEditAccessible(TFloatSpinEdit* e) : QAccessibleWidget(e, QAccessible::SpinBox) {}

    TFloatSpinEdit* edit() const { return static_cast<TFloatSpinEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        switch (t) {
        case QAccessible::TextInterface: return static_cast<QAccessibleTextInterface*>(this);
        case QAccessible::EditableTextInterface: return static_cast<QAccessibleEditableTextInterface*>(this);
        case QAccessible::ValueInterface: return static_cast<QAccessibleValueInterface*>(this);
        default: return QAccessibleWidget::interface_cast(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !edit()->isReadOnly();
        s.selectableText = true;
        s.readOnly = edit()->isReadOnly();
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return edit()->text();
        return QAccessibleWidget::text(t);
    }

    // The step buttons are part of the box, not controls of their own.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    // QAccessibleTextInterface
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index != 0 || !edit()->hasSelectedText()) return;
        *start = edit()->selectionStart();
        *end = *start + edit()->selectionLength();
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0) edit()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index != 0) return;
        const int n = characterCount();
        start = std::clamp(start, 0, n);
        end = std::clamp(end, 0, n);
        edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override
    {
        edit()->setCursorPosition(std::clamp(position, 0, characterCount()));
    }
    QString text(int start, int end) const override
    {
        const Range r = range(start, end);
        return edit()->text().mid(r.start, r.end - r.start);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override
    {
        return unit(offset, b, Where::Before, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override
    {
        return unit(offset, b, Where::At, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override
    {
        return unit(offset, b, Where::After, start, end);
    }
    int characterCount() const override { return static_cast<int>(edit()->text().size()); }
    QRect characterRect(int offset) const override
    {
        const int n = characterCount();
        if (offset < 0 || offset >= n) return QRect();
        const Layout& l = layout();
        const int x0 = l.caret.center().x() - l.places[l.cursor];
        const QRect r(QPoint(x0 + l.places[offset], l.caret.top()), QPoint(x0 + l.places[offset + 1] - 1, l.caret.bottom()));
        return QRect(edit()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint p = edit()->mapFromGlobal(point);
        if (!edit()->rect().contains(p)) return -1;
        // A null point asks the line edit for its caret instead.
        const QPointF at(p.x(), std::max(p.y(), 1));
        return edit()->inputMethodQuery(Qt::ImCursorPosition, at).toInt();
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    // One run without attributes of their own over the whole text.
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

    // QAccessibleEditableTextInterface: edits from a reader obey the rules of
    // the keyboard: a deletion always, an insertion only where it leaves a
    // number (as a paste does). Each is one change of the text.
    void deleteText(int start, int end) override
    {
        if (edit()->isReadOnly() || !edit()->isEnabled()) return;
        const Range r = range(start, end);
        if (r.start == r.end) return;
        QString t = edit()->text();
        t.remove(r.start, r.end - r.start);
        edit()->setText(t);
        edit()->setCursorPosition(r.start);
    }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        if (edit()->isReadOnly() || !edit()->isEnabled()) return;
        const Range r = range(start, end);
        const spinlogic::Selection sel{r.start, r.end - r.start};
        const std::optional<QStringView> bounded = spinlogic::boundedClip(edit()->text(), sel, text);
        if (!bounded) return; // longer than a box holds
        const QString piece = bounded->toString();
        const std::optional<spinlogic::Edit> e =
            spinlogic::pasteEdit(edit()->text(), sel, piece, TFloatSpinEdit::decimalSeparator());
        if (!e) return;
        if (e->text != edit()->text()) edit()->setText(e->text);
        edit()->setCursorPosition(r.start + static_cast<int>(piece.size()));
    }

    // QAccessibleValueInterface: the number as the box shows it.
    QVariant currentValue() const override { return edit()->floatValue(); }
    void setCurrentValue(const QVariant& v) override
    {
        bool ok = false;
        const double d = v.toDouble(&ok);
        // No key can enter NaN or an infinity: such a value changes nothing.
        if (ok && std::isfinite(d) && edit()->isEnabled() && !edit()->isReadOnly()) edit()->setFloatValue(d);
    }
    QVariant maximumValue() const override
    {
        return edit()->checkMaxValue() ? edit()->maxFloatValue() : std::numeric_limits<double>::max();
    }
    QVariant minimumValue() const override
    {
        return edit()->checkMinValue() ? edit()->minFloatValue() : std::numeric_limits<double>::lowest();
    }
    QVariant minimumStepSize() const override { return edit()->incrementFloat(); }

private:
    QString unit(int offset, QAccessible::TextBoundaryType b, Where where, int* start, int* end) const
    {
        const QString t = edit()->text();
        const Range r = spinaccess::textUnit(static_cast<int>(t.size()), offset, b, where);
        *start = r.start;
        *end = r.end;
        return t.mid(r.start, r.end - r.start);
    }
    Range range(int start, int end) const
    {
        const int n = characterCount();
        if (end < 0 || end > n) end = n;
        start = std::clamp(start, 0, end);
        return {start, end};
    }
    // Where the characters of the text stand: the x of every caret place from
    // the one before the first character, and the caret's rectangle in the
    // box. The places are measured once for each text and font; the caret,
    // whose place the line edit measures from the text's start, once for
    // each caret place and box size when the text is long. A range request
    // asks for every character in turn, and measuring each one anew would
    // cost the square of the text's length.
    struct Layout {
        QString text;
        QFont font;
        int cursor = 0;
        QSize size;
        QRect caret;
        QList<int> places;
    };
    const Layout& layout() const
    {
        const QString t = edit()->text();
        const QFont f = edit()->font();
        const int cursor = std::clamp(edit()->cursorPosition(), 0, static_cast<int>(t.size()));
        Layout& l = layout_;
        if (l.places.isEmpty() || t != l.text || f != l.font) {
            const QFontMetricsF fm(f);
            l.places.resize(t.size() + 1);
            qreal x = 0;
            l.places[0] = 0;
            for (qsizetype i = 0; i < t.size(); ++i) {
                x += fm.horizontalAdvance(t.at(i));
                l.places[i + 1] = qRound(x);
            }
            l.text = t;
            l.font = f;
            l.size = QSize(); // and the caret again
        }
        constexpr qsizetype kShortText = 256; // measured afresh: the scroll may have moved since
        if (t.size() <= kShortText || cursor != l.cursor || edit()->size() != l.size) {
            l.caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            l.cursor = cursor;
            l.size = edit()->size();
        }
        return l;
    }
    mutable Layout layout_;
};

} // namespace

void installFloatSpinEditAccessibility()
{
    installAccessibleFactory(accessibleFactory<TFloatSpinEdit, TFloatSpinEditAccessible>);
}
