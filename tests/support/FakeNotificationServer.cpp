#include "FakeNotificationServer.h"

#include <QDBusMessage>

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection bus, QStringList capabilities,
                                               QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_capabilities(std::move(capabilities))
{}

FakeNotificationServer::~FakeNotificationServer()
{
    unregisterFromBus();
}

bool FakeNotificationServer::registerOnBus()
{
    m_registered = m_bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots) &&
                   m_bus.registerService(serviceName);
    return m_registered;
}

void FakeNotificationServer::unregisterFromBus()
{
    if (!m_registered)
        return;
    m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(objectPath);
    m_registered = false;
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
    ++m_capabilityRequests;
    return m_capabilities;
}

quint32 FakeNotificationServer::Notify(const QString& appName, quint32 replacesId,
                                       const QString& appIcon, const QString& summary,
                                       const QString& body, const QStringList& actions,
                                       const QVariantMap& hints, qint32 expireTimeout)
{
    const quint32 id = m_nextId++;
    m_notifications.append(
        {id, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    Q_EMIT notified();
    return id;
}

void FakeNotificationServer::CloseNotification(quint32 id)
{
    closeNotification(id, 3);
}

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version,
                                                     QString& specVersion)
{
    vendor = QStringLiteral("tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake");
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
