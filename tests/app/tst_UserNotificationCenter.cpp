// Desktop notifications over a private bus: what the server receives, escaping for servers that
// read markup, a missing server, and the server's signals reaching the delegate.

#include "FakeNotificationServer.h"
#include "PrivateBus.h"
#include "platform/UserNotificationCenter.h"
#include "platform/UserNotificationCenterDelegate.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class RecordingDelegate : public UserNotificationCenterDelegate {
public:
    void didDeliverNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        delivered.append(n.identifier);
    }
    void didActivateNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        events.append(QStringLiteral("activated ") + n.title);
    }
    void didCloseNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        events.append(QStringLiteral("closed ") + n.title);
    }

    QList<quint32> delivered;
    QStringList events;
};

UserNotification notification(const QString& title, const QString& text = {},
                              const QString& sound = UserNotification::defaultSoundName)
{
    return UserNotification{title, text, sound, 0};
}

} // namespace

class tst_UserNotificationCenter : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    int m_connections = 0;

    QDBusConnection connection()
    {
        return m_bus.connect(QStringLiteral("connection-%1").arg(++m_connections));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_bus.start()); }

    void serverGetsLiteralTextInOrder_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::newRow("server reads markup")
            << QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
            << QStringLiteral("Disk &lt;b&gt;full&lt;/b&gt; &amp; &lt;a href=&quot;x&quot;&gt;");
        QTest::newRow("plain text server") << QStringList{QStringLiteral("body")}
                                           << QStringLiteral("Disk <b>full</b> & <a href=\"x\">");
    }

    void serverGetsLiteralTextInOrder()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        FakeNotificationServer server(connection(), capabilities);
        QVERIFY(server.registerOnBus());
        UserNotificationCenter center(QStringLiteral("tovo.TOVO"), connection());
        RecordingDelegate delegate;
        center.setDelegate(&delegate);
        center.deliverNotification(notification(
            QStringLiteral("A <b> & c"), QStringLiteral("Disk <b>full</b> & <a href=\"x\">")));
        center.deliverNotification(notification(QStringLiteral("two")));
        center.deliverNotification(notification(QStringLiteral("three"), {}, {}));
        QTRY_COMPARE(delegate.delivered.size(), 3);

        QCOMPARE(server.summaries().join(QLatin1Char('|')), QStringLiteral("A <b> & c|two|three"));
        const auto& first = server.notifications().at(0);
        QCOMPARE(first.body, body);
        QVERIFY(first.actions.contains(QStringLiteral("default")));
        QCOMPARE(first.hints.value(QStringLiteral("sound-name")),
                 QVariant(QStringLiteral("message-new-instant")));
        QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")),
                 QVariant(QStringLiteral("tovo.TOVO")));
        QVERIFY(!server.notifications().at(2).hints.contains(QStringLiteral("sound-name")));
        QCOMPARE(delegate.delivered.at(1), server.notifications().at(1).id);
    }

    void withoutServerDropsQuietlyAndRecovers()
    {
        UserNotificationCenter center(QStringLiteral("tovo.TOVO"), connection());
        QSignalSpy dropped(&center, &UserNotificationCenter::notificationDropped);
        center.deliverNotification(notification(QStringLiteral("lost")));
        QVERIFY(dropped.wait());

        FakeNotificationServer server(connection(), {QStringLiteral("body")});
        QVERIFY(server.registerOnBus());
        center.deliverNotification(notification(QStringLiteral("shown")));
        QTRY_COMPARE(server.summaries(), QStringList{QStringLiteral("shown")});
        QCOMPARE(dropped.size(), 1);
    }

    void serverSignalsReachTheDelegate()
    {
        FakeNotificationServer server(connection(), {QStringLiteral("body")});
        QVERIFY(server.registerOnBus());
        UserNotificationCenter center(QStringLiteral("tovo.TOVO"), connection());
        RecordingDelegate delegate;
        center.setDelegate(&delegate);
        center.deliverNotification(notification(QStringLiteral("ours")));
        QTRY_COMPARE(delegate.delivered.size(), 1);
        const quint32 id = delegate.delivered.at(0);

        server.invokeAction(id + 100, QStringLiteral("default")); // another program's
        server.invokeAction(id, QStringLiteral("default"));
        server.closeNotification(id, 2);
        QTRY_COMPARE(delegate.events.size(), 2);
        QCOMPARE(delegate.events.join(QLatin1Char('|')),
                 QStringLiteral("activated ours|closed ours"));
    }
};

QTEST_MAIN(tst_UserNotificationCenter)
#include "tst_UserNotificationCenter.moc"
