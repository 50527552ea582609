#pragma once
// One end-to-end run: the project installed into a private prefix, the demo service, a headless
// desktop (scripts/headless-session.sh) and the installed programs, all ended with this object.

#include "RowColours.h"
#include "StoreFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

// How long a program may take to come up, or a change to reach it.
constexpr int startWaitMs = 30000;

// The GUID in the settings file of the program `applicationId`.
inline std::optional<QString> guidOf(const QString& applicationId)
{
    return StoreFiles::onDisk(StoreFiles::storePath(applicationId));
}

// Whether `image` has at least `pixels` pixels of exactly each colour of the Critical, Major and
// Minor rows.
inline bool showsLevelRows(const QImage& image, int pixels)
{
    for (const QString& level : {u"Critical"_s, u"Major"_s, u"Minor"_s}) {
        const QRgb color = rowColour(level).background.rgb();
        int found = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                found += image.pixel(x, y) == color ? 1 : 0;
        }
        if (found < pixels)
            return false;
    }
    return true;
}

class EndToEnd {
public:
    ~EndToEnd()
    {
        for (const auto& program : programs)
            end(*program);
        end(session, 15000);
        end(service);
    }

    // Installs, starts the demo service with `serviceArguments` (e.g. {"--timeline", "growing"})
    // and the session; why a part did not come up, or nothing when all of it did.
    QString start(const QStringList& serviceArguments)
    {
        if (QString problem = serve(serviceArguments); !problem.isEmpty())
            return problem;
        const QString script =
            qEnvironmentVariable("TOVO_TEST_SOURCE_DIR") + u"/scripts/headless-session.sh"_s;
        QFile envFile(folder.filePath(u"session.env"_s));
        session.setProcessEnvironment(env);
        session.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        session.setStandardOutputFile(QProcess::nullDevice());
        session.start(script, {u"--env-file"_s, envFile.fileName(), u"--notification-log"_s,
                               folder.filePath(u"notifications.log"_s)});
        if (!QTest::qWaitFor(
                [&] { return envFile.exists() || session.state() == QProcess::NotRunning; },
                60000) ||
            !envFile.open(QIODevice::ReadOnly))
            return u"the headless session did not start (%1)"_s.arg(script);
        for (const QByteArray& line : envFile.readAll().split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                env.insert(QString::fromUtf8(line.left(equals)),
                           QString::fromUtf8(line.mid(equals + 1)));
        }
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        return {};
    }

