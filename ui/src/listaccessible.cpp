#include "ui/listaccessible.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

#include "text/widgetkit.h"
#include "widgets/floatspineditaccessible.h"

namespace {

constexpr const char* kReadableProperty = "phonolithReadableList";

class ReadableListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadableListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        // The name stays the current text, as Qt's: a reader speaks the new
        // item when the name of the focused list changes. An empty list
        // answers its accessible name.
        if ((t == QAccessible::Name || t == QAccessible::Value) && !list()->currentText().isEmpty())
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The drop-down's item view, as Qt's list has it.
    int childCount() const override { return list()->view() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name != showMenuAction() && name != pressAction()) return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // QAccessibleTextInterface: the current item, read-only, one unit.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override
    {
        const int n = characterCount();
        if (end < 0 || end > n) end = n;
        start = std::clamp(start, 0, end);
        return list()->currentText().mid(start, end - start);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override
    {
        return unit(offset, b, spinaccess::Where::Before, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override
    {
        return unit(offset, b, spinaccess::Where::At, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override
    {
        return unit(offset, b, spinaccess::Where::After, start, end);
    }
    int characterCount() const override { return static_cast<int>(list()->currentText().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
    QString unit(int offset, QAccessible::TextBoundaryType b, spinaccess::Where where, int* start, int* end) const
    {
        const QString t = list()->currentText();
        const spinaccess::Range r = spinaccess::textUnit(static_cast<int>(t.size()), offset, b, where);
        *start = r.start;
        *end = r.end;
        return t.mid(r.start, r.end - r.start);
    }
};

QAccessibleInterface* readableListFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QComboBox") && object && object->property(kReadableProperty).toBool())
        return new ReadableListAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

} // namespace

void makeListReadable(QComboBox* list)
{
    installAccessibleFactory(readableListFactory);
    list->setProperty(kReadableProperty, true);
}
