// The installed programs on a real X display with a real tray and notification daemon, against
// the demo service at a short polling interval, from the sign-in by keyboard to the running tray
// application's first notification.

#include "EndToEnd.h"

#include <QElapsedTimer>
#include <QTest>

constexpr int pollMs = 10000;
constexpr int pollWaitMs = 50 * 1000; // one interval with room for a slow machine

class TestE2ETray : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void signInThenNewAlarmsRaiseOneNotificationEach()
    {
        EndToEnd e2e;
        // Critical, Major and Minor, then one more with every answer.
        const QString problem = e2e.start({u"--timeline"_s, u"growing"_s, u"--count"_s, u"3"_s});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const auto xdotool = [&e2e](const QStringList& arguments) {
            return e2e.tool(u"xdotool"_s, arguments);
        };
        e2e.environment().insert(u"TOVO_POLL_INTERVAL_SECONDS"_s, QString::number(pollMs / 1000));
        QProcess* tovo = e2e.run(u"tovo"_s, {u"launched"_s});
        QTRY_VERIFY_WITH_TIMEOUT(e2e.trayShows(u"tovo"_s), startWaitMs);
        QCOMPARE(guidOf(u"tovo.TOVO"_s), std::nullopt);

        QProcess* today = e2e.run(u"tovo-today"_s, {});
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(window = xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^T-O-VO Today$"_s})
                           .section(u'\n', 0, 0))
                 .isEmpty(),
            startWaitMs);

        // The form opens with the e-mail field focused; Tab to the password, Return signs in.
        xdotool({u"windowfocus"_s, u"--sync"_s, window});
        for (const auto& [key, then] :
             {std::pair{"TOVO_DEMO_EMAIL", "Tab"}, std::pair{"TOVO_DEMO_PASSWORD", "Return"}}) {
            xdotool({u"type"_s, u"--delay"_s, u"20"_s, e2e.demo(QString::fromLatin1(key))});
            xdotool({u"key"_s, QString::fromLatin1(then)});
        }
        const std::optional<QString> guid = e2e.demo(u"TOVO_DEMO_GUID"_s);
        QTRY_COMPARE_WITH_TIMEOUT(guidOf(u"tovo.TOVO.TOVOToday"_s), guid, startWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(guidOf(u"tovo.TOVO"_s), guid, startWaitMs);
        QElapsedTimer handOver;
        handOver.start();

        // The rows in the colours of their levels, in a picture of the panel alone; the panel's
        // fetch is the feed's first answer (the service notes it after it answered).
        const auto rowsShown = [&] {
            const QImage panel(e2e.screenshot(u"e2e-today-panel.png"_s, window));
            return showsLevelRows(panel, panel.width() * 20);
        };
        QTRY_VERIFY_WITH_TIMEOUT(rowsShown(), startWaitMs);
        QTRY_COMPARE(e2e.feedRequests(), 1);
        QCOMPARE(today->state(), QProcess::Running);

        // The running tovo polls with the GUID one interval after the hand-over, silently.
        QTRY_VERIFY_WITH_TIMEOUT(e2e.feedRequests() >= 2, pollWaitMs);
        QVERIFY2(handOver.elapsed() >= pollMs - 1000, "tovo polled before its interval was over");
        QCOMPARE(tovo->state(), QProcess::Running);

        // Its second poll (the feed's third answer): its one new alarm, the fifth, is announced
        // with its agent and description, none of the silent first fetch's.
        QTRY_VERIFY_WITH_TIMEOUT(e2e.feedRequests() >= 3, pollWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!e2e.notifications().isEmpty(), 20000);
        e2e.screenshot(u"e2e-tray-notification.png"_s);
        const QStringList fifth{u"host0005"_s, u"Check 5 failed 3 times in a row"_s,
                                u"tovo.TOVO"_s};
        QCOMPARE(e2e.notifications(), QList<QStringList>{fifth});
    }
};

QTEST_GUILESS_MAIN(TestE2ETray)
#include "tst_E2ETray.moc"
