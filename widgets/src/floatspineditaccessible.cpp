#include "widgets/floatspineditaccessible.h"

#include <algorithm>
#include <limits>

#include <QAccessibleWidget>
#include <QFontMetrics>

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
        const QRect r(QPoint(xAt(offset), caretRect().top()), QPoint(xAt(offset + 1) - 1, caretRect().bottom()));
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
        const std::optional<spinlogic::Edit> e = spinlogic::pasteEdit(
            edit()->text(), {r.start, r.end - r.start}, text, TFloatSpinEdit::decimalSeparator());
        if (!e) return;
        if (e->text != edit()->text()) edit()->setText(e->text);
        edit()->setCursorPosition(r.start + static_cast<int>(text.size()));
    }

    // QAccessibleValueInterface: the number as the box shows it.
    QVariant currentValue() const override { return edit()->floatValue(); }
    void setCurrentValue(const QVariant& v) override
    {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok && edit()->isEnabled() && !edit()->isReadOnly()) edit()->setFloatValue(d);
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
    QRect caretRect() const { return edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect(); }
    // The x of the caret place before character `pos`, in the box.
    int xAt(int pos) const
    {
        const QString t = edit()->text();
        const QFontMetrics fm = edit()->fontMetrics();
        const int cursor = edit()->cursorPosition();
        return caretRect().center().x() + fm.horizontalAdvance(t.left(pos)) - fm.horizontalAdvance(t.left(cursor));
    }
};

} // namespace

void installFloatSpinEditAccessibility()
{
    installAccessibleFactory(accessibleFactory<TFloatSpinEdit, TFloatSpinEditAccessible>);
}
