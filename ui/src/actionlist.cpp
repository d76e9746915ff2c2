#include "ui/actionlist.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QMenu>
#include <QTimer>

#include <algorithm>

TAction::TAction(const QString& name, const QString& caption, QObject* parent) : QAction(caption, parent)
{
    setObjectName(name);
    connect(this, &QAction::triggered, this, [this] { execute(); });
    connect(this, &QAction::changed, this, [this] { sync(); });
}

void TAction::execute()
{
    if (handler_)
        handler_();
    else
        update();
}

void TAction::update()
{
    if (isEnabled() && !handler_) setEnabled(false);
}

void TAction::linkButton(QAbstractButton* button)
{
    buttons_.append(button);
    connect(button, &QAbstractButton::clicked, this, [this, button] {
        if (isEnabled()) execute();
        // A linked check box shows the action's checked flag, not its own click.
        if (button->isCheckable()) button->setChecked(isChecked());
    });
    sync();
}

QAction* TAction::linkMenuItem(QMenu* menu, const QString& itemName)
{
    auto* item = new QAction(text(), menu);
    item->setObjectName(itemName);
    item->setProperty("phonolithAction", QVariant::fromValue<QObject*>(this));
    connect(item, &QAction::triggered, this, [this] {
        if (isEnabled()) execute();
    });
    menu->addAction(item);
    items_.append(item);
    sync();
    return item;
}

void TAction::sync()
{
    for (const auto& b : buttons_) {
        if (!b) continue;
        b->setText(text());
        b->setEnabled(isEnabled());
        if (b->isCheckable()) b->setChecked(isChecked());
    }
    for (const auto& item : items_) {
        if (!item) continue;
        item->setText(text());
        item->setEnabled(isEnabled());
        item->setCheckable(isCheckable());
        item->setChecked(isChecked());
    }
}

TActionList::TActionList(QObject* parent) : QObject(parent) { setObjectName("ActionList1"); }

TAction* TActionList::add(const QString& name, const QString& caption)
{
    auto* a = new TAction(name, caption, this);
    actions_.append(a);
    return a;
}

void TActionList::watchIdle()
{
    // A zero timer runs once the queued events are handled: the first idle moment.
    QTimer::singleShot(0, this, &TActionList::updateVisibleControls);
    if (auto* d = QAbstractEventDispatcher::instance(thread()))
        connect(d, &QAbstractEventDispatcher::aboutToBlock, this, &TActionList::updateVisibleControls);
}

void TActionList::updateVisibleControls()
{
    for (TAction* a : actions_) {
        if (!a->isEnabled() || a->hasExecuteHandler()) continue; // the rule would change nothing
        const auto& buttons = a->linkedButtons();
        if (std::any_of(buttons.begin(), buttons.end(), [](const auto& b) { return b && b->isVisible(); })) a->update();
    }
}

void TActionList::updateMenu(QMenu* menu)
{
    for (QAction* item : menu->actions())
        if (auto* a = qobject_cast<TAction*>(item->property("phonolithAction").value<QObject*>())) a->update();
}
