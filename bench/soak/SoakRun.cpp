#include "SoakRun.h"

#include "FakeNotificationServer.h"
#include "SoakService.h"
#include "TestCertificates.h"
#include "bus/ApplicationBus.h"
#include "desktop/NotificationText.h"

#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {

using Fault = SoakSchedule::Fault;
using Notification = SoakSchedule::Notification;

const QString guid = u"SOAK-0123456789abcdef"_s;
const QByteArray feedTarget = "/rssalarms?mac2&id=" + guid.toLatin1();
// What a remembered guid costs besides its characters: a 32-byte hash node, its share of the
// buckets, the string's 16-byte header and the allocator's rounding, under 100 bytes for a short
// guid. A character costs 2 bytes (UTF-16).
constexpr qint64 bytesPerGuid = 128;
constexpr qint64 growthLimitKb = 2048;
constexpr qsizetype listedMismatches = 10;

void print(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// Waits in the event loop, so the service and the notification server keep answering.
bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    check.start(20);
    if (!done())
        loop.exec();
    return done();
}

bool isHidden(QChar c)
{
    const char16_t u = c.unicode();
    return (c.category() == QChar::Other_Control && u != u'\n') || (u >= 0x202a && u <= 0x202e) ||
           (u >= 0x2066 && u <= 0x2069);
}

// A notification as one line: what a terminal would not show is written as \uXXXX.
QString described(const Notification& notification)
{
    QString line;
    for (const QChar c : notification.first + u" | "_s + notification.second.left(60)) {
        if (isHidden(c) || c == u'\n' || c.category() == QChar::Mark_NonSpacing)
            line += u"\\u%1"_s.arg(static_cast<uint>(c.unicode()), 4, 16, QChar(u'0'));
        else
            line += c;
    }
    return line.left(120);
}

QList<Notification> difference(const QList<Notification>& from, const QList<Notification>& take)
{
    QList<Notification> rest;
    std::set_difference(from.cbegin(), from.cend(), take.cbegin(), take.cend(),
                        std::back_inserter(rest));
    return rest;
}

