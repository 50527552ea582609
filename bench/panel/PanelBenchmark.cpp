// The Today panel given a feed of many alarms: the real tovo-today against the demo service over
// TLS, on the session bus this runs on (run it under dbus-run-session). Once the service has
// answered the panel's feed request, it asks the panel over the bus again and again (an action
// the panel does not have: a D-Bus call that does nothing else) and measures how long each call
// waits for its answer, the way a click or an Activate would, and when the panel's debug output
// says its rows are in place. Then one Activate; then the panel's peak resident size.
//
//   tovo-bench-panel --today <tovo-today> --service <tovo-demo-service> [--count 10000] [--runs 3]
//
// Each run starts the panel anew. The last line is longest_wait_ms=<the longest wait of all
// runs> (the bound: 1000).

#include "Identity.h"
#include "base/SettingsFile.h"
#include "bus/ApplicationBus.h"
#include "core/Keychain.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int probeWindowMs = 5000;
constexpr int probeGapMs = 20;

// A field of /proc/<pid>/status in megabytes, e.g. "VmHWM".
double statusMegabytes(qint64 pid, const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// The next line the service prints, within `timeoutMs`; empty when none came.
QByteArray nextLine(QProcess& service, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!service.canReadLine() && waited.elapsed() < timeoutMs)
        service.waitForReadyRead(100);
    return service.canReadLine() ? service.readLine().trimmed() : QByteArray();
}

// Starts the demo service with a fixed feed of `count` alarms and takes its settings into the
// environment; returns the demo account's GUID, or nothing.
std::optional<QString> startService(QProcess& service, const QString& program, int count)
{
    service.start(program, {QStringLiteral("--timeline"), QStringLiteral("fixed"),
                            QStringLiteral("--count"), QString::number(count)});
    for (QByteArray line = nextLine(service, 20000); !line.isEmpty();
         line = nextLine(service, 20000)) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals) == "TOVO_DEMO_GUID")
            return QString::fromUtf8(line.mid(equals + 1));
        if (equals > 0)
            qputenv(line.left(equals).constData(), line.mid(equals + 1));
    }
    return std::nullopt;
}

// How long a call of `method` on the panel waited for its answer, in ms; -1 when it failed.
qint64 callPanel(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        Identity::todayId, ApplicationBus::objectPath(Identity::todayId),
        QStringLiteral("org.freedesktop.Application"), method);
    call.setArguments(arguments);
    QElapsedTimer waited;
    waited.start();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 600000);
    return reply.type() == QDBusMessage::ReplyMessage ? waited.elapsed() : -1;
}

struct Run {
    qint64 longestWaitMs = -1; // of the calls made after the list's arrival
    qint64 longestAfterMs = 0; // when the call that waited longest was made
    qint64 rowsMs = -1;        // when the rows were in place (to the next call)
    int calls = 0;
    qint64 activateMs = -1;
    double peakMb = 0;
    double residentMb = 0;
};

Run showOnce(const QString& today, QProcess& service, int count)
{
    Run run;
    QProcess panel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("tovo.widget.debug=true"));
    panel.setProcessEnvironment(environment);
    panel.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    panel.setReadChannel(QProcess::StandardError);
    panel.start(today, {});
    // Its first appearance fetches the feed; the service says when it has answered.
    for (QByteArray line = nextLine(service, 60000); !line.contains("/rssalarms");
         line = nextLine(service, 60000)) {
        if (line.isEmpty())
            return run;
    }
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    while (sinceAnswer.elapsed() < probeWindowMs) {
        const qint64 sent = sinceAnswer.elapsed();
        const qint64 waited =
            callPanel(QStringLiteral("ActivateAction"),
                      {QStringLiteral("bench-probe"), QVariantList(), QVariantMap()});
        if (waited < 0)
            return run;
        ++run.calls;
        if (waited > run.longestWaitMs) {
            run.longestWaitMs = waited;
            run.longestAfterMs = sent;
        }
        panel.waitForReadyRead(0);
        while (panel.canReadLine()) {
            if (panel.readLine().contains(" of " + QByteArray::number(count) + " entries"))
                run.rowsMs = sinceAnswer.elapsed();
        }
        QThread::msleep(probeGapMs);
    }
    run.activateMs = callPanel(QStringLiteral("Activate"), {QVariantMap()});
    run.peakMb = statusMegabytes(panel.processId(), "VmHWM");
    run.residentMb = statusMegabytes(panel.processId(), "VmRSS");
    panel.terminate();
    panel.waitForFinished(10000);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption todayOption(QStringLiteral("today"),
                                         QStringLiteral("The tovo-today program."),
                                         QStringLiteral("program"));
    const QCommandLineOption serviceOption(QStringLiteral("service"),
                                           QStringLiteral("The demo service program."),
                                           QStringLiteral("program"));
    const QCommandLineOption countOption(QStringLiteral("count"), QStringLiteral("Alarms."),
                                         QStringLiteral("n"), QStringLiteral("10000"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs."),
                                        QStringLiteral("n"), QStringLiteral("3"));
    parser.addOptions({todayOption, serviceOption, countOption, runsOption});
    parser.process(app);
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fputs("tovo-bench-panel: no session bus (run it under dbus-run-session)\n", stderr);
        return 1;
    }

    // The panel's settings in a folder of the benchmark's own, holding the demo account's GUID.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    SettingsFile::setStandardLocation(Identity::settingsFolder, Identity::todayId);
    QProcess service;
    const int count = parser.value(countOption).toInt();
    const std::optional<QString> guid = startService(service, parser.value(serviceOption), count);
    if (!guid || !Keychain(QStringLiteral("tovotoday")).storeToken(*guid)) {
        std::fputs("tovo-bench-panel: the demo service did not start (see --help)\n", stderr);
        return 1;
    }

    qint64 longest = 0;
    for (int index = 1; index <= parser.value(runsOption).toInt(); ++index) {
        const Run run = showOnce(parser.value(todayOption), service, count);
        std::printf("run %d: %d alarms; rows in place %lld ms after the list was sent; of %d "
                    "calls in the %d s after it the longest waited %lld ms (sent after %lld ms); "
                    "Activate then %lld ms; peak resident %.1f MB, at the end %.1f MB\n",
                    index, count, static_cast<long long>(run.rowsMs), run.calls,
                    probeWindowMs / 1000, static_cast<long long>(run.longestWaitMs),
                    static_cast<long long>(run.longestAfterMs),
                    static_cast<long long>(run.activateMs), run.peakMb, run.residentMb);
        std::fflush(stdout);
        longest = std::max(longest, run.calls == 0 ? 999999 : run.longestWaitMs);
    }
    service.closeWriteChannel();
    service.waitForFinished(10000);
    std::printf("longest_wait_ms=%lld\n", static_cast<long long>(longest));
    return 0;
}
