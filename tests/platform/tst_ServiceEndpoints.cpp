#include "platform/ServiceEndpoints.h"

#include <QTest>

// The build's bases stand unless the environment names an https URL or plain http on a loopback
// host: an override must never send a password in clear text to another machine.
class tst_ServiceEndpoints : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void override_data();
    void override();
    void builtInBasesAreHttps();
};

void tst_ServiceEndpoints::override_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("taken");

    QTest::newRow("https") << QByteArray("https://staging.tovo.example") << true;
    QTest::newRow("https with port") << QByteArray("https://10.1.2.3:8443") << true;
    QTest::newRow("http loopback v4") << QByteArray("http://127.0.0.1:8080") << true;
    QTest::newRow("http loopback 127/8") << QByteArray("http://127.4.5.6") << true;
    QTest::newRow("http loopback v6") << QByteArray("http://[::1]:8080") << true;
    QTest::newRow("http localhost") << QByteArray("http://localhost:8080") << true;
    QTest::newRow("http remote") << QByteArray("http://feeds.tovo.example") << false;
    QTest::newRow("http private net") << QByteArray("http://192.168.1.10") << false;
    QTest::newRow("http localhost lookalike")
        << QByteArray("http://localhost.evil.example") << false;
    QTest::newRow("http loopback as user info")
        << QByteArray("http://127.0.0.1@evil.example") << false;
    QTest::newRow("ftp") << QByteArray("ftp://127.0.0.1") << false;
    QTest::newRow("trailing slash") << QByteArray("https://staging.tovo.example/") << false;
    QTest::newRow("with path") << QByteArray("https://staging.tovo.example/x") << false;
    QTest::newRow("not a url") << QByteArray("staging tovo") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void tst_ServiceEndpoints::override()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, taken);

    qunsetenv("TOVO_WEB_BASE");
    qunsetenv("TOVO_FEED_BASE");
    const QString builtInWeb = ServiceEndpoints::webBase();
    const QString builtInFeed = ServiceEndpoints::feedBase();

    qputenv("TOVO_WEB_BASE", value);
    qputenv("TOVO_FEED_BASE", value);
    QCOMPARE(ServiceEndpoints::webBase(), taken ? QString::fromUtf8(value) : builtInWeb);
    QCOMPARE(ServiceEndpoints::feedBase(), taken ? QString::fromUtf8(value) : builtInFeed);
    qunsetenv("TOVO_WEB_BASE");
    qunsetenv("TOVO_FEED_BASE");
}

void tst_ServiceEndpoints::builtInBasesAreHttps()
{
    qunsetenv("TOVO_WEB_BASE");
    qunsetenv("TOVO_FEED_BASE");
    for (const QString& base : {ServiceEndpoints::webBase(), ServiceEndpoints::feedBase()}) {
        QVERIFY2(base.startsWith(u"https://"), qPrintable(base));
        QVERIFY2(!base.endsWith(u'/'), qPrintable(base));
    }
}

QTEST_APPLESS_MAIN(tst_ServiceEndpoints)
#include "tst_ServiceEndpoints.moc"
