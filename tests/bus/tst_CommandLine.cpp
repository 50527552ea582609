// The three programs' command lines: --help, --version and a bad option are answered on the
// right stream with the right status before anything starts (no display, no session bus, no
// settings file), and what the programs take besides is let through.

#include "Identity.h"

#include <QDir>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    // A session bus that no program may connect to.
    QLocalServer m_bus;

    static QString binary(const QString& program)
    {
        if (program == Identity::trayProgram)
            return QStringLiteral(TOVO_TRAY_BINARY);
        return program == Identity::todayProgram ? QStringLiteral(TOVO_TODAY_BINARY)
                                                 : QStringLiteral(TOVO_LAUNCHER_BINARY);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_bus.listen(m_dir.filePath(u"bus"_s))); }

    void answersBeforeAnythingStarts_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // how standard output starts; empty: nothing on it
        QTest::addColumn<QString>("err"); // the same for standard error
        const auto row = [](const QString& program, const char* name, const QStringList& arguments,
                            int exitCode, const QString& out, const QString& err) {
            QTest::addRow("%s %s", qPrintable(program), name)
                << program << arguments << exitCode << out << err;
        };
        for (const QString& program :
             {Identity::trayProgram, Identity::todayProgram, Identity::launcherProgram}) {
            const QString usage = u"Usage: %1 [options]"_s.arg(program);
            const QString version = program + u' ' + Identity::version + u'\n';
            row(program, "help", {u"--help"_s}, 0, usage, {});
            row(program, "-h", {u"-h"_s}, 0, usage, {});
            row(program, "version", {u"--version"_s}, 0, version, {});
            row(program, "-v", {u"-v"_s}, 0, version, {});
            row(program, "unknown option", {u"--frobnicate"_s}, 2, {},
                u"%1: Unknown option 'frobnicate'.\n%2"_s.arg(program, usage));
        }
        row(Identity::trayProgram, "usage", {u"-x"_s}, 2, {},
            u"tovo: Unknown option 'x'.\nUsage: tovo [options] [launched] [URL...]\n"
            "Try 'tovo --help' for more information.\n"_s);
        row(Identity::trayProgram, "missing value", {u"-platform"_s}, 2, {},
            u"tovo: Missing value after '-platform'."_s);
        // What the programs took before keeps working: their arguments, the bus's activation
        // flag and Qt's options.
        row(Identity::trayProgram, "its arguments",
            {u"launched"_s, u"tovo://START"_s, u"--dbus-activated"_s, u"--version"_s}, 0,
            u"tovo "_s, {});
        row(Identity::todayProgram, "Qt's options",
            {u"-platform"_s, u"offscreen"_s, u"--style=fusion"_s, u"-reverse"_s, u"-display"_s,
             u":5"_s, u"-qwindowgeometry"_s, u"10x10"_s, u"-v"_s},
            0, u"tovo-today "_s, {});
        // A program without a window has no use for them.
        row(Identity::launcherProgram, "no Qt GUI options", {u"-platform"_s, u"offscreen"_s}, 2, {},
            u"tovo-launcher: Unknown option 'platform'."_s);
    }

    void answersBeforeAnythingStarts()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);

        // No display to reach: a GUI application object on X11 without DISPLAY aborts.
        const QTemporaryDir config;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path="_s + m_bus.fullServerName());
        environment.insert(u"XDG_CONFIG_HOME"_s, config.path());

        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(binary(program), arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QString standardOutput = QString::fromUtf8(process.readAllStandardOutput());
        const QString standardError = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(out.isEmpty() ? standardOutput.isEmpty() : standardOutput.startsWith(out),
                 qPrintable(standardOutput));
        QVERIFY2(err.isEmpty() ? standardError.isEmpty() : standardError.startsWith(err),
                 qPrintable(standardError));
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY(!m_bus.waitForNewConnection(0));
        QVERIFY(QDir(config.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
