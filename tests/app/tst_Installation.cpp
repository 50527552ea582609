// An install into a fresh prefix (with a blank in its path) gives valid desktop entries and
// AppStream data, entries and bus services that name the installed programs, and a tray
// application that the bus can start from there.

#include "ApplicationClient.h"
#include "PrivateBus.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class tst_Installation : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_prefix;

    static QString run(const QString& program, const QStringList& arguments, int* exitCode)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        process.waitForFinished(60000);
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromUtf8(process.readAll());
    }
    QString installed(const QString& relative) const
    {
        return m_prefix + QLatin1Char('/') + relative;
    }
    // The raw value of `key` (each key appears once in these files).
    QString entryValue(const QString& relative, const QString& key) const
    {
        QFile file(installed(relative));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString prefix = key + QLatin1Char('=');
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_prefix = m_dir.filePath(QStringLiteral("my prefix"));
        for (const char* folder : {"resources", "app", "launcher"}) {
            int code = 0;
            const QString output =
                run(QStringLiteral(TOVO_CMAKE),
                    {QStringLiteral("-DCMAKE_INSTALL_PREFIX=") + m_prefix, QStringLiteral("-P"),
                     QStringLiteral(TOVO_BUILD_DIR "/") + QLatin1String(folder) +
                         QStringLiteral("/cmake_install.cmake")},
                    &code);
            QVERIFY2(code == 0, qPrintable(output));
        }
    }

    void programsAndDataAreInPlace_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* path :
             {"bin/tovo", "libexec/tovo-launcher", "share/applications/tovo.TOVO.desktop",
              "share/applications/tovo.TOVO.TOVOToday.desktop",
              "share/applications/tovo.TOVO.TOVOLauncher.desktop",
              "share/dbus-1/services/tovo.TOVO.service",
              "share/dbus-1/services/tovo.TOVO.TOVOToday.service",
              "share/icons/hicolor/scalable/apps/tovo.TOVO.svg",
              "share/metainfo/example.tovo.TOVO.metainfo.xml"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void programsAndDataAreInPlace()
    {
        QFETCH(QString, path);
        QVERIFY(QFile::exists(installed(path)));
    }

    void entriesNameTheInstalledPrograms()
    {
        const QString bin = QLatin1Char('"') + installed(QStringLiteral("bin/"));
        QCOMPARE(entryValue(QStringLiteral("share/applications/tovo.TOVO.desktop"),
                            QStringLiteral("Exec")),
                 bin + QStringLiteral("tovo\" %u"));
        QCOMPARE(entryValue(QStringLiteral("share/applications/tovo.TOVO.desktop"),
                            QStringLiteral("MimeType")),
                 QStringLiteral("x-scheme-handler/tovo;"));
        QCOMPARE(entryValue(QStringLiteral("share/applications/tovo.TOVO.desktop"),
                            QStringLiteral("DBusActivatable")),
                 QStringLiteral("true"));
        QCOMPARE(entryValue(QStringLiteral("share/applications/tovo.TOVO.TOVOLauncher.desktop"),
                            QStringLiteral("Exec")),
                 QLatin1Char('"') + installed(QStringLiteral("libexec/tovo-launcher\"")));
        QCOMPARE(entryValue(QStringLiteral("share/dbus-1/services/tovo.TOVO.service"),
                            QStringLiteral("Exec")),
                 bin + QStringLiteral("tovo\" --dbus-activated"));
        QCOMPARE(entryValue(QStringLiteral("share/dbus-1/services/tovo.TOVO.TOVOToday.service"),
                            QStringLiteral("Exec")),
                 bin + QStringLiteral("tovo-today\" --dbus-activated"));
    }

    void validatorsAccept_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        const QString applications = installed(QStringLiteral("share/applications/"));
        for (const char* id : {"tovo.TOVO", "tovo.TOVO.TOVOToday", "tovo.TOVO.TOVOLauncher"}) {
            QTest::addRow("%s.desktop", id)
                << QStringLiteral("desktop-file-validate")
                << QStringList{applications + QLatin1String(id) + QStringLiteral(".desktop")};
        }
        QTest::newRow("metainfo") << QStringLiteral("appstreamcli")
                                  << QStringList{
                                         QStringLiteral("validate"), QStringLiteral("--no-net"),
                                         installed(QStringLiteral(
                                             "share/metainfo/example.tovo.TOVO.metainfo.xml"))};
    }

    void validatorsAccept()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        if (QStandardPaths::findExecutable(program).isEmpty())
            QSKIP("validator not installed");
        int code = 0;
        const QString output = run(program, arguments, &code);
        QVERIFY2(code == 0, qPrintable(output));
    }

    void busStartsTheInstalledTrayApplication()
    {
        PrivateBus bus;
        QVERIFY(bus.start());
        QVERIFY(QFile::copy(installed(QStringLiteral("share/dbus-1/services/tovo.TOVO.service")),
                            bus.serviceDirectory() + QStringLiteral("/tovo.TOVO.service")));
        const ApplicationClient tovo(bus.connect(QStringLiteral("test")),
                                     QStringLiteral("tovo.TOVO"));
        QCOMPARE(tovo.call(QStringLiteral("Open"),
                           {QStringList{QStringLiteral("tovo://START")}, QVariantMap()})
                     .type(),
                 QDBusMessage::ReplyMessage);
        QVERIFY(tovo.isRunning());
        QVERIFY(tovo.terminate());
    }
};

QTEST_MAIN(tst_Installation)
#include "tst_Installation.moc"