    // Installs and starts the demo service alone: the desktop is the caller's, to add to
    // environment(). Why a part did not come up, or nothing.
    QString serve(const QStringList& serviceArguments)
    {
        if (!prefix.isValid() || !folder.isValid())
            return prefix.errorString() + folder.errorString();
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(
            QStringLiteral(TOVO_E2E_CMAKE_COMMAND),
            {u"--install"_s, QStringLiteral(TOVO_E2E_BUILD_DIR), u"--prefix"_s, prefix.path()});
        if (!cmake.waitForFinished(120000) || cmake.exitStatus() != QProcess::NormalExit ||
            cmake.exitCode() != 0)
            return QString::fromLocal8Bit(cmake.readAll()) + cmake.errorString();

        service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service.start(QStringLiteral(TOVO_E2E_DEMO_SERVICE), serviceArguments);
        const auto serviceUp = [this] {
            readService();
            return serving || service.state() == QProcess::NotRunning;
        };
        if (!QTest::qWaitFor(serviceUp, 60000) || !serving)
            return u"the demo service did not start"_s;

        // The session's bus activates the D-Bus services of the prefix's share folder.
        env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_DIRS"_s,
                   prefix.filePath(u"share:"_s) +
                       env.value(u"XDG_DATA_DIRS"_s, u"/usr/local/share:/usr/share"_s));
        env.insert(u"PATH"_s, prefix.filePath(u"bin:"_s) + env.value(u"PATH"_s));
        env.remove(u"TOVO_POLL_INTERVAL_SECONDS"_s);
        for (const QString& key : {u"TOVO_WEB_BASE"_s, u"TOVO_FEED_BASE"_s, u"SSL_CERT_FILE"_s})
            env.insert(key, demo(key));
        return {};
    }

    // What the programs are started with.
    QProcessEnvironment& environment() { return env; }
    // The installed program `name`.
    QString program(const QString& name) const { return prefix.filePath(u"bin/"_s + name); }

    // A setting the service printed at start, e.g. "TOVO_DEMO_GUID".
    QString demo(const QString& key) const { return settings.value(key); }
    // The feed requests the service has answered so far.
    int feedRequests()
    {
        readService();
        return feeds;
    }

    // Starts the installed bin/`program` on the session's display and bus against the service.
    QProcess* run(const QString& program, const QStringList& arguments)
    {
        QProcess& process = *programs.emplace_back(std::make_unique<QProcess>());
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(this->program(program), arguments);
        return &process;
    }

    // {summary, body, desktop entry} of every notification the daemon received, in order.
    QList<QStringList> notifications() const
    {
        QFile log(folder.filePath(u"notifications.log"_s));
        QList<QStringList> list;
        // base64(app name) TAB base64(summary) TAB base64(body) TAB desktop entry; a line still
        // being written has fewer fields and waits.
        for (const QByteArray& line :
             log.open(QIODevice::ReadOnly) ? log.readAll().split('\n') : QList<QByteArray>()) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 4)
                list.append({QString::fromUtf8(QByteArray::fromBase64(fields[1])),
                             QString::fromUtf8(QByteArray::fromBase64(fields[2])),
                             QString::fromUtf8(fields[3])});
        }
        return list;
    }

    // Whether a window of class `windowClass` is docked in the tray: trayer reparents the icons
    // into a window of its own, and xwininfo names a window's classes: ("tovo" "tovo").
    bool trayShows(const QString& windowClass) const
    {
        const QString trays = tool(u"xdotool"_s, {u"search"_s, u"--class"_s, u"^trayer$"_s});
        for (const QString& tray : trays.split(u'\n', Qt::SkipEmptyParts)) {
            const QString tree = tool(u"xwininfo"_s, {u"-tree"_s, u"-id"_s, tray});
            if (tree.contains(u": (\"%1\" "_s.arg(windowClass)))
                return true;
        }
        return false;
    }

    // Writes `window` ("root": the screen) to `fileName` in $TOVO_TEST_OUTPUT_DIR; the path, or
    // empty when that failed.
    QString screenshot(const QString& fileName, const QString& window = u"root"_s) const
    {
        const QString folderPath = qEnvironmentVariable("TOVO_TEST_OUTPUT_DIR");
        if (folderPath.isEmpty() || !QDir().mkpath(folderPath))
            return {};
        const QString path = QDir(folderPath).filePath(fileName);
        QFile::remove(path);
        tool(u"import"_s, {u"-window"_s, window, path});
        return QFile::exists(path) ? path : QString();
    }

    // The output of an X11 tool run on the session's display.
    QString tool(const QString& program, const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        if (!process.waitForFinished(30000))
            return {}; // and the process is killed
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

private:
    static void end(QProcess& process, int graceMs = 10000)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        // The session script tears everything down when its standard input closes.
        process.closeWriteChannel();
        process.terminate();
        if (!process.waitForFinished(graceMs))
            process.kill();
        process.waitForFinished(5000);
    }

    void readService()
    {
        // "KEY=value" lines up to "ready", then one line per answered request.
        pending += service.readAllStandardOutput();
        for (qsizetype newline = 0; (newline = pending.indexOf('\n')) >= 0;
             pending.remove(0, newline + 1)) {
            const QString line = QString::fromUtf8(pending.left(newline));
            const qsizetype equals = line.indexOf(u'=');
            if (serving)
                feeds += line.startsWith(u"GET /rssalarms"_s) ? 1 : 0;
            else if (line == "ready"_L1)
                serving = true;
            else if (equals > 0)
                settings.insert(line.left(equals), line.mid(equals + 1));
        }
    }

    QTemporaryDir prefix;
    QTemporaryDir folder;
    QProcess service;
    QProcess session;
    std::vector<std::unique_ptr<QProcess>> programs;
    QProcessEnvironment env;
    QHash<QString, QString> settings;
    QByteArray pending;
    bool serving = false;
    int feeds = 0;
};
