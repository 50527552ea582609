// The tovo-today program: one instance per session, a second start brings the first panel back
// (which then hands the GUID to tovo.TOVO again) and exits 0.

#include "FakeApplication.h"
#include "FakeService.h"
#include "base/SettingsFile.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>

class TestTodayApplication : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void secondStartActivatesTheFirst()
    {
        FakeService service;
        service.setAnswer({200, "<rss><channel/></rss>"});
        FakeApplication tovo(QStringLiteral("tovo.TOVO"));
        QVERIFY(tovo.registerOnBus());
        SettingsFile store(qEnvironmentVariable("XDG_CONFIG_HOME") +
                           QStringLiteral("/tovo/tovo.TOVO.TOVOToday.conf"));
        store.setString(QStringLiteral("guid"), QStringLiteral("abc"));
        QVERIFY(store.sync());
        qputenv("TOVO_FEED_BASE", service.baseUrl().toUtf8());
        qputenv("TOVO_WEB_BASE", service.baseUrl().toUtf8());
        QProcess first;
        QProcess second;
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        second.setProcessChannelMode(QProcess::ForwardedChannels);

        first.start(QStringLiteral(TOVO_TODAY_BINARY), {});
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                     QStringLiteral("tovo.TOVO.TOVOToday")),
                                 20000);
        // The first show hands the GUID over and fetches.
        QTRY_COMPARE_WITH_TIMEOUT(tovo.openedUris().size(), 1, 20000);
        QTRY_COMPARE(service.requestTargets(), QList<QByteArray>{"/rssalarms?mac2&id=abc"});

        second.start(QStringLiteral(TOVO_TODAY_BINARY), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(tovo.openedUris().size(), 2, 20000);
        QCOMPARE(tovo.openedUris().last(), QStringList{QStringLiteral("tovo://abc")});
        QTRY_COMPARE(service.requestTargets().size(), 2);

        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(TestTodayApplication)
#include "tst_TodayApplication.moc"
