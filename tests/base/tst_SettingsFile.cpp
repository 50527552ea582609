// The settings files: owner-only files in owner-only folders, what the next start reads back, and
// corrupt files. Runs under umask 000, so every mode checked is the store's own doing.

#include "StoreFiles.h"
#include "base/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/stat.h>

namespace {

using namespace StoreFiles;

const QString key = u"guid"_qs;

// "--child read <file>": answers the "guid" of a store file as the next start reads it.
int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    answer(onDisk(app.arguments().at(3)));
    return 0;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_path = freshStorePath();
        m_folder = QFileInfo(m_path).path();
    }

    void roundTripInNextProcess_data()
    {
        QTest::addColumn<std::optional<QString>>("value");
        QTest::newRow("empty") << std::optional(QString());
        QTest::newRow("comma") << std::optional(u"a,b"_qs);
        QTest::newRow("at sign first") << std::optional(u"@Variant(x)"_qs);
        QTest::newRow("ini syntax") << std::optional(u"[section]\nkey=value;#"_qs);
        QTest::newRow("non-ascii") << std::optional(u"caf\u00e9 \u2603 \U0001F600"_qs);
        QTest::newRow("control") << std::optional(u"a\tb\rc\u0001"_qs);
        QTest::newRow("missing") << std::optional<QString>();
    }

    // A new file and folder are the owner's only; only "other" is written for a missing "guid".
    void roundTripInNextProcess()
    {
        QFETCH(std::optional<QString>, value);
        {
            SettingsFile defaults(m_path);
            defaults.setString(u"other"_qs, u"x"_qs);
            if (value)
                defaults.setString(key, *value);
            QVERIFY(defaults.sync());
            QCOMPARE(defaults.string(key), value);
        }
        QCOMPARE(child({u"read"_qs, m_path}), value);
        QCOMPARE(modeOf(m_path), 0600u);
        QCOMPARE(modeOf(m_folder), 0700u);
    }

    // A corrupt file reads as empty and is replaced by a clean one on the next write; an existing
    // file and folder lose their wider permissions, and what an interrupted write left goes.
    void existingFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<std::optional<QString>>("read");
        QTest::newRow("valid") << QByteArray("[General]\nguid=old\n") << std::optional(u"old"_qs);
        QTest::newRow("binary tail")
            << QByteArray("[General]\nguid=old\n\xff\xfe\x00\x01", 23) << std::optional<QString>();
        QTest::newRow("unclosed section")
            << QByteArray("[General\nguid=old\n") << std::optional<QString>();
    }

    void existingFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(std::optional<QString>, read);
        QVERIFY(QDir().mkpath(m_folder));
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QVERIFY(QFile::setPermissions(m_path, QFile::Permissions(0x6644)));
        QVERIFY(QFile::copy(m_path, m_path + u".Ab12Cd"_qs));

        SettingsFile defaults(m_path);
        QCOMPARE(defaults.string(key), read);
        defaults.setString(key, u"fresh"_qs);
        QVERIFY(defaults.sync());
        QCOMPARE(child({u"read"_qs, m_path}), std::optional(u"fresh"_qs));
        QCOMPARE(modeOf(m_path), 0600u);
        QCOMPARE(modeOf(m_folder), 0700u);
        QVERIFY(!QFile::exists(m_path + u".Ab12Cd"_qs));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(!file.readAll().contains("old"), "the old content was kept");
    }

    // The configuration folder is $XDG_CONFIG_HOME only when that is an absolute path.
    void configurationFolder_data()
    {
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QString>("underHome"); // the folder's path below $HOME, "" for the
                                                // absolute $XDG_CONFIG_HOME
        QTest::newRow("absolute") << qgetenv("XDG_CONFIG_HOME") << QString();
        QTest::newRow("relative") << QByteArray("relcfg") << u"/.config"_qs;
        QTest::newRow("dot") << QByteArray(".") << u"/.config"_qs;
        QTest::newRow("empty") << QByteArray() << u"/.config"_qs;
    }

    void configurationFolder()
    {
        QFETCH(QByteArray, configHome);
        QFETCH(QString, underHome);
        const QByteArray absolute = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", configHome);
        SettingsFile::setStandardLocation(u"tovo"_qs, u"tovo.TOVO"_qs);
        const QString path = SettingsFile::standardPath();
        qputenv("XDG_CONFIG_HOME", absolute);
        QCOMPARE(path, (underHome.isEmpty() ? QString::fromLocal8Bit(absolute)
                                            : QDir::homePath() + underHome) +
                           u"/tovo/tovo.TOVO.conf"_qs);
    }

private:
    QString m_path;
    QString m_folder;
};

int main(int argc, char** argv)
{
    ::umask(0);
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestSettingsFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SettingsFile.moc"
