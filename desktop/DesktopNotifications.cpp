#include "desktop/DesktopNotifications.h"

#include "desktop/DesktopLog.h"
#include "desktop/NotificationListener.h"
#include "desktop/NotificationText.h"

#include <QDBusArgument>
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

// The "image-data" hint: (iiibiiay) width, height, row stride, alpha, bits per sample, channels
// and the RGBA bytes.
QVariant imageData(const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument argument;
    argument.beginStructure();
    argument << rgba.width() << rgba.height() << static_cast<int>(rgba.bytesPerLine()) << true << 8
             << 4
             << QByteArray(reinterpret_cast<const char*>(rgba.constBits()), rgba.sizeInBytes());
    argument.endStructure();
    return QVariant::fromValue(argument);
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
    // the old ids would match notifications that are not ours. A server that comes (started by
    // the bus, late at login, or again) shows what waits.
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                m_capabilitiesKnown = false;
                m_shown.clear();
                if (newOwner.isEmpty())
                    return;
                ++m_serverArrivals;
                if (!m_undelivered.isEmpty())
                    deliverWaiting();
            });
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("ActivationToken"), this,
                  SLOT(onActivationToken(uint, QString)));
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
    m_pending.append({prepared, 0, ++m_raised});
    if (m_pending.size() > maxPending)
        m_undelivered.append(m_pending.takeFirst());
    deliverWaiting();
}

void DesktopNotifications::deliverWaiting()
{
    if (m_capabilitiesKnown)
        sendWaiting();
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
                    // Sent all the same, as plain text without actions: a server may have come
                    // since, and the bus may start one for the call.
                    qCDebug(lcDesktop) << "no notification server answered; sending anyway";
                    m_bodyMarkup = false;
                    m_actions = false;
                    sendWaiting();
                    return;
                }
                m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
                m_actions = reply.value().contains(QStringLiteral("actions"));
                qCDebug(lcDesktop) << "notification server found; reads markup:" << m_bodyMarkup
                                   << "shows actions:" << m_actions;
                m_capabilitiesKnown = true;
                sendWaiting();
            });
}

void DesktopNotifications::sendWaiting()
{
    // The undelivered are the older ones.
    for (const NotificationQueue::Entry& entry : m_undelivered.takeAll())
        send(entry);
    for (const NotificationQueue::Entry& entry : std::exchange(m_pending, {}))
        send(entry);
}

void DesktopNotifications::send(const NotificationQueue::Entry& entry)
{
    const DesktopNotification& notification = entry.notification;
    QVariantMap hints{
        {QStringLiteral("desktop-entry"), m_desktopEntry},
        {QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(notification.urgency))}};
    if (!notification.soundName.isEmpty())
        hints.insert(QStringLiteral("sound-name"), notification.soundName);
    if (!notification.image.isNull())
        hints.insert(QStringLiteral("image-data"), imageData(notification.image));
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
            [this, entry, arrivals = m_serverArrivals](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isError()) {
                    qCDebug(lcDesktop) << "notification not shown (" << reply.error().name()
                                       << "): it waits for a notification server";
                    m_undelivered.putBack(entry);
                    Q_EMIT notificationWaiting();
                    // A server came while the call was on its way: this one is not waiting
                    // for the next.
                    if (arrivals != m_serverArrivals)
                        deliverWaiting();
                    return;
                }
                qCDebug(lcDesktop) << "notification shown as" << reply.value();
                DesktopNotification shown = entry.notification;
                shown.id = reply.value();
                shown.image = QImage(); // the server has it; a hundred kept would weigh a megabyte
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
    if (index < 0)
        return;
    // A token serves one click.
    const DesktopNotification clicked = m_shown.at(index);
    m_shown[index].activationToken.clear();
    if (m_listener)
        m_listener->didActivateNotification(*this, clicked);
}

void DesktopNotifications::onActivationToken(uint id, const QString& token)
{
    // Sent just before ActionInvoked, for the window that the click will bring up.
    const qsizetype index = indexOfShown(id);
    if (index >= 0 && token.size() <= maxActivationTokenLength)
        m_shown[index].activationToken = token;
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
