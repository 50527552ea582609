// An install into a fresh prefix (with a blank in its path) gives valid desktop entries and
// AppStream data, entries and bus services that name the installed programs (quoted), and a tray
// application that the bus can start from there.

#include "ApplicationClient.h"
#include "PrivateBus.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Installation : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_prefix;

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
            const QString script =
                QStringLiteral(TOVO_BUILD_DIR "/%1/cmake_install.cmake").arg(QLatin1String(folder));
            QCOMPARE(QProcess::execute(QStringLiteral(TOVO_CMAKE),
                                       {QStringLiteral("-DCMAKE_INSTALL_PREFIX=") + m_prefix,
                                        QStringLiteral("-P"), script}),
                     0);
        }
    }

    void entriesNameTheInstalledPrograms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // with "<prefix>" for the install prefix
        const auto row = [](const char* file, const char* key, const char* value) {
            QTest::addRow("%s %s", file, key)
                << QString::fromLatin1(file) << QString::fromLatin1(key)
                << QString::fromLatin1(value);
        };
        row("applications/tovo.TOVO.desktop", "Exec", "\"<prefix>/bin/tovo\" %u");
        row("applications/tovo.TOVO.desktop", "MimeType", "x-scheme-handler/tovo;");
        row("applications/tovo.TOVO.desktop", "DBusActivatable", "true");
        row("applications/tovo.TOVO.TOVOLauncher.desktop", "Exec",
            "\"<prefix>/libexec/tovo-launcher\"");
        row("dbus-1/services/tovo.TOVO.service", "Exec", "\"<prefix>/bin/tovo\" --dbus-activated");
        row("dbus-1/services/tovo.TOVO.TOVOToday.service", "Exec",
            "\"<prefix>/bin/tovo-today\" --dbus-activated");
    }

    void entriesNameTheInstalledPrograms()
    {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(entryValue(QStringLiteral("share/") + file, key),
                 value.replace(QStringLiteral("<prefix>"), m_prefix));
    }

    void validatorsAccept()
    {
        for (const char* id : {"tovo.TOVO", "tovo.TOVO.TOVOToday", "tovo.TOVO.TOVOLauncher"}) {
            const QString entry =
                installed(QStringLiteral("share/applications/%1.desktop").arg(QLatin1String(id)));
            QCOMPARE(QProcess::execute(QStringLiteral("desktop-file-validate"), {entry}), 0);
        }
        const QString metainfo =
            installed(QStringLiteral("share/metainfo/example.tovo.TOVO.metainfo.xml"));
        QCOMPARE(
            QProcess::execute(QStringLiteral("appstreamcli"),
                              {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo}),
            0);
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
