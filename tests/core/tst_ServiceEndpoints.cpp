// The service endpoints: the build's, or an override that cannot leak a password.

#include "core/ServiceEndpoints.h"

#include <QTest>

class TestServiceEndpoints : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The build's bases stand unless the environment names an https URL or plain http on a
    // loopback host: an override must never send a password in clear text to another machine.
    void endpointOverride_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("taken");

        const auto row = [](const char* name, const char* value, bool taken) {
            QTest::newRow(name) << QByteArray(value) << taken;
        };
        row("https", "https://staging.tovo.example", true);
        row("http loopback v4", "http://127.0.0.1:8080", true);
        row("http loopback v6", "http://[::1]:8080", true);
        row("http localhost", "http://localhost:8080", true);
        row("http remote", "http://feeds.tovo.example", false);
        row("http localhost lookalike", "http://localhost.evil.example", false);
        row("http loopback as user info", "http://127.0.0.1@evil.example", false);
        row("trailing slash", "https://staging.tovo.example/", false);
        row("not a url", "staging tovo", false);
    }

    void endpointOverride()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, taken);

        qputenv("TOVO_WEB_BASE", value);
        qputenv("TOVO_FEED_BASE", value);
        // The build's bases otherwise: the defaults of CMakeLists.txt.
        QCOMPARE(ServiceEndpoints::webBase(),
                 taken ? QString::fromUtf8(value) : QStringLiteral("https://www.tovo.example"));
        QCOMPARE(ServiceEndpoints::feedBase(),
                 taken ? QString::fromUtf8(value) : QStringLiteral("https://feeds.tovo.example"));
    }
};

QTEST_GUILESS_MAIN(TestServiceEndpoints)
#include "tst_ServiceEndpoints.moc"
