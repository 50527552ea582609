// The installed tray application on a real X display with a real tray and notification daemon,
// against the demo service at the real polling interval: the first fetch is silent, and an alarm
// that appears later raises exactly one notification with its agent and description.

#include "AlarmTimeline.h"
#include "EndToEnd.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

constexpr int initialAlarms = 3;
constexpr int pollWaitMs = 100 * 1000; // one 60 s interval with room for a slow machine

// The notification for the alarm that the `answer`-th feed of the growing script adds.
QStringList notificationOfAnswer(int answer)
{
    const DemoAlarm added =
        AlarmTimeline(AlarmTimeline::Mode::Growing, initialAlarms).alarms(answer, 0).last();
    return {added.agent, added.text, u"tovo.TOVO"_s};
}

} // namespace

class TestE2ETray : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newAlarmsRaiseOneNotificationEach()
    {
        EndToEnd e2e;
        const QString problem = e2e.start(
            {u"--timeline"_s, u"growing"_s, u"--count"_s, QString::number(initialAlarms)});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QElapsedTimer sinceStart;
        sinceStart.start();
        // The widget's hand-over: a token URL stores the GUID and starts polling without an alert.
        QProcess* tovo = e2e.run(u"tovo"_s, {u"tovo://"_s + e2e.demo(u"TOVO_DEMO_GUID"_s)});
        QVERIFY(tovo->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(e2e.trayShows(u"tovo"_s), 30000);

        // First poll: one interval after the start, and silent.
        QTRY_VERIFY_WITH_TIMEOUT(e2e.feedRequests() >= 1, pollWaitMs);
        QVERIFY2(sinceStart.elapsed() >= 55000, "tovo polled before its interval was over");
        QCOMPARE(tovo->state(), QProcess::Running);

        // Second poll: its one new alarm is announced.
        QTRY_VERIFY_WITH_TIMEOUT(e2e.feedRequests() >= 2, pollWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!e2e.notifications().isEmpty(), 20000);
        e2e.screenshot(u"e2e-tray-notification.png"_s);
        QCOMPARE(e2e.notifications().first(), notificationOfAnswer(2));

        // The third poll adds one more. Its notification may already be in by the time the test
        // sees the request, so the whole list is checked once it is there: exactly one
        // notification per added alarm, none for the alarms of the silent first fetch.
        QTRY_VERIFY_WITH_TIMEOUT(e2e.feedRequests() >= 3, pollWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(e2e.notifications().size() >= 2, 20000);
        QCOMPARE(e2e.notifications(),
                 QList<QStringList>({notificationOfAnswer(2), notificationOfAnswer(3)}));
    }
};

QTEST_GUILESS_MAIN(TestE2ETray)
#include "tst_E2ETray.moc"
