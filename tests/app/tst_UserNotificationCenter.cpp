// Desktop notifications over the bus: what the server receives, escaping for servers that read
// markup, a missing server, and the server's signals reaching the delegate.

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
        delivered.append(n);
    }
    void didActivateNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        activated.append(n.title);
    }
    void didCloseNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        closed.append(n.title);
    }

    QList<UserNotification> delivered;
    QStringList activated;
    QStringList closed;
};

UserNotification notification(const QString& title, const QString& text,
                              const QString& sound = UserNotification::defaultSoundName)
{
    UserNotification n;
    n.title = title;
    n.informativeText = text;
    n.soundName = sound;
    return n;
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

    void notifyCarriesTextSoundAndDesktopEntry()
    {
        FakeNotificationServer server(connection(), {QStringLiteral("body")});
        QVERIFY(server.registerOnBus());
        UserNotificationCenter center(QStringLiteral("tovo.TOVO"), connection());
        RecordingDelegate delegate;
        center.setDelegate(&delegate);

        center.deliverNotification(notification(QStringLiteral("one"), QStringLiteral("first")));
        center.deliverNotification(notification(QStringLiteral("two"), QStringLiteral("second")));
        center.deliverNotification(notification(QStringLiteral("three"), {}, {}));
        QTRY_COMPARE(server.notifications().size(), 3);
        QCOMPARE(server.summaries(), QString::fromLatin1("one two three").split(QLatin1Char(' ')));

        const auto& first = server.notifications().at(0);
        QCOMPARE(first.body, QStringLiteral("first"));
        QCOMPARE(first.replacesId, 0u);
        QVERIFY(first.actions.contains(QStringLiteral("default")));
        QCOMPARE(first.hints.value(QStringLiteral("sound-name")).toString(),
                 QStringLiteral("message-new-instant"));
        QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("tovo.TOVO"));
        QVERIFY(!server.notifications().at(2).hints.contains(QStringLiteral("sound-name")));

        QTRY_COMPARE(delegate.delivered.size(), 3);
        QCOMPARE(delegate.delivered.at(1).identifier, server.notifications().at(1).id);
    }

    void bodyIsLiteralText_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        const QString text = QStringLiteral("Disk <b>full</b> & <a href=\"x\">x</a>");
        QTest::newRow("server reads markup")
            << QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
            << QStringLiteral(
                   "Disk &lt;b&gt;full&lt;/b&gt; &amp; &lt;a href=&quot;x&quot;&gt;x&lt;/a&gt;");
        QTest::newRow("plain text server") << QStringList{QStringLiteral("body")} << text;
    }

    void bodyIsLiteralText()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        FakeNotificationServer server(connection(), capabilities);
        QVERIFY(server.registerOnBus());
        UserNotificationCenter center(QStringLiteral("tovo.TOVO"), connection());
        center.deliverNotification(notification(
            QStringLiteral("A <b> & c"), QStringLiteral("Disk <b>full</b> & <a href=\"x\">x</a>")));
        QTRY_COMPARE(server.notifications().size(), 1);
        QCOMPARE(server.notifications().at(0).body, body);
        QCOMPARE(server.notifications().at(0).summary, QStringLiteral("A <b> & c"));
    }

    void withoutServerDropsQuietlyAndRecovers()
    {
        UserNotificationCenter center(QStringLiteral("tovo.TOVO"), connection());
        QSignalSpy dropped(&center, &UserNotificationCenter::notificationDropped);
        center.deliverNotification(notification(QStringLiteral("lost"), {}));
        QVERIFY(dropped.wait());

        FakeNotificationServer server(connection(), {QStringLiteral("body")});
        QVERIFY(server.registerOnBus());
        center.deliverNotification(notification(QStringLiteral("shown"), {}));
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
        center.deliverNotification(notification(QStringLiteral("ours"), {}));
        QTRY_COMPARE(delegate.delivered.size(), 1);
        const quint32 id = delegate.delivered.at(0).identifier;

        server.invokeAction(id + 100, QStringLiteral("default")); // another program's
        server.invokeAction(id, QStringLiteral("default"));
        server.closeNotification(id, 2);
        QTRY_COMPARE(delegate.closed, QStringList{QStringLiteral("ours")});
        QCOMPARE(delegate.activated, QStringList{QStringLiteral("ours")});
    }
};

QTEST_MAIN(tst_UserNotificationCenter)
#include "tst_UserNotificationCenter.moc"
