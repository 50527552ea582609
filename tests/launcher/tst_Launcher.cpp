// Starting our programs, across real processes on a private bus: the application host (one
// instance per session, the order of a launch, D-Bus activation, a fallback for programs the bus
// cannot start) and the login launcher (activation or hand-over of "tovo://START", quick exit).

#include "ApplicationClient.h"
#include "PrivateBus.h"
#include "ProbeLog.h"
#include "platform/ApplicationHost.h"
#include "platform/DesktopWorkspace.h"

#include <QDBusMessage>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Launcher : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QTemporaryDir m_dir;
    int m_logs = 0;

    ProbeLog newLog() { return ProbeLog(m_dir.filePath(u"log-%1"_s.arg(++m_logs))); }
    // Runs the launcher to its end; its exit code (negative when it crashed).
    static int runLauncher() { return QProcess::execute(QStringLiteral(TOVO_LAUNCHER)); }
    ApplicationClient tovo() const { return ApplicationClient(m_connection, u"tovo.TOVO"_s); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8()); // for every child
        m_connection = m_bus.connect(u"test"_s);
        QVERIFY(m_connection.isConnected());
    }

    void cleanup() { QVERIFY(m_bus.removeService(u"tovo.TOVO"_s)); }

    void oneInstanceTakesEveryStart()
    {
        const ProbeLog first = newLog(), later = newLog();
        QProcess primary;
        first.start(primary, {u"launched"_s, u"tovo://a"_s, u"tovo://b"_s});
        const QStringList launch{u"willFinish"_s, u"open tovo://a"_s, u"open tovo://b"_s,
                                 u"didFinish"_s};
        QTRY_COMPARE_WITH_TIMEOUT(first.lines(), launch, 10000);

        // Later starts hand over their URL (or, without one, activate) and exit at once.
        for (const QStringList& urls : {QStringList{u"tovo://x"_s}, QStringList()}) {
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

    // A URL that activates the program is checked with the launcher's below.
    void busActivationMakesTheNotificationPartOfTheLaunch()
    {
        const ProbeLog log = newLog();
        QVERIFY(
            m_bus.addService(u"tovo.TOVO"_s, log.command({ApplicationHost::busActivationFlag})));
        const QVariantList action{ApplicationHost::notificationActionName, QVariantList{7},
                                  QVariantMap()};
        QCOMPARE(tovo().call(u"ActivateAction"_s, action).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(
            log.lines(), (QStringList{u"willFinish"_s, u"didFinish notification"_s}), 10000);
        QVERIFY(tovo().quitProbe());
    }

    void programTheBusCannotStartGetsValidUrlsOnly()
    {
        // A stand-in program that writes its arguments to a file.
        const QString output = m_dir.filePath(u"arguments"_s);
        QFile script(m_dir.filePath(u"program.sh"_s));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            u"#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n"_s.arg(output)
                .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

        DesktopWorkspace workspace(m_connection);
        workspace.setFallbackProgram(script.fileName());
        const QString today = u"tovo.TOVO.TOVOToday"_s;
        QVERIFY(!workspace.openUrls({u"tovo://ok"_s, u"tovo://a b"_s}, today));
        QVERIFY(!workspace.openUrl(u"not a url"_s));
        QVERIFY(workspace.openUrls({u"tovo://x"_s, u"tovo://%41"_s}, today));
        QTRY_VERIFY(QFile::exists(output));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("tovo://x\ntovo://%41\n")); // only the valid call
    }

    void startsTheApplicationOrHandsItTheUrl()
    {
        const ProbeLog log(m_dir.filePath(u"probe.log"_s));
        QVERIFY(m_bus.addService(u"tovo.TOVO"_s, log.command({u"--dbus-activated"_s})));
        QStringList expected{u"willFinish"_s, u"open tovo://START"_s, u"didFinish"_s};
        QCOMPARE(runLauncher(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(log.lines(), expected, 10000);
        QCOMPARE(runLauncher(), 0); // now to the running instance
        expected << u"open tovo://START"_s;
        QTRY_COMPARE(log.lines(), expected);
        QVERIFY(tovo().quitProbe());
    }

    void quitsQuietlyWithoutTheApplication() { QCOMPARE(runLauncher(), 0); }

    void theRealTrayApplicationTakesItAsALoginStart()
    {
        // The real program: started by the bus for the launcher's URL, it must not treat the
        // start as the user's (which would register the login item and show the alert).
        QVERIFY(
            m_bus.addService(u"tovo.TOVO"_s, {QStringLiteral(TOVO_APP), u"--dbus-activated"_s}));
        QCOMPARE(runLauncher(), 0);
        QTRY_VERIFY(tovo().isRunning());
        // Two round trips: the launch, which waits for the launcher's message, is over.
        tovo().call(u"Activate"_s, {QVariantMap()});
        tovo().call(u"Activate"_s, {QVariantMap()});
        QVERIFY(!QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") +
                               u"/autostart/tovo.TOVO.TOVOLauncher.desktop"_s));
        QVERIFY(tovo().terminate());
    }
};

QTEST_MAIN(tst_Launcher)
#include "tst_Launcher.moc"
