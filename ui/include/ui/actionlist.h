#pragma once
// The window's actions: caption, enabled and checked flags and an optional
// execute handler, with buttons, check boxes and menu items that follow them.
#include <QAction>
#include <QList>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QMenu;

class TAction : public QAction {
    Q_OBJECT
public:
    TAction(const QString& name, const QString& caption, QObject* parent);

    void setExecuteHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    bool hasExecuteHandler() const { return static_cast<bool>(handler_); }

    // Runs the handler; an enabled action without one becomes disabled.
    void execute();
    // An update request that nothing claims: an enabled action without a
    // handler becomes disabled.
    void update();

    // The control or menu item shows the caption and follows the enabled and
    // checked flags; activating it executes the action.
    void linkButton(QAbstractButton* button);
    QAction* linkMenuItem(QMenu* menu, const QString& itemName);

    const QList<QPointer<QAbstractButton>>& linkedButtons() const { return buttons_; }

private:
    void sync();
    std::function<void()> handler_;
    QList<QPointer<QAbstractButton>> buttons_;
    QList<QPointer<QAction>> items_;
};

// The list of actions, in stored order, and the update rule's two moments:
// when the application goes idle (actions linked to visible controls) and
// just before a menu opens (the actions of its items).
class TActionList : public QObject {
    Q_OBJECT
public:
    explicit TActionList(QObject* parent);
    TAction* add(const QString& name, const QString& caption);
    const QList<TAction*>& actions() const { return actions_; }

    // Ask for updates at every idle moment from now on.
    void watchIdle();
    void updateVisibleControls();
    void updateMenu(QMenu* menu);

private:
    QList<TAction*> actions_;
};
