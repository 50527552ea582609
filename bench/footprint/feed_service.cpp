// The service of the footprint benchmark: the demo service with a fixed feed whose number of
// alarms the benchmark changes while the tray program runs. A line on standard input holding a
// number serves that many alarms from the next request on (same port, certificate and account);
// the end of standard input ends the service. Prints TOVO_FEED_BASE=, CA_FILE=, GUID= and "ready",
// then one line per request.

#include "DemoCertificates.h"
#include "DemoService.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QUuid>
#include <memory>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int firstCount = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;

    DemoCertificates certificates;
    if (!certificates.create()) {
        QTextStream(stderr) << "tovo-bench-feed-service: " << certificates.error() << '\n';
        return 1;
    }
    const DemoService::Account account{
        QStringLiteral("bench@tovo.example"), QStringLiteral("unused"),
        QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()};
    std::unique_ptr<DemoService> service;
    quint16 port = 0;
    const auto serve = [&](int count) {
        service = std::make_unique<DemoService>(account,
                                                AlarmTimeline(AlarmTimeline::Mode::Fixed, count));
        QObject::connect(service.get(), &DemoService::requestLogged, &app,
                         [&out](const QString& line) { out << line << Qt::endl; });
        return service->listen(port, certificates.serverCertificate(), certificates.serverKey());
    };
    if (!serve(firstCount)) {
        QTextStream(stderr) << "tovo-bench-feed-service: cannot listen\n";
        return 1;
    }
    port = service->port();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        const ssize_t read = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (read <= 0) {
            input.setEnabled(false);
            app.quit();
            return;
        }
        pending.append(buffer, read);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const int count = pending.left(end).trimmed().toInt();
            pending.remove(0, end + 1);
            service.reset(); // frees the port
            out << (serve(count) ? "count=" : "cannot listen for count=") << count << Qt::endl;
        }
    });

    out << "TOVO_FEED_BASE=https://127.0.0.1:" << port << '\n'
        << "CA_FILE=" << certificates.caPath() << '\n'
        << "GUID=" << account.guid << '\n'
        << "ready" << Qt::endl;
    return app.exec();
}
