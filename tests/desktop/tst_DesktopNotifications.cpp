// Desktop notifications as a server sees them (texts prepared and escaped), a server that comes
// late, the order of those that wait, and the server's signals back to the listener.

#include "FakeNotificationServer.h"
#include "desktop/DesktopNotifications.h"
#include "desktop/NotificationListener.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class RecordingListener : public NotificationListener {
public:
    void didDeliverNotification(DesktopNotifications&, const DesktopNotification& n) override
    {
        events.append(u"delivered "_s + QString::number(n.id));
    }
    void didActivateNotification(DesktopNotifications&, const DesktopNotification& n) override
    {
        events.append((u"activated "_s + n.summary + u' ' + n.activationToken).trimmed());
    }
    void didCloseNotification(DesktopNotifications&, const DesktopNotification& n) override
    {
        events.append(u"closed "_s + n.summary);
    }

    QStringList events;
};

DesktopNotification notification(const QString& title, const QString& text = {},
                                 const QString& sound = DesktopNotification::defaultSoundName)
{
    return DesktopNotification{
        title, text, sound, 0, u"Show alarms"_s, DesktopNotification::Urgency::Normal, {}, {}};
}

} // namespace

class TestDesktopNotifications : public QObject {
    Q_OBJECT

    int m_connections = 0;

    QDBusConnection connection()
    {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             u"connection-%1"_s.arg(++m_connections));
    }

private Q_SLOTS:

    void serverGetsLiteralTextAndSignalsBack_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("actions");
        QTest::newRow("server reads markup, shows actions")
            << QStringList{u"actions"_s, u"body"_s, u"body-markup"_s}
            << u"Disk &lt;b&gt;full&lt;/b&gt; &amp; &lt;a href=&quot;x&quot;&gt;"_s
            << QStringList{u"default"_s, u"Show alarms"_s};
        QTest::newRow("plain text server without actions")
            << QStringList{u"body"_s} << u"Disk <b>full</b> & <a href=\"x\">"_s << QStringList();
    }

    void serverGetsLiteralTextAndSignalsBack()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        QFETCH(QStringList, actions);
        FakeNotificationServer server(connection(), capabilities);
        QVERIFY(server.registerOnBus());
        DesktopNotifications notifications(u"T-O-VO"_s, u"tovo.TOVO"_s, connection());
        RecordingListener listener;
        notifications.setListener(&listener);
        notifications.notify(
            notification(u"A <b> &\u202e c"_s, u"Disk <b>full</b>\u0007 & <a href=\"x\">"_s));
        notifications.notify(notification(u"two"_s));
        notifications.notify(notification(u"three"_s, {}, {}));
        QTRY_COMPARE(listener.events.size(), 3);

        QCOMPARE(server.summaries().join(u'|'), u"A <b> & c|two|three"_s);
        const auto& first = server.notifications().at(0);
        QCOMPARE(first.body, body);
        QCOMPARE(first.actions, actions);
        QCOMPARE(first.hints.value(u"sound-name"_s), QVariant(u"message-new-instant"_s));
        QCOMPARE(first.hints.value(u"desktop-entry"_s), QVariant(u"tovo.TOVO"_s));
        QVERIFY(!server.notifications().at(2).hints.contains(u"sound-name"_s));
        const quint32 id = server.notifications().at(1).id;
        QCOMPARE(listener.events.at(1), u"delivered "_s + QString::number(id));

        server.invokeAction(id + 100, u"default"_s, u"T0"_s); // another program's
        server.invokeAction(id, u"default"_s, u"T1"_s);
        server.invokeAction(id, u"default"_s); // a token serves one click
        server.closeNotification(id, 2);
        QTRY_COMPARE(listener.events.mid(3).join(u'|'),
                     u"activated two T1|activated two|closed two"_s);
    }

    void forgetsNotificationsOfAnotherServerAndTheOldest()
    {
        DesktopNotifications notifications(u"T-O-VO"_s, u"tovo.TOVO"_s, connection());
        RecordingListener listener;
        notifications.setListener(&listener);
        auto server = std::make_unique<FakeNotificationServer>(connection(), QStringList());
        QVERIFY(server->registerOnBus());
        for (int i = 0; i <= DesktopNotifications::maxShown; ++i)
            notifications.notify(notification(QString::number(i)));
        QTRY_COMPARE(listener.events.size(), DesktopNotifications::maxShown + 1);
        listener.events.clear();
        server->invokeAction(1, u"default"_s); // the oldest, forgotten
        server->invokeAction(2, u"default"_s);

        // A restarted server numbers from 1 again.
        server = std::make_unique<FakeNotificationServer>(connection(), QStringList());
        QVERIFY(server->registerOnBus());
        server->invokeAction(2, u"default"_s);
        notifications.notify(notification(u"new"_s));
        QTRY_COMPARE(listener.events.size(), 2);
        server->invokeAction(1, u"default"_s);
        QTRY_COMPARE(listener.events.join(u'|'), u"activated 1|delivered 1|activated new"_s);
    }

    void withoutServerWaitsForOne()
    {
        DesktopNotifications notifications(u"T-O-VO"_s, u"tovo.TOVO"_s, connection());
        QSignalSpy waiting(&notifications, &DesktopNotifications::notificationWaiting);
        notifications.notify(notification(u"early"_s));
        QVERIFY(waiting.wait());

        FakeNotificationServer server(connection(), {u"body"_s});
        QVERIFY(server.registerOnBus());
        QTRY_COMPARE(server.summaries(), QStringList{u"early"_s});
        notifications.notify(notification(u"later"_s));
        QTRY_COMPARE(server.summaries(), QStringList({u"early"_s, u"later"_s}));
        QCOMPARE(waiting.size(), 1);
    }

    void failedSendsWaitInTheOrderTheyWereRaised()
    {
        // Replies to calls made together can be handed over out of order.
        NotificationQueue queue(2);
        for (const quint64 raised : {3u, 1u, 4u, 2u})
            queue.putBack({notification(QString::number(raised)), 0, raised});
        QStringList summaries;
        for (const NotificationQueue::Entry& entry : queue.takeAll())
            summaries << entry.notification.summary;
        QCOMPARE(summaries, QStringList({u"2 more notifications"_s, u"3"_s, u"4"_s}));
    }
};

QTEST_MAIN(TestDesktopNotifications)
#include "tst_DesktopNotifications.moc"
