// The installed tray application on a real X display with a real tray and notification daemon,
// against the demo service at the real polling interval: the first fetch is silent, and an alarm
// that appears later raises exactly one notification with its agent and description.

#include "AlarmTimeline.h"
#include "DemoServiceProcess.h"
#include "HeadlessDesktop.h"
#include "StagedInstall.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace {

constexpr int initialAlarms = 3;
constexpr int pollWaitMs = 100 * 1000; // one 60 s interval with room for a slow machine

// The alarm that the `answer`-th feed of the growing script adds.
DemoAlarm addedBy(int answer)
{
    return AlarmTimeline(AlarmTimeline::Mode::Growing, initialAlarms).alarms(answer, 0).last();
}

} // namespace

class TestE2ETray : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void newAlarmsRaiseOneNotificationEach();
    void cleanupTestCase();

private:
    StagedInstall installation;
    DemoServiceProcess service;
    HeadlessDesktop desktop;
    QProcess tovo;
};

void TestE2ETray::initTestCase()
{
    QVERIFY2(installation.install(), qPrintable(installation.error()));
    QVERIFY(QFile::exists(installation.path(QStringLiteral("bin/tovo"))));
    QVERIFY(service.start({QStringLiteral("--timeline"), QStringLiteral("growing"),
                           QStringLiteral("--count"), QString::number(initialAlarms)}));
    QVERIFY2(desktop.start(installation.environment(QProcessEnvironment::systemEnvironment())),
             qPrintable(desktop.error()));
}

void TestE2ETray::newAlarmsRaiseOneNotificationEach()
{
    QProcessEnvironment env = service.clientEnvironment(desktop.environment());
    env.remove(QStringLiteral("TOVO_POLL_INTERVAL_SECONDS"));
    tovo.setProcessEnvironment(env);
    tovo.setProcessChannelMode(QProcess::ForwardedChannels);
    // The widget's hand-over: a token URL stores the GUID and starts polling without an alert.
    QElapsedTimer sinceStart;
    sinceStart.start();
    tovo.start(installation.path(QStringLiteral("bin/tovo")),
               {QStringLiteral("tovo://") + service.value(QStringLiteral("TOVO_DEMO_GUID"))});
    QVERIFY(tovo.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(desktop.trayIconOwners().contains(QStringLiteral("tovo")), 30000);

    // First poll: one interval after the start, and silent.
    QTRY_VERIFY_WITH_TIMEOUT(service.feedRequests() >= 1, pollWaitMs);
    QVERIFY2(sinceStart.elapsed() >= 55000, "tovo polled before its interval was over");
    QCOMPARE(tovo.state(), QProcess::Running);

    // Second poll: its one new alarm is announced.
    QTRY_VERIFY_WITH_TIMEOUT(service.feedRequests() >= 2, pollWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.notifications().isEmpty(), 20000);
    desktop.screenshot(QStringLiteral("e2e-tray-notification.png"));
    const HeadlessDesktop::Notification first = desktop.notifications().first();
    QCOMPARE(first.summary, addedBy(2).agent);
    QCOMPARE(first.body, addedBy(2).text);
    QCOMPARE(first.desktopEntry, QStringLiteral("tovo.TOVO"));

    // By the third poll the second one has long been dealt with: exactly one notification,
    // none for the alarms of the silent first fetch. The third poll adds one more.
    QTRY_VERIFY_WITH_TIMEOUT(service.feedRequests() >= 3, pollWaitMs);
    QCOMPARE(desktop.notifications().size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(desktop.notifications().size(), 2, 20000);
    QCOMPARE(desktop.notifications().at(1).summary, addedBy(3).agent);
    QCOMPARE(desktop.notifications().at(1).body, addedBy(3).text);
}

void TestE2ETray::cleanupTestCase()
{
    if (tovo.state() != QProcess::NotRunning) {
        tovo.terminate();
        if (!tovo.waitForFinished(10000))
            tovo.kill();
        tovo.waitForFinished(5000);
    }
}

QTEST_GUILESS_MAIN(TestE2ETray)
#include "tst_e2e_tray.moc"
