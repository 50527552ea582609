// The debug output of every layer, switched on, through a sign-in, the storing of its GUID and
// a poll that notifies: it tells what happened, and never the password or the GUID.

#include "FakeNotificationServer.h"
#include "FakeService.h"
#include "app/NotificationClient.h"
#include "core/Keychain.h"
#include "desktop/DesktopNotifications.h"

#include <QLoggingCategory>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString password = u"pass-W0rd"_s;
const QByteArray guid = "GUID-4711";

QStringList& output()
{
    static QStringList lines;
    return lines;
}

void record(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    output().append(QString::fromLatin1(context.category) + u": "_s + message);
}

} // namespace

class TestLogging : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void neverThePasswordOrTheGuid()
    {
        QLoggingCategory::setFilterRules(u"tovo.*.debug=true"_s);
        qInstallMessageHandler(record);
        FakeService service;
        service.setHandler([](const QByteArray& target) {
            if (target.startsWith("/resolveGUID"))
                return FakeService::Answer(200, "<guid>" + guid + "</guid>");
            return FakeService::Answer(200, "<rss><channel><item><title>agent: Critical</title>"
                                            "<guid>a1</guid></item></channel></rss>");
        });
        qputenv("TOVO_WEB_BASE", service.baseUrl().toUtf8());
        qputenv("TOVO_FEED_BASE", service.baseUrl().toUtf8());

        std::optional<Result<QString>> signIn;
        APIClient::sharedClient().authenticate(u"me@example.com"_s, password,
                                               [&](Result<QString> result) { signIn = result; });
        QTRY_VERIFY(signIn);
        QCOMPARE(signIn->value(), QString::fromLatin1(guid));
        QVERIFY(Keychain(u"tovo"_s).storeToken(signIn->value()));

        FakeNotificationServer server(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"server"_s), {u"body"_s});
        QVERIFY(server.registerOnBus());
        DesktopNotifications notifications(u"T-O-VO"_s, u"tovo.TOVO"_s,
                                           QDBusConnection::sessionBus());
        const auto client =
            NotificationClient::create(std::chrono::milliseconds(50), {}, &notifications);
        client->setFirsttime(false); // the first poll notifies
        client->startNotificationTask(signIn->value());
        QTRY_VERIFY(!server.summaries().isEmpty());
        client->stopNotificationTask();
        QVERIFY(client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        qInstallMessageHandler(nullptr);

        const QString all = output().join(u'\n');
        for (const char* layer : {"base", "xml", "net", "desktop", "core", "app"})
            QVERIFY2(all.contains(u"tovo."_s + QLatin1String(layer) + u": "_s), layer);
        QVERIFY2(!all.contains(password) && !all.contains(QLatin1String(guid)), qPrintable(all));
    }
};

QTEST_MAIN(TestLogging)
#include "tst_Logging.moc"
