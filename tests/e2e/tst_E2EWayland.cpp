// Both installed programs under weston's headless back end, with the panel's GUID stored; typing
// and focus are tested on X11 and offscreen.

#include "BusFixture.h"
#include "EndToEnd.h"
#include "FakeNotificationServer.h"
#include "HeadlessDisplay.h"

#include <QTest>

class TestE2EWayland : public BusFixture {
    Q_OBJECT

private Q_SLOTS:
    void panelHandsOverAndOpensFromTheNotification()
    {
        EndToEnd e2e;
        // Three alarms (Critical, Major, Minor), then one more with every answer.
        const QString problem = e2e.serve({u"--timeline"_s, u"growing"_s, u"--count"_s, u"3"_s});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        HeadlessDisplay screen(HeadlessDisplay::Kind::Wayland);
        QVERIFY2(screen.start(), qPrintable(screen.problem()));
        QProcessEnvironment& environment = e2e.environment();
        screen.addTo(environment);
        // The real interval is the X11 test's; here a few seconds, so a new alarm comes soon.
        environment.insert(u"TOVO_POLL_INTERVAL_SECONDS"_s, u"3"_s);
        // Programs the bus starts get the same.
        QVERIFY(setActivationEnvironment(environment));
        QVERIFY(addService(u"tovo.TOVO"_s, {e2e.program(u"tovo"_s), u"--dbus-activated"_s}));
        QVERIFY(addService(u"tovo.TOVO.TOVOToday"_s,
                           {e2e.program(u"tovo-today"_s), u"--dbus-activated"_s}));
        FakeNotificationServer server(newConnection(u"notifications"_s), {u"actions"_s, u"body"_s});
        QVERIFY(server.registerOnBus());
        const QString guid = e2e.demo(u"TOVO_DEMO_GUID"_s);
        StoreFiles::overwriteOnDisk(StoreFiles::storePath(u"tovo.TOVO.TOVOToday"_s), guid);

        // The panel shows the alarms in the colours of their levels: twenty lines of each row at
        // least (the panel is 360 pixels wide).
        const auto rowsShown = [&] {
            return showsLevelRows(screen.screenshot(u"e2e-wayland-panel.png"_s), 320 * 20);
        };
        QProcess* today = e2e.run(u"tovo-today"_s, {});
        QTRY_VERIFY_WITH_TIMEOUT(rowsShown(), startWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(guidOf(u"tovo.TOVO"_s), std::optional(guid), startWaitMs);

        // The first answer is silent; the next one's new alarm is announced.
        QTRY_VERIFY_WITH_TIMEOUT(!server.notifications().isEmpty(), 60000);
        const FakeNotificationServer::Notification shown = server.notifications().constFirst();

        // The user closes the panel; the click brings it back through the bus, with the rows.
        today->terminate();
        QVERIFY(today->waitForFinished(startWaitMs));
        QTRY_VERIFY(!names()->isServiceRegistered(u"tovo.TOVO.TOVOToday"_s));
        server.invokeAction(shown.id, u"default"_s);
        QTRY_VERIFY_WITH_TIMEOUT(names()->isServiceRegistered(u"tovo.TOVO.TOVOToday"_s),
                                 startWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(rowsShown(), startWaitMs);
        QVERIFY(names()->isServiceRegistered(u"tovo.TOVO"_s).value());
    }
};

QTEST_GUILESS_MAIN(TestE2EWayland)
#include "tst_E2EWayland.moc"
