#pragma once
// A notification server for tests: owns org.freedesktop.Notifications on a connection of its own
// (closed when it goes), records every notification, and sends the server's signals on request.

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification {
        quint32 id = 0;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        QImage image; // from the hint "image-data"
    };

    FakeNotificationServer(QDBusConnection bus, QStringList capabilities,
                           QObject* parent = nullptr);
    ~FakeNotificationServer() override;

    bool registerOnBus();

    const QList<Notification>& notifications() const { return m_notifications; }
    QStringList summaries() const;

    // With an activation token, ActivationToken goes first, as servers of Desktop Notifications
    // 1.2 send it.
    void invokeAction(quint32 id, const QString& actionKey, const QString& activationToken = {});
    void closeNotification(quint32 id, quint32 reason);

public Q_SLOTS:
    Q_SCRIPTABLE QStringList GetCapabilities();
    Q_SCRIPTABLE quint32 Notify(const QString& appName, quint32 replacesId, const QString& appIcon,
                                const QString& summary, const QString& body,
                                const QStringList& actions, const QVariantMap& hints,
                                qint32 expireTimeout);
    Q_SCRIPTABLE void CloseNotification(quint32 id);

private:
    void emitSignal(const QString& name, const QVariantList& arguments);

    QDBusConnection m_bus;
    QStringList m_capabilities;
    QList<Notification> m_notifications;
    quint32 m_nextId = 1;
};
