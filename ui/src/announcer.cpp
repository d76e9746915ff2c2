#include "ui/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>

#include "text/widgetkit.h"

namespace {

constexpr const char* kVoiceProperty = "phonolithAnnouncement";

// A notification to a screen reader: Orca speaks "notification" and the
// name when one shows, focus or not.
QAccessibleInterface* voiceAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QWidget") && object && object->property(kVoiceProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

TAnnouncer::TAnnouncer(QWidget* host, std::size_t voices) : QObject(host)
{
    installAccessibleFactory(voiceAccessibleFactory);
    for (std::size_t i = 0; i < std::max<std::size_t>(voices, 1); ++i) {
        auto* v = new QWidget(host);
        v->setObjectName(QStringLiteral("Announcement%1").arg(i + 1));
        v->setProperty(kVoiceProperty, true);
        v->setFocusPolicy(Qt::NoFocus);
        v->hide();
        voices_.push_back(v);
    }
}

void TAnnouncer::announce(const QString& text)
{
    if (text.isEmpty()) return;
    QWidget* v = voices_[next_];
    next_ = (next_ + 1) % voices_.size();
    v->setAccessibleName(text);
    if (QAccessible::isActive()) {
        QAccessibleEvent shown(v, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    Q_EMIT announced(text, v);
}
