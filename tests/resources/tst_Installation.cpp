// An install into a fresh prefix (with a blank in its path) gives valid desktop entries and
// AppStream data, entries and bus services that name the installed programs (quoted), and a tray
// application that the bus can start from there.

#include "ApplicationClient.h"
#include "PrivateBus.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestInstallation : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_prefix;

    QString installed(const QString& relative) const { return m_prefix + u"/share/"_s + relative; }

private Q_SLOTS:
    void initTestCase()
    {
        m_prefix = m_dir.filePath(u"my prefix"_s);
        for (const char* folder : {"resources", "app", "launcher"}) {
            const QString script =
                QStringLiteral(TOVO_BUILD_DIR "/%1/cmake_install.cmake").arg(QLatin1String(folder));
            QCOMPARE(QProcess::execute(QStringLiteral(TOVO_CMAKE),
                                       {u"-DCMAKE_INSTALL_PREFIX="_s + m_prefix, u"-P"_s, script}),
                     0);
        }
    }

    void entriesNameTheInstalledPrograms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("line"); // with "<prefix>" for the install prefix
        const auto row = [](const char* file, const char* line) {
            QTest::addRow("%s %s", file, line) << file << line;
        };
        row("applications/tovo.TOVO.desktop", "Exec=\"<prefix>/bin/tovo\" %u");
        row("applications/tovo.TOVO.desktop", "MimeType=x-scheme-handler/tovo;");
        row("applications/tovo.TOVO.desktop", "DBusActivatable=true");
        row("applications/tovo.TOVO.TOVOLauncher.desktop",
            "Exec=\"<prefix>/libexec/tovo-launcher\"");
        row("dbus-1/services/tovo.TOVO.service", "Exec=\"<prefix>/bin/tovo\" --dbus-activated");
        row("dbus-1/services/tovo.TOVO.TOVOToday.service",
            "Exec=\"<prefix>/bin/tovo-today\" --dbus-activated");
    }

    void entriesNameTheInstalledPrograms()
    {
        QFETCH(QString, file);
        QFETCH(QString, line);
        QFile entry(installed(file));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString expected = u'\n' + line.replace(u"<prefix>"_s, m_prefix) + u'\n';
        QVERIFY2(QString::fromUtf8(entry.readAll()).contains(expected), qPrintable(expected));
    }

    void validatorsAccept()
    {
        for (const char* id : {"tovo.TOVO", "tovo.TOVO.TOVOToday", "tovo.TOVO.TOVOLauncher"}) {
            const QString entry = installed(u"applications/%1.desktop"_s.arg(QLatin1String(id)));
            QCOMPARE(QProcess::execute(u"desktop-file-validate"_s, {entry}), 0);
        }
        const QString metainfo = installed(u"metainfo/example.tovo.TOVO.metainfo.xml"_s);
        QCOMPARE(QProcess::execute(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, metainfo}), 0);
    }

    void busStartsTheInstalledTrayApplication()
    {
        PrivateBus bus;
        QVERIFY(bus.start());
        QVERIFY(QFile::copy(installed(u"dbus-1/services/tovo.TOVO.service"_s),
                            bus.serviceDirectory() + u"/tovo.TOVO.service"_s));
        const ApplicationClient tovo(bus.connect(u"test"_s), u"tovo.TOVO"_s);
        const QVariantList urls{QStringList{u"tovo://START"_s}, QVariantMap()};
        QCOMPARE(tovo.call(u"Open"_s, urls).type(), QDBusMessage::ReplyMessage);
        QVERIFY(tovo.isRunning());
        QVERIFY(tovo.terminate());
    }
};

QTEST_MAIN(TestInstallation)
#include "tst_Installation.moc"