QProcessEnvironment tovoEnvironment(const QDir& root, const QString& serviceBase,
                                    const SoakRun::Options& options)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name :
         {u"http_proxy"_s, u"https_proxy"_s, u"all_proxy"_s, u"HTTP_PROXY"_s, u"HTTPS_PROXY"_s,
          u"ALL_PROXY"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
        environment.remove(name);
    for (const char* folder : {"home", "config", "data", "cache", "runtime"})
        root.mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(root.filePath(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(u"HOME"_s, root.filePath(u"home"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, root.filePath(u"config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, root.filePath(u"data"_s));
    environment.insert(u"XDG_CACHE_HOME"_s, root.filePath(u"cache"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, root.filePath(u"runtime"_s));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"SSL_CERT_FILE"_s, qEnvironmentVariable("SSL_CERT_FILE"));
    environment.insert(u"TOVO_FEED_BASE"_s, serviceBase);
    environment.insert(u"TOVO_WEB_BASE"_s, serviceBase);
    environment.insert(u"TOVO_POLL_INTERVAL_SECONDS"_s,
                       QString::number(options.intervalMs / 1000.0, 'f', 3));
    environment.insert(u"TOVO_HTTP_DEADLINE_MS"_s, QString::number(options.deadlineMs));
    return environment;
}

} // namespace

SoakRun::SoakRun(Options options)
    : m_options(std::move(options))
    , m_schedule(m_options.polls)
{
    QObject::connect(
        &m_tovo, &QProcess::finished, &m_tovo, [this](int code, QProcess::ExitStatus status) {
            if (m_ending)
                return;
            ++m_crashes;
            m_problems.append(status == QProcess::CrashExit
                                  ? u"tovo crashed during the run"_s
                                  : u"tovo exited during the run with code %1"_s.arg(code));
        });
}

int SoakRun::run()
{
    QElapsedTimer clock;
    clock.start();
    QTemporaryDir root;
    if (!TestCertificates::install() || !root.isValid()) {
        print(u"soak: could not set up certificates or a private folder"_s);
        return 2;
    }
    FakeNotificationServer notifications(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"soak-notifications"_s),
        {u"body"_s});
    if (!notifications.registerOnBus()) {
        print(u"soak: could not register the notification server"_s);
        return 2;
    }
    SoakService service;
    service.setUntrustedConnections(
        [this](qsizetype connection) { return m_schedule.fault(connection) == Fault::Untrusted; });
    service.setConnectionHandler([this, &service](qsizetype connection, const QByteArray& target) {
        if (target != feedTarget && m_problems.size() < listedMismatches)
            m_problems.append(u"unexpected request target "_s + QString::fromLatin1(target));
        serve(service, connection);
        return m_schedule.answer(connection);
    });

    const QDir folder(root.path());
    m_tovo.setStandardErrorFile(folder.filePath(u"tovo.log"_s));
    if (const QString problem =
            drive(service, tovoEnvironment(folder, service.baseUrl(), m_options));
        !problem.isEmpty())
        m_problems.append(problem);
    if (m_memory.atEndKb < 0)
        m_memory.atEndKb = residentKb();
    m_ending = true;
    m_tovo.terminate();
    if (!m_tovo.waitForFinished(10000)) {
        m_tovo.kill();
        m_tovo.waitForFinished(5000);
    }

    const qsizetype polls = service.connections().size();
    print(u"soak: %1 polls of tovo every %2 ms, request deadline %3 ms, %4 s"_s.arg(polls)
              .arg(m_options.intervalMs)
              .arg(m_options.deadlineMs)
              .arg(clock.elapsed() / 1000));
    if (polls < m_options.polls)
        m_problems.append(
            u"only %1 of %2 polls reached the service"_s.arg(polls).arg(m_options.polls));
    const qsizetype faults = checkAnswers(service);
    const bool exact = checkNotifications(notifications.notifications(), polls);
    const qint64 growthKb = checkMemory(polls);

    if (!m_problems.isEmpty()) {
        QFile log(folder.filePath(u"tovo.log"_s));
        if (log.open(QIODevice::ReadOnly) && log.size() > 0)
            print(u"tovo's output (the end):\n"_s + QString::fromUtf8(log.readAll().right(4000)));
    }
    for (const QString& line : std::as_const(m_problems))
        print(u"FAILED: "_s + line);
    print(u"soak: polls=%1 faults=%2 crashes=%3 rss_growth_kb=%4 notifications=%5"_s.arg(polls)
              .arg(faults)
              .arg(m_crashes)
              .arg(growthKb)
              .arg(exact ? u"exact"_s : u"differ"_s));
    return m_problems.isEmpty() ? 0 : 1;
}

qsizetype SoakRun::checkAnswers(const SoakService& service)
{
    // Faults by kind; a refusal counts once per pause of the service, not per refused poll.
    const qsizetype polls = service.connections().size();
    QMap<int, qsizetype> kinds;
    for (qsizetype connection = 0; connection < polls; ++connection)
        ++kinds[static_cast<int>(m_schedule.fault(connection))];
    QStringList kindCounts;
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
        kindCounts.append(u"%1 %2"_s.arg(SoakSchedule::name(Fault(it.key()))).arg(it.value()));
    print(u"answers: "_s + kindCounts.join(u", "_s));

    // No request outlives the client's deadline.
    qint64 longestMs = 0;
    qsizetype open = 0;
    for (const SoakService::Connection& connection : service.connections()) {
        if (connection.closedMs < 0)
            ++open;
        else
            longestMs = std::max(longestMs, connection.closedMs - connection.openedMs);
    }
    const qint64 limitMs = m_options.deadlineMs + m_options.slackMs;
    print(u"longest connection: %1 ms (limit %2 ms), still open: %3"_s.arg(longestMs)
              .arg(limitMs)
              .arg(open));
    if (longestMs > limitMs || open > 0)
        m_problems.append(u"a request outlived its deadline"_s);
    for (const QByteArray& headers : service.requestHeaders()) {
        if (headers.toLower().contains("cookie:")) {
            m_problems.append(u"a request carried a cookie"_s);
            break;
        }
    }
    if (const QString dependence = m_schedule.orderDependence(polls); !dependence.isEmpty())
        m_problems.append(u"the schedule depends on the order of answers: "_s + dependence);
    return polls - kinds.value(static_cast<int>(Fault::None));
}

bool SoakRun::checkNotifications(const QList<FakeNotificationServer::Notification>& shown,
                                 qsizetype polls)
{
    // Exactly the notifications for guids new after the first success, in any order.
    QList<Notification> expected = m_schedule.expectedNotifications(polls);
    QList<Notification> received;
    for (const FakeNotificationServer::Notification& notification : shown)
        received.append({notification.summary, notification.body});
    std::sort(expected.begin(), expected.end());
    std::sort(received.begin(), received.end());
    print(u"notifications: expected %1, received %2"_s.arg(expected.size()).arg(received.size()));
    const bool exact = expected == received;
    if (!exact) {
        const auto list = [](const QString& what, const QList<Notification>& some) {
            for (qsizetype i = 0; i < std::min(some.size(), listedMismatches); ++i)
                print(u"  %1: %2"_s.arg(what, described(some[i])));
        };
        list(u"missing"_s, difference(expected, received));
        list(u"unexpected"_s, difference(received, expected));
        m_problems.append(u"the notifications differ from the expected ones"_s);
    }
    // Whatever the texts, what is shown is bounded and clean.
    for (const Notification& notification : std::as_const(received)) {
        if (notification.first.size() > NotificationText::maxSummaryLength ||
            notification.second.size() > NotificationText::maxBodyLength ||
            std::any_of(notification.first.cbegin(), notification.first.cend(), isHidden) ||
            std::any_of(notification.second.cbegin(), notification.second.cend(), isHidden)) {
            m_problems.append(u"a notification too long or with hidden characters: "_s +
                              described(notification));
            break;
        }
    }
    return exact;
}

qint64 SoakRun::checkMemory(qsizetype polls)
{
    // The growth after the checkpoint, less what the guids first seen since then cost.
    const auto [guids, characters] = m_schedule.guidsFirstSeen(SoakSchedule::checkpoint, polls);
    const qint64 allowanceKb = (guids * bytesPerGuid + characters * 2 + 1023) / 1024;
    const qint64 growthKb = m_memory.atEndKb - m_memory.atCheckpointKb - allowanceKb;
    print(u"resident memory: %1 kB after %2 polls, %3 kB at the end"_s.arg(m_memory.atCheckpointKb)
              .arg(SoakSchedule::checkpoint)
              .arg(m_memory.atEndKb));
    print(u"guids first seen in between: %1 (%2 characters), allowance %3 kB "
          u"(%4 B a guid + 2 B a character)"_s.arg(guids)
              .arg(characters)
              .arg(allowanceKb)
              .arg(bytesPerGuid));
    if (m_memory.atCheckpointKb < 0 || m_memory.atEndKb < 0)
        m_problems.append(u"resident memory could not be sampled"_s);
    else if (growthKb > growthLimitKb)
        m_problems.append(u"resident memory grew by %1 kB beyond the guids"_s.arg(growthKb));
    return growthKb;
}

QString SoakRun::drive(SoakService& service, const QProcessEnvironment& environment)
{
    m_tovo.setProcessEnvironment(environment);
    m_tovo.setStandardOutputFile(QProcess::nullDevice());
    // "launched": no first-run alert. Started as the bus would start it, so the token follows
    // over the bus, as the Today panel hands it over, and never shows on a command line.
    m_tovo.start(m_options.tovo, {u"launched"_s, ApplicationBus::activationFlag});
    if (!m_tovo.waitForStarted(10000))
        return u"tovo did not start: "_s + m_tovo.errorString();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const auto running = [&bus] {
        return bus.interface()->isServiceRegistered(u"tovo.TOVO"_s).value();
    };
    if (!waitUntil([&] { return running() || m_tovo.state() == QProcess::NotRunning; }, 30000) ||
        !running())
        return u"tovo did not come up on the bus"_s;
    if (!ApplicationBus::openUrls(bus, {u"tovo://"_s + guid}, u"tovo.TOVO"_s, QString(),
                                  ApplicationBus::Delivery::Await))
        return u"tovo did not take the token"_s;

    const int budgetMs = static_cast<int>(m_options.polls) * m_options.intervalMs * 4 + 120000;
    if (!waitUntil([&] { return m_finished || m_tovo.state() == QProcess::NotRunning; }, budgetMs))
        return u"the polls did not come in time (%1 so far)"_s.arg(service.connections().size());
    if (!m_finished)
        return {};
    // The slowest connection ends by the deadline.
    const auto allClosed = [&service] {
        const auto& connections = service.connections();
        return std::all_of(connections.cbegin(), connections.cend(),
                           [](const SoakService::Connection& c) { return c.closedMs >= 0; });
    };
    waitUntil(allClosed, m_options.deadlineMs + m_options.slackMs + 3000);
    // The last notifications are on their way through the bus.
    waitUntil([] { return false; }, 2000);
    m_memory.atEndKb = residentKb();
    return {};
}

void SoakRun::serve(SoakService& service, qsizetype connection)
{
    // After the answer is out.
    QTimer::singleShot(0, &service, [this, &service, connection] {
        if (connection == SoakSchedule::checkpoint)
            m_memory.atCheckpointKb = residentKb();
        if (connection + 1 >= m_options.polls) {
            m_finished = true;
            service.setListening(false);
        } else if (m_schedule.fault(connection) == Fault::Refuse) {
            service.setListening(false);
            QTimer::singleShot(m_options.intervalMs * 5 / 2, &service, [this, &service] {
                if (!m_finished)
                    service.setListening(true);
            });
        }
    });
}

qint64 SoakRun::residentKb() const
{
    QFile status(u"/proc/%1/status"_s.arg(m_tovo.processId()));
    if (m_tovo.state() != QProcess::Running || !status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
