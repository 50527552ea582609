#include "platform/ServiceEndpoints.h"

#include <QTest>

// The build's bases stand unless the environment names an https URL or plain http on a loopback
// host: an override must never send a password in clear text to another machine.
class tst_ServiceEndpoints : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void override_data();
    void override();
};

void tst_ServiceEndpoints::override_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("taken");

    QTest::newRow("https") << QByteArray("https://staging.tovo.example") << true;
    QTest::newRow("http loopback v4") << QByteArray("http://127.0.0.1:8080") << true;
    QTest::newRow("http loopback v6") << QByteArray("http://[::1]:8080") << true;
    QTest::newRow("http localhost") << QByteArray("http://localhost:8080") << true;
    QTest::newRow("http remote") << QByteArray("http://feeds.tovo.example") << false;
    QTest::newRow("http localhost lookalike")
        << QByteArray("http://localhost.evil.example") << false;
    QTest::newRow("http loopback as user info")
        << QByteArray("http://127.0.0.1@evil.example") << false;
    QTest::newRow("trailing slash") << QByteArray("https://staging.tovo.example/") << false;
    QTest::newRow("not a url") << QByteArray("staging tovo") << false;
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

QTEST_APPLESS_MAIN(tst_ServiceEndpoints)
#include "tst_ServiceEndpoints.moc"
