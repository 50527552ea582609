#pragma once
// Desktop notifications through org.freedesktop.Notifications on the session bus. Every bus
// call is asynchronous, so a slow or missing notification server never blocks the caller.
// Notifications are sent in the order delivered, their texts prepared for display
// (NotificationText). Notify is called whether or not the name has an owner, so the bus can start
// a server; those that could not be shown wait (the newest maxUndelivered and a summary of the
// rest, NotificationQueue) and are sent when a server takes the name.

#include "desktop/DesktopNotification.h"
#include "desktop/NotificationQueue.h"

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
    // How many notifications that could not be shown wait for a server; older ones give way to
    // one summary.
    static constexpr qsizetype maxUndelivered = 20;
    // How many new ones wait for a server's first answer; older ones count as undelivered.
    static constexpr qsizetype maxPending = 100;
    // Longer activation tokens than any desktop makes are ignored.
    static constexpr qsizetype maxActivationTokenLength = 1024;

    // `applicationName` is what the server shows as the sender; `desktopEntry` names the
    // program's desktop file (hint "desktop-entry") and icon.
    DesktopNotifications(QString applicationName, QString desktopEntry, QDBusConnection bus);

    NotificationListener* listener() const { return m_listener; }
    void setListener(NotificationListener* listener);

    // Shows the notification at once, or as soon as a server is there (main thread).
    void notify(const DesktopNotification& notification);

Q_SIGNALS:
    // A notification could not be shown (no server, or the server refused it); it waits.
    void notificationWaiting();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& actionKey);
    void onActivationToken(uint id, const QString& token);
    void onNotificationClosed(uint id, uint reason);

private:
    void deliverWaiting();
    void requestCapabilities();
    void sendWaiting();
    void send(const NotificationQueue::Entry& entry);
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
    QList<NotificationQueue::Entry> m_pending;
    quint64 m_raised = 0;
    // Counts the servers that took the name, to tell a failure that predates the current one.
    quint64 m_serverArrivals = 0;
    NotificationQueue m_undelivered{maxUndelivered};
    // Oldest first, at most maxShown.
    QList<DesktopNotification> m_shown;
};
