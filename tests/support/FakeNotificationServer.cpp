#include "FakeNotificationServer.h"

#include <QDBusArgument>
#include <QDBusMessage>

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");

namespace {

// The hint "image-data", (iiibiiay), when it holds 8-bit RGBA.
QImage imageOf(const QVariant& hint)
{
    if (!hint.canConvert<QDBusArgument>())
        return {};
    const QDBusArgument argument = hint.value<QDBusArgument>();
    int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
    bool alpha = false;
    QByteArray data;
    argument.beginStructure();
    argument >> width >> height >> stride >> alpha >> bits >> channels >> data;
    argument.endStructure();
    if (bits != 8 || channels != 4 || !alpha || data.size() < qsizetype(stride) * height)
        return {};
    return QImage(reinterpret_cast<const uchar*>(data.constData()), width, height, stride,
                  QImage::Format_RGBA8888)
        .copy();
}
} // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection bus, QStringList capabilities,
                                               QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_capabilities(std::move(capabilities))
{}

FakeNotificationServer::~FakeNotificationServer()
{
    QDBusConnection::disconnectFromBus(m_bus.name());
}

bool FakeNotificationServer::registerOnBus()
{
    return m_bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots) &&
           m_bus.registerService(serviceName);
}

QStringList FakeNotificationServer::summaries() const
{
    QStringList result;
    for (const Notification& notification : m_notifications)
        result.append(notification.summary);
    return result;
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

quint32 FakeNotificationServer::Notify(const QString& /*appName*/, quint32 /*replacesId*/,
                                       const QString& /*appIcon*/, const QString& summary,
                                       const QString& body, const QStringList& actions,
                                       const QVariantMap& hints, qint32 /*expireTimeout*/)
{
    m_notifications.append({m_nextId, summary, body, actions, hints,
                            imageOf(hints.value(QStringLiteral("image-data")))});
    return m_nextId++;
}

void FakeNotificationServer::CloseNotification(quint32 id)
{
    closeNotification(id, 3);
}

void FakeNotificationServer::invokeAction(quint32 id, const QString& actionKey,
                                          const QString& activationToken)
{
    if (!activationToken.isEmpty())
        emitSignal(QStringLiteral("ActivationToken"), {id, activationToken});
    emitSignal(QStringLiteral("ActionInvoked"), {id, actionKey});
}

void FakeNotificationServer::closeNotification(quint32 id, quint32 reason)
{
    emitSignal(QStringLiteral("NotificationClosed"), {id, reason});
}

void FakeNotificationServer::emitSignal(const QString& name, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(objectPath, serviceName, name);
    message.setArguments(arguments);
    m_bus.send(message);
}
