// Desktop notifications over a private bus: what the server receives, escaping for servers that
// read markup, a missing server, and the server's signals reaching the delegate.

#include "FakeNotificationServer.h"
#include "PrivateBus.h"
#include "platform/UserNotificationCenter.h"
#include "platform/UserNotificationCenterDelegate.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class RecordingDelegate : public UserNotificationCenterDelegate {
public:
    void didDeliverNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        events.append(u"delivered "_s + QString::number(n.identifier));
    }
    void didActivateNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        events.append(u"activated "_s + n.title);
    }
    void didCloseNotification(UserNotificationCenter&, const UserNotification& n) override
    {
        events.append(u"closed "_s + n.title);
    }

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

    QDBusConnection connection() { return m_bus.connect(u"connection-%1"_s.arg(++m_connections)); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_bus.start()); }

    void serverGetsLiteralTextAndSignalsBack_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::newRow("server reads markup")
            << QStringList{u"body"_s, u"body-markup"_s}
            << u"Disk &lt;b&gt;full&lt;/b&gt; &amp; &lt;a href=&quot;x&quot;&gt;"_s;
        QTest::newRow("plain text server")
            << QStringList{u"body"_s} << u"Disk <b>full</b> & <a href=\"x\">"_s;
    }

    void serverGetsLiteralTextAndSignalsBack()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        FakeNotificationServer server(connection(), capabilities);
        QVERIFY(server.registerOnBus());
        UserNotificationCenter center(u"tovo.TOVO"_s, connection());
        RecordingDelegate delegate;
        center.setDelegate(&delegate);
        center.deliverNotification(
            notification(u"A <b> & c"_s, u"Disk <b>full</b> & <a href=\"x\">"_s));
        center.deliverNotification(notification(u"two"_s));
        center.deliverNotification(notification(u"three"_s, {}, {}));
        QTRY_COMPARE(delegate.events.size(), 3);

        QCOMPARE(server.summaries().join(u'|'), u"A <b> & c|two|three"_s);
        const auto& first = server.notifications().at(0);
        QCOMPARE(first.body, body);
        QVERIFY(first.actions.contains(u"default"_s));
        QCOMPARE(first.hints.value(u"sound-name"_s), QVariant(u"message-new-instant"_s));
        QCOMPARE(first.hints.value(u"desktop-entry"_s), QVariant(u"tovo.TOVO"_s));
        QVERIFY(!server.notifications().at(2).hints.contains(u"sound-name"_s));
        const quint32 id = server.notifications().at(1).id;
        QCOMPARE(delegate.events.at(1), u"delivered "_s + QString::number(id));

        server.invokeAction(id + 100, u"default"_s); // another program's
        server.invokeAction(id, u"default"_s);
        server.closeNotification(id, 2);
        QTRY_COMPARE(delegate.events.mid(3).join(u'|'), u"activated two|closed two"_s);
    }

    void withoutServerDropsQuietlyAndRecovers()
    {
        UserNotificationCenter center(u"tovo.TOVO"_s, connection());
        QSignalSpy dropped(&center, &UserNotificationCenter::notificationDropped);
        center.deliverNotification(notification(u"lost"_s));
        QVERIFY(dropped.wait());

        FakeNotificationServer server(connection(), {u"body"_s});
        QVERIFY(server.registerOnBus());
        center.deliverNotification(notification(u"shown"_s));
        QTRY_COMPARE(server.summaries(), QStringList{u"shown"_s});
        QCOMPARE(dropped.size(), 1);
    }
};

QTEST_MAIN(tst_UserNotificationCenter)
#include "tst_UserNotificationCenter.moc"
