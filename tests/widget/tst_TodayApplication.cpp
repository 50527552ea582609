// The tovo-today program: one instance per session, a second start brings the first panel back
// (which then hands the GUID to tovo.TOVO again) and exits 0.

#include "FakeApplication.h"
#include "FakeService.h"
#include "platform/UserDefaults.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>

class TodayApplicationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void secondStartActivatesTheFirst();

private:
    QProcess* start();

    FakeService m_service;
    FakeApplication m_tovo{QStringLiteral("tovo.TOVO")};
    QList<QProcess*> m_processes;
};

void TodayApplicationTest::initTestCase()
{
    m_service.setAnswer({200, "<rss><channel/></rss>"});
    QVERIFY(m_tovo.registerOnBus());
    UserDefaults store(qEnvironmentVariable("XDG_CONFIG_HOME") +
                       QStringLiteral("/tovo/tovo.TOVO.TOVOToday.conf"));
    store.setString(QStringLiteral("guid"), QStringLiteral("abc"));
    QVERIFY(store.synchronize());
}

void TodayApplicationTest::cleanup()
{
    for (QProcess* process : std::as_const(m_processes)) {
        process->terminate();
        process->waitForFinished();
        delete process;
    }
    m_processes.clear();
}

QProcess* TodayApplicationTest::start()
{
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOVO_FEED_BASE"), m_service.baseUrl());
    environment.insert(QStringLiteral("TOVO_WEB_BASE"), m_service.baseUrl());
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QStringLiteral(TOVO_TODAY_BINARY), {});
    m_processes.append(process);
    return process;
}

void TodayApplicationTest::secondStartActivatesTheFirst()
{
    QProcess* first = start();
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                 QStringLiteral("tovo.TOVO.TOVOToday")),
                             20000);
    // The first show hands the GUID over.
    QTRY_COMPARE_WITH_TIMEOUT(m_tovo.openedUris().size(), 1, 20000);
    QTRY_COMPARE(m_service.requestTargets(), QList<QByteArray>{"/rssalarms?mac2&id=abc"});

    QProcess* second = start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    QTRY_COMPARE_WITH_TIMEOUT(m_tovo.openedUris().size(), 2, 20000);
    QCOMPARE(m_tovo.openedUris().last(), QStringList{QStringLiteral("tovo://abc")});
    QTRY_COMPARE(m_service.requestTargets().size(), 2);
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TodayApplicationTest)
#include "tst_TodayApplication.moc"
