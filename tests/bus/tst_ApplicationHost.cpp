// The application host across processes on the test's bus, with tovo-host-probe as tovo.TOVO.

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

    ProbeLog newLog() { return {m_dir.filePath(u"log-%1"_s.arg(++m_logs))}; }
    // Asks the probe to quit and waits until its name is gone.
    static bool quitProbe()
    {
        tovo().call(u"ActivateAction"_s, {u"quit"_s, QVariantList(), QVariantMap()});
        return QTest::qWaitFor([] { return !tovo().isRunning(); }, 10000);
    }

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

        // Later starts hand over their URL (or, without one, activate with the token a desktop
        // gave the start; or ask for an action) and exit at once; one that the bus started has
        // nothing to add to the message it was started for.
        for (const QStringList& urls :
             {QStringList{u"tovo://x"_s}, QStringList(),
              QStringList{ApplicationBus::activationFlag}, QStringList{u"--action=quit"_s}}) {
            QProcess again;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(u"XDG_ACTIVATION_TOKEN"_s, u"T2"_s);
            again.setProcessEnvironment(environment);
            later.start(again, urls);
            QVERIFY(again.waitForFinished());
            QCOMPARE(again.exitStatus(), QProcess::NormalExit);
            QCOMPARE(again.exitCode(), 0);
        }
        const QStringList handedOver =
            launch + QStringList{u"open tovo://x"_s, u"activate T2"_s, u"action quit"_s};
        QTRY_COMPARE(first.lines(), handedOver);
        QVERIFY(later.lines().isEmpty());
        QTRY_COMPARE(primary.state(), QProcess::NotRunning);
        QCOMPARE(primary.exitCode(), 0);
    }

    // A URL that activates the program is checked with the launcher's (tests/launcher).
    void busActivationMakesTheNotificationPartOfTheLaunch()
    {
        const ProbeLog log = newLog();
        QVERIFY(addService(u"tovo.TOVO"_s, log.command({ApplicationBus::activationFlag})));
        const QVariantList action{ApplicationHost::notificationActionName, QVariantList{7},
                                  QVariantMap()};
        QCOMPARE(tovo().call(u"ActivateAction"_s, action).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(
            log.lines(), (QStringList{u"willFinish"_s, u"didFinish notification"_s}), 10000);
        QVERIFY(quitProbe());
    }

    void activateReachesTheProgramHoweverItRuns_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("running") << u"running"_s;
        QTest::newRow("started by the bus") << u"bus"_s;
        QTest::newRow("started by hand where the bus cannot") << u"fallback"_s;
    }

    void activateReachesTheProgramHoweverItRuns()
    {
        QFETCH(QString, way);
        const ProbeLog log = newLog();
        QProcess running;
        QString fallback;
        // A program started for the message gets it, with its token, as part of its launch.
        QStringList expected{u"willFinish"_s, u"activate T3"_s, u"didFinish"_s};
        if (way == "running"_L1) {
            log.start(running, {u"launched"_s});
            QTRY_COMPARE_WITH_TIMEOUT(log.lines().size(), 2, 10000);
            expected = {u"willFinish"_s, u"didFinish"_s, u"activate T3"_s};
        } else if (way == "bus"_L1) {
            QVERIFY(addService(u"tovo.TOVO"_s, log.command({ApplicationBus::activationFlag})));
        } else {
            fallback =
                script(u"probe.sh"_s, u"exec '%1' \"$@\"\n"_s.arg(log.command().join("' '"_L1)));
        }
        QVERIFY(ApplicationBus::activate(QDBusConnection::sessionBus(), u"tovo.TOVO"_s, fallback,
                                         {{ApplicationBus::activationTokenKey, u"T3"_s}}));
        QTRY_COMPARE_WITH_TIMEOUT(log.lines(), expected, 10000);
        QVERIFY(quitProbe());
        running.waitForFinished();
    }
};

QTEST_MAIN(TestApplicationHost)
#include "tst_ApplicationHost.moc"
