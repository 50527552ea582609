// The tovo-today program: one instance per session; a second start brings the first panel back,
// which hands the GUID to tovo.TOVO (tovo-host-probe here) again, and exits 0.

#include "BusFixture.h"
#include "FakeService.h"
#include "ProbeLog.h"
#include "base/SettingsFile.h"

using namespace Qt::StringLiterals;

class TestTodayApplication : public BusFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { startBus(); }
    void cleanup() { freeTheTrayName(); }

    void secondStartActivatesTheFirst()
    {
        FakeService service;
        service.setAnswer({200, "<rss><channel/></rss>"});
        qputenv("TOVO_FEED_BASE", service.baseUrl().toUtf8());
        SettingsFile store(qEnvironmentVariable("XDG_CONFIG_HOME") +
                           u"/tovo/tovo.TOVO.TOVOToday.conf"_s);
        store.setString(u"guid"_s, u"abc"_s);
        QVERIFY(store.sync());
        const ProbeLog log(m_dir.filePath(u"tovo.log"_s));
        QProcess probe, first, second;
        log.start(probe);
        QStringList handedOver{u"willFinish"_s, u"didFinish"_s, u"open tovo://abc"_s};

        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(QStringLiteral(TOVO_TODAY_BINARY), {});
        QTRY_COMPARE_WITH_TIMEOUT(log.lines(), handedOver, 20000);
        QTRY_COMPARE(service.requestTargets(), QList<QByteArray>{"/rssalarms?mac2&id=abc"});

        second.start(QStringLiteral(TOVO_TODAY_BINARY), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        handedOver << u"open tovo://abc"_s;
        QTRY_COMPARE_WITH_TIMEOUT(log.lines(), handedOver, 20000);
        QTRY_COMPARE(service.requestTargets().size(), 2);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished());
        QVERIFY(tovo().quitProbe());
    }
};

QTEST_GUILESS_MAIN(TestTodayApplication)
#include "tst_TodayApplication.moc"
