#pragma once
// Desktop notifications through org.freedesktop.Notifications on the session bus. Every bus
// call is asynchronous, so a slow or missing notification server never blocks the caller; with
// no server a notification is dropped quietly. Notifications are sent in the order delivered,
// their texts prepared for display (NotificationText).

#include "desktop/DesktopNotification.h"

#include <QDBusConnection>
#include <QList>
#include <QObject>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class NotificationListener;

class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    // How many shown notifications are remembered for the server's signals.
    static constexpr qsizetype maxShown = 100;

    // `applicationName` is what the server shows as the sender; `desktopEntry` names the
    // program's desktop file (hint "desktop-entry") and icon.
    DesktopNotifications(QString applicationName, QString desktopEntry, QDBusConnection bus);

    NotificationListener* listener() const { return m_listener; }
    void setListener(NotificationListener* listener);

    // Shows the notification at once (main thread).
    void notify(const DesktopNotification& notification);

Q_SIGNALS:
    // A notification that could not be shown (no server, or the server refused it).
    void notificationDropped();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    void requestCapabilities();
    void sendPending();
    void send(const DesktopNotification& notification);
    void dropPending();
    // In m_shown; -1 when not there.
    qsizetype indexOfShown(quint32 id) const;

    QString m_applicationName;
    QString m_desktopEntry;
    QDBusConnection m_bus;
    QDBusServiceWatcher* m_serverWatcher;
    NotificationListener* m_listener = nullptr;
    bool m_capabilitiesKnown = false;
    bool m_capabilitiesRequested = false;
    bool m_bodyMarkup = false;
    bool m_actions = false;
    QList<DesktopNotification> m_pending;
    // Oldest first, at most maxShown.
    QList<DesktopNotification> m_shown;
};
