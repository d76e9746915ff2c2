#include "ui/atspiguard.h"

#include <algorithm>

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QPointer>
#include <QTimer>

namespace {

// The offsets a range request keeps for a text of `length` characters:
// both within 0..length, an end of -1 standing for the text's end.
struct Offsets {
    int start = 0;
    int end = 0;
};

Offsets clampRange(int start, int end, int length)
{
    length = std::max(0, length);
    if (end == -1) end = length; // the end of the text, as the bridge reads it
    return {std::clamp(start, 0, length), std::clamp(end, 0, length)};
}

// Where Qt's bridge lives: its connection to the accessibility bus and the
// path under which it answers for every accessible object.
const QString kConnectionName = QStringLiteral("a11y");
const QString kObjectsPath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kObjectPathPrefix = kObjectsPath + u'/';

// One range of GetBoundedRanges' answer, (iisv): start, end, text, value.
struct TextRange {
    int start = 0;
    int end = 0;
    QString text;
    QDBusVariant value;
};
using TextRanges = QList<TextRange>;

QDBusArgument& operator<<(QDBusArgument& arg, const TextRange& r)
{
    arg.beginStructure();
    arg << r.start << r.end << r.text << r.value;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, TextRange& r)
{
    arg.beginStructure();
    arg >> r.start >> r.end >> r.text >> r.value;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(TextRange)

namespace {

// The accessible object a request is addressed to, by the bridge's paths
// ("/org/a11y/atspi/accessible/<id>"); null for the application root and
// for paths that name no object.
QAccessibleInterface* objectAt(const QString& path)
{
    if (!path.startsWith(kObjectPathPrefix)) return nullptr;
    bool ok = false;
    const uint id = QStringView(path).sliced(kObjectPathPrefix.size()).toUInt(&ok);
    return ok ? QAccessible::accessibleInterface(id) : nullptr;
}

class RangeGuard : public QDBusVirtualObject {
public:
    RangeGuard(QDBusVirtualObject* bridge, QObject* parent) : QDBusVirtualObject(parent), bridge_(bridge)
    {
        qDBusRegisterMetaType<TextRange>();
        qDBusRegisterMetaType<TextRanges>();
    }

    QString introspect(const QString& path) const override { return bridge_ ? bridge_->introspect(path) : QString(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (!bridge_) return false;
        const bool textCall = message.type() == QDBusMessage::MethodCallMessage
                              && message.interface() == QLatin1String("org.a11y.atspi.Text");
        if (textCall && message.member() == QLatin1String("GetBoundedRanges")) {
            // The bridge has no answer of its own: it fails to send the
            // empty list it means, and the client waits for its timeout.
            connection.send(message.createReply(QVariant::fromValue(TextRanges())));
            return true;
        }
        if (textCall && message.member() == QLatin1String("GetRangeExtents") && message.arguments().size() == 3) {
            QAccessibleInterface* object = objectAt(message.path());
            QAccessibleTextInterface* text = object ? object->textInterface() : nullptr;
            if (text) {
                QList<QVariant> args = message.arguments();
                const Offsets o = clampRange(args[0].toInt(), args[1].toInt(), text->characterCount());
                args[0] = o.start;
                args[1] = o.end;
                // The bridge reads the arguments of the message it is given
                // and answers it: a copy with the offsets cut answers the request.
                QDBusMessage cut = message;
                cut.setArguments(args);
                return bridge_->handleMessage(cut, connection);
            }
        }
        return bridge_->handleMessage(message, connection);
    }

private:
    QPointer<QDBusVirtualObject> bridge_;
};

// Puts the guard in front of the bridge once the bridge has registered on
// the accessibility bus; does nothing before, or when it already stands.
void placeGuard()
{
    QDBusConnection bus(kConnectionName);
    if (!bus.isConnected()) return;
    QObject* registered = bus.objectRegisteredAt(kObjectsPath);
    auto* bridge = qobject_cast<QDBusVirtualObject*>(registered);
    if (!bridge || dynamic_cast<RangeGuard*>(registered)) return;
    auto* guard = new RangeGuard(bridge, bridge);
    bus.unregisterObject(kObjectsPath);
    if (!bus.registerVirtualObject(kObjectsPath, guard, QDBusConnection::SubPath)) {
        // Put the bridge back as it was.
        bus.registerVirtualObject(kObjectsPath, bridge, QDBusConnection::SubPath);
        delete guard;
    }
}

// The bridge turns accessibility on, then registers its object: the guard
// is placed just after, from the event loop.
class Observer : public QAccessible::ActivationObserver {
public:
    Observer() { QAccessible::installActivationObserver(this); }
    void accessibilityActiveChanged(bool active) override
    {
        if (active) QTimer::singleShot(0, qApp, placeGuard);
    }
};

} // namespace

void installAtSpiGuard()
{
    static Observer observer; // installed once, with its first use
    if (QAccessible::isActive()) QTimer::singleShot(0, qApp, placeGuard);
}
