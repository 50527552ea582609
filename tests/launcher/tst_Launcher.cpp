// The login launcher against a private bus: it starts the tray application through D-Bus
// activation with "tovo://START", hands the URL to a running instance instead, and quits at
// once in every case, also when the tray application is missing.

#include "ApplicationClient.h"
#include "PrivateBus.h"
#include "ProbeLog.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString appId = QStringLiteral("tovo.TOVO");
}

class tst_Launcher : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QTemporaryDir m_dir;

    QStringList probe(const ProbeLog& log, const QStringList& more = {})
    {
        return QStringList{QStringLiteral(TOVO_HOST_PROBE), QStringLiteral("--log"), log.path(),
                           QStringLiteral("--id"), appId} +
               more;
    }
    // Runs the launcher to its end; its exit code, or -1 when it did not end by itself.
    int runLauncher()
    {
        QProcess launcher;
        launcher.setProcessEnvironment(m_bus.environment());
        launcher.setProcessChannelMode(QProcess::ForwardedChannels);
        launcher.start(QStringLiteral(TOVO_LAUNCHER), {});
        if (!launcher.waitForFinished(10000) || launcher.exitStatus() != QProcess::NormalExit)
            return -1;
        return launcher.exitCode();
    }
    ApplicationClient tovo() const { return ApplicationClient(m_connection, appId); }
    void quitInstance() { QVERIFY(tovo().quitProbe()); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        m_connection = m_bus.connect(QStringLiteral("test"));
    }

    void cleanup() { QVERIFY(m_bus.removeService(appId)); }

    void startsTheApplicationThroughActivation()
    {
        const ProbeLog log(m_dir.filePath(QStringLiteral("activated.log")));
        QVERIFY(m_bus.addService(appId, probe(log, {QStringLiteral("--dbus-activated")})));
        QCOMPARE(runLauncher(), 0);
        QVERIFY(log.waitFor(QStringLiteral("didFinish")));
        QCOMPARE(
            log.lines(),
            QString::fromLatin1("willFinish|open tovo://START|didFinish").split(QLatin1Char('|')));
        quitInstance();
    }

    void handsTheUrlToARunningInstance()
    {
        const ProbeLog log(m_dir.filePath(QStringLiteral("running.log")));
        QProcess running;
        running.setProcessEnvironment(m_bus.environment());
        running.start(probe(log).constFirst(), probe(log).mid(1));
        QVERIFY(log.waitFor(QStringLiteral("didFinish")));
        QCOMPARE(runLauncher(), 0);
        QVERIFY(log.waitFor(QStringLiteral("open tovo://START")));
        QCOMPARE(log.lines().count(QStringLiteral("willFinish")), 1);
        quitInstance();
        QTRY_COMPARE(running.state(), QProcess::NotRunning);
    }

    void quitsQuietlyWithoutTheApplication() { QCOMPARE(runLauncher(), 0); }

    void theRealTrayApplicationTakesItAsALoginStart()
    {
        // The real program: started by the bus for the launcher's URL, it must not treat the
        // start as the user's (which would register the login item and show the alert).
        QVERIFY(m_bus.addService(appId,
                                 {QStringLiteral(TOVO_APP), QStringLiteral("--dbus-activated")}));
        QCOMPARE(runLauncher(), 0);
        QTRY_VERIFY(tovo().isRunning());
        // Two round trips: the launch, which waits for the launcher's message, is over.
        tovo().call(QStringLiteral("Activate"), {QVariantMap()});
        tovo().call(QStringLiteral("Activate"), {QVariantMap()});
        const QString autostart = qEnvironmentVariable("XDG_CONFIG_HOME") +
                                  QStringLiteral("/autostart/tovo.TOVO.TOVOLauncher.desktop");
        QVERIFY(!QFile::exists(autostart));

        QVERIFY(tovo().terminate());
    }
};

QTEST_MAIN(tst_Launcher)
#include "tst_Launcher.moc"
