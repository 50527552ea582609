#include "FakeNotificationServer.h"

#include <QDBusMessage>

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");

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
    m_notifications.append({m_nextId, summary, body, actions, hints});
    return m_nextId++;
}

void FakeNotificationServer::CloseNotification(quint32 id)
{
    closeNotification(id, 3);
}

void FakeNotificationServer::invokeAction(quint32 id, const QString& actionKey)
{
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
