// tovo-demo-service: the local stand-in for the monitoring service that the demo, the
// end-to-end test and the footprint benchmark run against. Prints the settings a client needs
// as KEY=value lines, then one line per request.

#include "DemoCertificates.h"
#include "DemoService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QUuid>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Ctrl-C and SIGTERM end the event loop, so the temporary certificates are removed.
void quitOnSignals(QCoreApplication& app)
{
    if (::pipe(signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

// A service started with a pipe as standard input (a test's child process) ends when the pipe
// closes, so it never outlives a parent that crashed.
void quitWhenParentPipeCloses(QCoreApplication& app)
{
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) != 0 || !S_ISFIFO(input.st_mode))
        return;
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            notifier->setEnabled(false);
            app.quit();
        }
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tovo-demo-service"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Local HTTPS stand-in for the T-O-VO service with one demo account."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port on 127.0.0.1 (default: a free one)."),
                                        QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption timelineOption(
        QStringLiteral("timeline"),
        QStringLiteral("scripted (alarms come and go over minutes), growing (the first feed "
                       "holds --count alarms, every later one a new alarm more) or fixed "
                       "(always --count alarms)."),
        QStringLiteral("name"), QStringLiteral("scripted"));
    const QCommandLineOption countOption(QStringLiteral("count"),
                                         QStringLiteral("Alarms of the growing or fixed feed."),
                                         QStringLiteral("n"), QStringLiteral("3"));
    parser.addOptions({portOption, timelineOption, countOption});
    parser.process(app);

    bool portOk = false;
    bool countOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    const int count = parser.value(countOption).toInt(&countOk);
    const auto mode = AlarmTimeline::modeNamed(parser.value(timelineOption));
    if (!portOk || port > 65535 || !countOk || count < 0 || count > 100000 || !mode) {
        err << "tovo-demo-service: bad option value, see --help\n";
        return 2;
    }

    // Before the certificates exist, so that a signal never leaves them behind.
    quitOnSignals(app);
    quitWhenParentPipeCloses(app);
    DemoCertificates certificates;
    if (!certificates.create()) {
        err << "tovo-demo-service: " << certificates.error() << '\n';
        return 1;
    }
    const DemoService::Account account{
        QStringLiteral("demo@tovo.example"), QStringLiteral("demo1234"),
        QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()};
    DemoService service(account, AlarmTimeline(*mode, count));
    if (!service.listen(static_cast<quint16>(port), certificates.serverCertificate(),
                        certificates.serverKey())) {
        err << "tovo-demo-service: cannot listen: " << service.errorString() << '\n';
        return 1;
    }
    QObject::connect(&service, &DemoService::requestLogged, &app,
                     [&out](const QString& line) { out << line << Qt::endl; });

    const QString base = QStringLiteral("https://127.0.0.1:%1").arg(service.port());
    out << "TOVO_WEB_BASE=" << base << '\n'
        << "TOVO_FEED_BASE=" << base << '\n'
        << "SSL_CERT_FILE=" << certificates.caPath() << '\n'
        << "TOVO_DEMO_EMAIL=" << account.email << '\n'
        << "TOVO_DEMO_PASSWORD=" << account.password << '\n'
        << "TOVO_DEMO_GUID=" << account.guid << '\n'
        << "ready" << Qt::endl;
    return app.exec();
}
