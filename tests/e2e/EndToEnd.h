#pragma once
// One end-to-end run: the project installed into a private prefix (cmake --install), the demo
// service as a child process, a headless desktop (Xvfb, trayer and dunst on a private session
// bus, as scripts/headless-session.sh sets them up) and the installed programs under test. All of
// it ends with this object, the programs first.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

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
    // and the session; false, with the reason in error(), when a part did not come up.
    bool start(const QStringList& serviceArguments)
    {
        if (!prefix.isValid() || !folder.isValid())
            return fail(prefix.errorString() + folder.errorString());
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(QStringLiteral(TOVO_E2E_CMAKE_COMMAND),
                    {QStringLiteral("--install"), QStringLiteral(TOVO_E2E_BUILD_DIR),
                     QStringLiteral("--prefix"), prefix.path()});
        if (!cmake.waitForFinished(120000) || cmake.exitStatus() != QProcess::NormalExit ||
            cmake.exitCode() != 0)
            return fail(QString::fromLocal8Bit(cmake.readAll()) + cmake.errorString());

        service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service.start(QStringLiteral(TOVO_E2E_DEMO_SERVICE), serviceArguments);
        if (!QTest::qWaitFor(
                [this] {
                    readService();
                    return serving || service.state() == QProcess::NotRunning;
                },
                60000) ||
            !serving)
            return fail(QStringLiteral("the demo service did not start"));

        // The session's bus activates the D-Bus services of the prefix's share folder.
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
        base.insert(QStringLiteral("XDG_DATA_DIRS"),
                    prefix.filePath(QStringLiteral("share:")) +
                        base.value(QStringLiteral("XDG_DATA_DIRS"),
                                   QStringLiteral("/usr/local/share:/usr/share")));
        base.insert(QStringLiteral("PATH"),
                    prefix.filePath(QStringLiteral("bin:")) + base.value(QStringLiteral("PATH")));
        const QString script = qEnvironmentVariable("TOVO_TEST_SOURCE_DIR") +
                               QStringLiteral("/scripts/headless-session.sh");
        QFile envFile(folder.filePath(QStringLiteral("session.env")));
        session.setProcessEnvironment(base);
        session.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        session.setStandardOutputFile(QProcess::nullDevice());
        session.start(script, {QStringLiteral("--env-file"), envFile.fileName(),
                               QStringLiteral("--notification-log"),
                               folder.filePath(QStringLiteral("notifications.log"))});
        if (!QTest::qWaitFor(
                [&] { return envFile.exists() || session.state() == QProcess::NotRunning; },
                60000) ||
            !envFile.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("the headless session did not start (%1)").arg(script));
        env = base;
        for (const QByteArray& line : envFile.readAll().split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                env.insert(QString::fromUtf8(line.left(equals)),
                           QString::fromUtf8(line.mid(equals + 1)));
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("TOVO_POLL_INTERVAL_SECONDS"));
        for (const char* key : {"TOVO_WEB_BASE", "TOVO_FEED_BASE", "SSL_CERT_FILE"})
            env.insert(QString::fromLatin1(key), demo(QString::fromLatin1(key)));
        return true;
    }

    QString error() const { return problem; }

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
        process.start(prefix.filePath(QStringLiteral("bin/") + program), arguments);
        return &process;
    }

    // {summary, body, desktop entry} of every notification the daemon received, in order.
    QList<QStringList> notifications() const
    {
        QFile log(folder.filePath(QStringLiteral("notifications.log")));
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

    // Whether a window of class `windowClass` is docked in the tray.
    bool trayShows(const QString& windowClass) const
    {
        // Docked icons are reparented into trayer's "panel" window; xwininfo indents a window's
        // children below it and names classes in parentheses: 0x600003 "t": ("tovo" "tovo")  22x22
        qsizetype panel = -1;
        const QString tree =
            tool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        for (const QString& line : tree.split(QLatin1Char('\n'))) {
            const qsizetype indent = line.indexOf(QStringLiteral("0x"));
            if (!line.trimmed().startsWith(QStringLiteral("0x")))
                continue;
            if (line.contains(QStringLiteral("(\"panel\" \"trayer\")")))
                panel = indent;
            else if (indent <= panel)
                panel = -1;
            else if (panel >= 0 && line.contains(QStringLiteral(": (\"%1\" ").arg(windowClass)))
                return true;
        }
        return false;
    }

    // Writes `window` ("root": the screen) to `fileName` in $TOVO_TEST_OUTPUT_DIR; the path, or
    // empty when that failed.
    QString screenshot(const QString& fileName,
                       const QString& window = QStringLiteral("root")) const
    {
        const QString folderPath = qEnvironmentVariable("TOVO_TEST_OUTPUT_DIR");
        if (folderPath.isEmpty() || !QDir().mkpath(folderPath))
            return {};
        const QString path = QDir(folderPath).filePath(fileName);
        QFile::remove(path);
        tool(QStringLiteral("import"), {QStringLiteral("-window"), window, path});
        return QFile::exists(path) ? path : QString();
    }

    // The output of an X11 tool run on the session's display.
    QString tool(const QString& program, const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
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

    bool fail(const QString& reason)
    {
        problem = reason;
        return false;
    }

    void readService()
    {
        // "KEY=value" lines up to "ready", then one line per answered request.
        pending += service.readAllStandardOutput();
        for (qsizetype newline = 0; (newline = pending.indexOf('\n')) >= 0;
             pending.remove(0, newline + 1)) {
            const QString line = QString::fromUtf8(pending.left(newline));
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (serving)
                feeds += line.startsWith(QStringLiteral("GET /rssalarms")) ? 1 : 0;
            else if (line == QStringLiteral("ready"))
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
    QString problem;
};
