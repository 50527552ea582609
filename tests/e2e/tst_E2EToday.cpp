// The installed Today panel on a real X display: the user signs in with the demo account by
// keyboard, the panel shows the alarms as coloured rows, and the GUID reaches the running tray
// application. Leaves a picture of the panel in the test output folder.

#include "EndToEnd.h"

#include <QTest>

namespace {

constexpr int startWaitMs = 30000;

} // namespace

class TestE2EToday : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void signInShowsColouredRowsAndHandsTheGuidToTovo()
    {
        EndToEnd e2e;
        // Critical, Major and Minor.
        const QString problem = e2e.start({u"--timeline"_s, u"fixed"_s, u"--count"_s, u"3"_s});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const auto xdotool = [&e2e](const QStringList& arguments) {
            return e2e.tool(u"xdotool"_s, arguments);
        };
        QProcess* tovo = e2e.run(u"tovo"_s, {u"launched"_s});
        QTRY_VERIFY_WITH_TIMEOUT(e2e.trayShows(u"tovo"_s), startWaitMs);
        QCOMPARE(guidOf(u"tovo.TOVO"_s), std::nullopt);

        QProcess* today = e2e.run(u"tovo-today"_s, {});
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(window = xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Today$"_s})
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

        // The rows in the colours of their levels, in a picture of the panel alone.
        const auto rowsShown = [&] {
            const QImage panel(e2e.screenshot(u"e2e-today-panel.png"_s, window));
            return showsLevelRows(panel, panel.width() * 20);
        };
        QTRY_VERIFY_WITH_TIMEOUT(rowsShown(), startWaitMs);
        QCOMPARE(today->state(), QProcess::Running);
        QCOMPARE(tovo->state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestE2EToday)
#include "tst_E2EToday.moc"
