// One instance per session and the order of a launch, across real processes on a private bus:
// launch URLs from the command line, a second start forwarding to the first, and starts through
// D-Bus activation whose message becomes part of the launch.

#include "ApplicationClient.h"
#include "PrivateBus.h"
#include "ProbeLog.h"
#include "platform/ApplicationHost.h"

#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString appId = QStringLiteral("tovo.TOVO");
}

class tst_ApplicationHost : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QTemporaryDir m_dir;
    int m_logs = 0;

    ProbeLog newLog() { return ProbeLog(m_dir.filePath(QStringLiteral("log-%1").arg(++m_logs))); }

    QStringList probeArguments(const ProbeLog& log, const QStringList& more = {})
    {
        return QStringList{QStringLiteral("--log"), log.path(), QStringLiteral("--id"), appId} +
               more;
    }
    void startProbe(QProcess& process, const ProbeLog& log, const QStringList& more = {})
    {
        process.setProcessEnvironment(m_bus.environment());
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QStringLiteral(TOVO_HOST_PROBE), probeArguments(log, more));
    }
    // Ends the running instance, whoever started it.
    void quitInstance() { QVERIFY(ApplicationClient(m_connection, appId).quitProbe()); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        m_connection = m_bus.connect(QStringLiteral("test"));
        QVERIFY(m_connection.isConnected());
    }

    void cleanup() { QVERIFY(m_bus.removeService(appId)); }

    void commandLineUrlsComeBeforeTheLaunchFinishes()
    {
        const ProbeLog log = newLog();
        QProcess probe;
        startProbe(
            probe, log,
            {QStringLiteral("launched"), QStringLiteral("tovo://a"), QStringLiteral("tovo://b")});
        QVERIFY(log.waitFor(QStringLiteral("didFinish")));
        QCOMPARE(log.lines(),
                 QString::fromLatin1("willFinish|open tovo://a|open tovo://b|didFinish")
                     .split(QLatin1Char('|')));
        quitInstance();
        QTRY_COMPARE(probe.state(), QProcess::NotRunning);
        QCOMPARE(probe.exitCode(), 0);
    }

    void secondStartForwardsAndExits()
    {
        const ProbeLog first = newLog();
        QProcess primary;
        startProbe(primary, first);
        QVERIFY(first.waitFor(QStringLiteral("didFinish")));

        const ProbeLog second = newLog();
        QProcess again;
        startProbe(again, second, {QStringLiteral("tovo://x")});
        QVERIFY(again.waitForFinished());
        QCOMPARE(again.exitStatus(), QProcess::NormalExit);
        QCOMPARE(again.exitCode(), 0);
        QVERIFY(first.lines().contains(QStringLiteral("open tovo://x")));

        QProcess plain;
        startProbe(plain, second);
        QVERIFY(plain.waitForFinished());
        QCOMPARE(plain.exitCode(), 0);
        QVERIFY(first.waitFor(QStringLiteral("activate")));
        QVERIFY(second.lines().isEmpty());

        quitInstance();
        QTRY_COMPARE(primary.state(), QProcess::NotRunning);
    }

    void busActivationMakesTheMessagePartOfTheLaunch_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Open") << QStringLiteral("Open")
                              << QVariantList{QStringList{QStringLiteral("tovo://y")},
                                              QVariantMap()}
                              << QStringList{QStringLiteral("willFinish"),
                                             QStringLiteral("open tovo://y"),
                                             QStringLiteral("didFinish")};
        QTest::newRow("notification action")
            << QStringLiteral("ActivateAction")
            << QVariantList{ApplicationHost::notificationActionName, QVariantList{7}, QVariantMap()}
            << QStringList{QStringLiteral("willFinish"), QStringLiteral("didFinish notification")};
    }

    void busActivationMakesTheMessagePartOfTheLaunch()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QStringList, expected);
        const ProbeLog log = newLog();
        QVERIFY(
            m_bus.addService(appId, QStringList{QStringLiteral(TOVO_HOST_PROBE)} +
                                        probeArguments(log, {ApplicationHost::busActivationFlag})));
        const QDBusMessage reply = ApplicationClient(m_connection, appId).call(method, arguments);
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QVERIFY(log.waitFor(expected.constLast()));
        QCOMPARE(log.lines(), expected);
        quitInstance();
    }
};

QTEST_MAIN(tst_ApplicationHost)
#include "tst_ApplicationHost.moc"
