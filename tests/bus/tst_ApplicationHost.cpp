// The application host across real processes on a private bus (tovo-host-probe as tovo.TOVO):
// one instance per session, the order of a launch, and D-Bus activation.

#include "BusFixture.h"
#include "ProbeLog.h"
#include "bus/ApplicationBus.h"
#include "bus/ApplicationHost.h"

#include <QDBusMessage>
#include <QTest>

using namespace Qt::StringLiterals;

class TestApplicationHost : public BusFixture {
    Q_OBJECT

    int m_logs = 0;

    ProbeLog newLog() { return ProbeLog(m_dir.filePath(u"log-%1"_s.arg(++m_logs))); }

private Q_SLOTS:
    void initTestCase() { startBus(); }
    void cleanup() { freeTheTrayName(); }

    void oneInstanceTakesEveryStart()
    {
        const ProbeLog first = newLog(), later = newLog();
        QProcess primary;
        first.start(primary, {u"launched"_s, u"tovo://a"_s, u"tovo://b"_s});
        const QStringList launch{u"willFinish"_s, u"open tovo://a"_s, u"open tovo://b"_s,
                                 u"didFinish"_s};
        QTRY_COMPARE_WITH_TIMEOUT(first.lines(), launch, 10000);

        // Later starts hand over their URL (or, without one, activate) and exit at once; one that
        // the bus started has nothing to add to the message it was started for.
        for (const QStringList& urls : {QStringList{u"tovo://x"_s}, QStringList(),
                                        QStringList{ApplicationBus::activationFlag}}) {
            QProcess again;
            later.start(again, urls);
            QVERIFY(again.waitForFinished());
            QCOMPARE(again.exitStatus(), QProcess::NormalExit);
            QCOMPARE(again.exitCode(), 0);
        }
        const QStringList handedOver = launch + QStringList{u"open tovo://x"_s, u"activate"_s};
        QTRY_COMPARE(first.lines(), handedOver);
        QVERIFY(later.lines().isEmpty());

        QVERIFY(tovo().quitProbe());
        QTRY_COMPARE(primary.state(), QProcess::NotRunning);
        QCOMPARE(primary.exitCode(), 0);
    }

    // A URL that activates the program is checked with the launcher's (tests/launcher).
    void busActivationMakesTheNotificationPartOfTheLaunch()
    {
        const ProbeLog log = newLog();
        QVERIFY(m_bus.addService(u"tovo.TOVO"_s, log.command({ApplicationBus::activationFlag})));
        const QVariantList action{ApplicationHost::notificationActionName, QVariantList{7},
                                  QVariantMap()};
        QCOMPARE(tovo().call(u"ActivateAction"_s, action).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(
            log.lines(), (QStringList{u"willFinish"_s, u"didFinish notification"_s}), 10000);
        QVERIFY(tovo().quitProbe());
    }
};

QTEST_MAIN(TestApplicationHost)
#include "tst_ApplicationHost.moc"
