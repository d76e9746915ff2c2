#pragma once
// Records what the window announces to a screen reader, in order, with the
// object that says each text.
#include <QAccessible>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

#include "ui/announcer.h"

class Announcements {
public:
    explicit Announcements(TAnnouncer& announcer)
    {
        connection_ = QObject::connect(&announcer, &TAnnouncer::announced,
                                       [this](const QString& text, QWidget* voice) { heard_.push_back({voice, text}); });
    }
    ~Announcements() { QObject::disconnect(connection_); }
    Announcements(const Announcements&) = delete;
    Announcements& operator=(const Announcements&) = delete;

    QStringList texts() const
    {
        QStringList t;
        for (const Heard& h : heard_) t << h.text;
        return t;
    }
    // What a reader that fetches each name only when it gets to the event
    // reads: each text's object is a notification that still holds it.
    bool readableLater() const
    {
        for (const Heard& h : heard_) {
            QAccessibleInterface* a = h.voice ? QAccessible::queryAccessibleInterface(h.voice) : nullptr;
            if (!a || a->role() != QAccessible::Notification || a->text(QAccessible::Name) != h.text) return false;
        }
        return true;
    }
    void clear() { heard_.clear(); }

private:
    struct Heard {
        QPointer<QWidget> voice;
        QString text;
    };
    std::vector<Heard> heard_;
    QMetaObject::Connection connection_;
};
