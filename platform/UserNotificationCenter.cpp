#include "UserNotificationCenter.h"

#include "UserNotificationCenterDelegate.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString defaultAction = QStringLiteral("default");

QDBusMessage call(const QString& method)
{
    return QDBusMessage::createMethodCall(service, path, interface, method);
}
} // namespace

UserNotificationCenter::UserNotificationCenter(QString desktopEntry, QDBusConnection bus)
    : m_desktopEntry(std::move(desktopEntry))
    , m_bus(std::move(bus))
    , m_serverWatcher(
          new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    // Another server may announce other capabilities.
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this] { m_capabilitiesKnown = false; });
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

UserNotificationCenter& UserNotificationCenter::defaultCenter()
{
    // Never destroyed: completions of calls in flight may still arrive at exit.
    static auto* center = new UserNotificationCenter(QGuiApplication::desktopFileName(),
                                                     QDBusConnection::sessionBus());
    return *center;
}

void UserNotificationCenter::setDelegate(UserNotificationCenterDelegate* delegate)
{
    m_delegate = delegate;
}

void UserNotificationCenter::deliverNotification(const UserNotification& notification)
{
    if (m_delegate && !m_delegate->shouldPresentNotification(*this, notification))
        return;
    m_pending.append(notification);
    if (m_capabilitiesKnown)
        sendPending();
    else if (!m_capabilitiesRequested)
        requestCapabilities();
}

void UserNotificationCenter::requestCapabilities()
{
    m_capabilitiesRequested = true;
    auto* watcher =
        new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                m_capabilitiesRequested = false;
                const QDBusPendingReply<QStringList> reply = *finished;
                if (reply.isError()) {
                    dropPending();
                    return;
                }
                m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
                m_capabilitiesKnown = true;
                sendPending();
            });
}

void UserNotificationCenter::sendPending()
{
    const QList<UserNotification> pending = std::exchange(m_pending, {});
    for (const UserNotification& notification : pending)
        send(notification);
}

void UserNotificationCenter::dropPending()
{
    const auto dropped = std::exchange(m_pending, {}).size();
    for (qsizetype i = 0; i < dropped; ++i)
        Q_EMIT notificationDropped();
}

void UserNotificationCenter::send(const UserNotification& notification)
{
    QVariantMap hints{{QStringLiteral("desktop-entry"), m_desktopEntry}};
    if (!notification.soundName.isEmpty())
        hints.insert(QStringLiteral("sound-name"), notification.soundName);
    // Alarm texts are plain text: a server that reads markup must not turn "<" or "&" into
    // tags or eat them.
    const QString body =
        m_bodyMarkup ? notification.informativeText.toHtmlEscaped() : notification.informativeText;
    QDBusMessage notify = call(QStringLiteral("Notify"));
    notify << QGuiApplication::applicationDisplayName() << quint32(0) << m_desktopEntry
           << notification.title << body << QStringList{defaultAction, QStringLiteral("Open")}
           << hints << qint32(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isError()) {
                    Q_EMIT notificationDropped();
                    return;
                }
                UserNotification shown = notification;
                shown.identifier = reply.value();
                m_shown.insert(shown.identifier, shown);
                if (m_delegate)
                    m_delegate->didDeliverNotification(*this, shown);
            });
}

void UserNotificationCenter::onActionInvoked(uint id, const QString& /*actionKey*/)
{
    // Every server sends the signal to all listeners; only our own ids are ours.
    const auto shown = m_shown.constFind(id);
    if (shown != m_shown.cend() && m_delegate)
        m_delegate->didActivateNotification(*this, *shown);
}

void UserNotificationCenter::onNotificationClosed(uint id, uint /*reason*/)
{
    const UserNotification closed = m_shown.take(id);
    if (closed.identifier != 0 && m_delegate)
        m_delegate->didCloseNotification(*this, closed);
}
