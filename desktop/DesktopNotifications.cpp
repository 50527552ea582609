#include "desktop/DesktopNotifications.h"

#include "desktop/DesktopLog.h"
#include "desktop/NotificationListener.h"
#include "desktop/NotificationText.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>
#include <algorithm>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString defaultActionKey = QStringLiteral("default");

QDBusMessage call(const QString& method)
{
    return QDBusMessage::createMethodCall(service, path, interface, method);
}
} // namespace

DesktopNotifications::DesktopNotifications(QString applicationName, QString desktopEntry,
                                           QDBusConnection bus)
    : m_applicationName(std::move(applicationName))
    , m_desktopEntry(std::move(desktopEntry))
    , m_bus(std::move(bus))
    , m_serverWatcher(
          new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    // Another server may announce other capabilities, and it numbers its notifications anew:
    // the old ids would match notifications that are not ours.
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_capabilitiesKnown = false;
        m_shown.clear();
    });
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

void DesktopNotifications::setListener(NotificationListener* listener)
{
    m_listener = listener;
}

void DesktopNotifications::notify(const DesktopNotification& notification)
{
    DesktopNotification prepared = notification;
    prepared.summary =
        NotificationText::displayed(prepared.summary, NotificationText::maxSummaryLength);
    prepared.body = NotificationText::displayed(prepared.body, NotificationText::maxBodyLength);
    if (m_listener && !m_listener->shouldPresentNotification(*this, prepared)) {
        qCDebug(lcDesktop) << "notification suppressed by its listener";
        return;
    }
    m_pending.append(prepared);
    if (m_capabilitiesKnown)
        sendPending();
    else if (!m_capabilitiesRequested)
        requestCapabilities();
}

void DesktopNotifications::requestCapabilities()
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
                    qCDebug(lcDesktop)
                        << "no notification server:" << m_pending.size() << "notifications dropped";
                    dropPending();
                    return;
                }
                m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
                m_actions = reply.value().contains(QStringLiteral("actions"));
                qCDebug(lcDesktop) << "notification server found; reads markup:" << m_bodyMarkup
                                   << "shows actions:" << m_actions;
                m_capabilitiesKnown = true;
                sendPending();
            });
}

void DesktopNotifications::sendPending()
{
    const QList<DesktopNotification> pending = std::exchange(m_pending, {});
    for (const DesktopNotification& notification : pending)
        send(notification);
}

void DesktopNotifications::dropPending()
{
    const auto dropped = std::exchange(m_pending, {}).size();
    for (qsizetype i = 0; i < dropped; ++i)
        Q_EMIT notificationDropped();
}

void DesktopNotifications::send(const DesktopNotification& notification)
{
    QVariantMap hints{{QStringLiteral("desktop-entry"), m_desktopEntry}};
    if (!notification.soundName.isEmpty())
        hints.insert(QStringLiteral("sound-name"), notification.soundName);
    // Alarm texts are plain text: a server that reads markup must not turn "<" or "&" into
    // tags or eat them.
    const QString body = m_bodyMarkup ? notification.body.toHtmlEscaped() : notification.body;
    // Offered only where the server shows actions; elsewhere the notification is as it was.
    const QStringList actions = m_actions && !notification.defaultAction.isEmpty()
                                    ? QStringList{defaultActionKey, notification.defaultAction}
                                    : QStringList();
    QDBusMessage notify = call(QStringLiteral("Notify"));
    notify << m_applicationName << quint32(0) << m_desktopEntry << notification.summary << body
           << actions << hints << qint32(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isError()) {
                    qCDebug(lcDesktop) << "notification refused by the server";
                    Q_EMIT notificationDropped();
                    return;
                }
                qCDebug(lcDesktop) << "notification shown as" << reply.value();
                DesktopNotification shown = notification;
                shown.id = reply.value();
                // The oldest go first: a server keeps only a few on screen anyway.
                if (m_shown.size() == maxShown)
                    m_shown.removeFirst();
                m_shown.append(shown);
                if (m_listener)
                    m_listener->didDeliverNotification(*this, shown);
            });
}

qsizetype DesktopNotifications::indexOfShown(quint32 id) const
{
    const auto found = std::find_if(m_shown.cbegin(), m_shown.cend(),
                                    [id](const DesktopNotification& n) { return n.id == id; });
    return found == m_shown.cend() ? -1 : found - m_shown.cbegin();
}

void DesktopNotifications::onActionInvoked(uint id, const QString& /*actionKey*/)
{
    // Every server sends the signal to all listeners; only our own ids are ours.
    const qsizetype index = indexOfShown(id);
    if (index >= 0 && m_listener)
        m_listener->didActivateNotification(*this, m_shown.at(index));
}

void DesktopNotifications::onNotificationClosed(uint id, uint /*reason*/)
{
    const qsizetype index = indexOfShown(id);
    if (index < 0)
        return;
    const DesktopNotification closed = m_shown.takeAt(index);
    if (m_listener)
        m_listener->didCloseNotification(*this, closed);
}
