// The settings files: owner-only files in owner-only folders, what the next start reads back, and
// corrupt files. Runs under umask 000, so every mode checked is the store's own doing.

#include "StoreFiles.h"
#include "base/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

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

// A file of `size` bytes, mode 0666, that holds "guid=<value>".
void plant(const QString& path, const QByteArray& value, qsizetype size = 0)
{
    QFile file(path);
    const QByteArray text = "[General]\nguid=" + value + "\n";
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    QVERIFY(file.write(QByteArray(std::max<qsizetype>(size - text.size(), 0), ' ')) >= 0);
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
        QTest::newRow("non-ascii") << std::optional(u"caf\u00e9 \u2603 \U0001F600"_qs);
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
        }
        QCOMPARE(child({u"read"_qs, m_path}), value);
        QCOMPARE(modeOf(m_path), 0600u);
        QCOMPARE(modeOf(m_folder), 0700u);
    }

    // A corrupt file reads as empty (the fuzz corpus has binary ones) and is replaced by a clean
    // one on the next write; an existing file and folder lose their wider permissions, and what an
    // interrupted write left goes.
    void existingFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<std::optional<QString>>("read");
        QTest::newRow("valid") << QByteArray("[General]\nguid=old\n") << std::optional(u"old"_qs);
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

    // Whoever else can write the folder could steer the file: such a folder is not used. The
    // program's own folder is narrowed first; any other is left as it is.
    void foldersOthersCanWrite_data()
    {
        QTest::addColumn<QString>("folder"); // under the program's own folder, but "": that one
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("used");
        QTest::newRow("own folder, open to all") << QString() << 0777 << false << true;
        QTest::newRow("open to all") << u"shared"_qs << 0777 << false << false;
        QTest::newRow("open to the group") << u"shared"_qs << 0770 << false << false;
        QTest::newRow("read by others") << u"shared"_qs << 0755 << false << true;
        QTest::newRow("another user's") << u"shared"_qs << 0700 << true << false;
        QTest::newRow("own folder, another user's") << QString() << 0700 << true << false;
    }

    void foldersOthersCanWrite()
    {
        QFETCH(QString, folder);
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        QFETCH(bool, used);
        if (otherOwner && ::geteuid() != 0)
            QSKIP("handing a folder to another user takes root");
        const QString path = folder.isEmpty() ? m_path : m_folder + u'/' + folder + u"/s.conf"_qs;
        const QString parent = QFileInfo(path).path();
        QVERIFY(QDir().mkpath(parent));
        plant(path, "planted");
        QVERIFY(::chmod(QFile::encodeName(parent).constData(), static_cast<mode_t>(mode)) == 0);
        QVERIFY(!otherOwner || ::chown(QFile::encodeName(parent).constData(), 65534, 65534) == 0);

        SettingsFile defaults(path);
        QCOMPARE(defaults.string(key), used ? std::optional(u"planted"_qs) : std::nullopt);
        defaults.setString(key, u"fresh"_qs);
        QCOMPARE(defaults.sync(), used);
        QCOMPARE(modeOf(parent), folder.isEmpty() && !otherOwner ? 0700u : unsigned(mode));
        QVERIFY(!otherOwner || ::chown(QFile::encodeName(parent).constData(), 0, 0) == 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), used ? "[General]\nguid=fresh\n" : "[General]\nguid=planted\n");
    }

    // Neither the file nor its folder is reached through a symlink: what it points at is never
    // read, written or narrowed. A file in its place that is not the user's is not read.
    void noSymlinkFollowed_data()
    {
        QTest::addColumn<QString>("link"); // "file", "folder", or "foreign file"
        QTest::newRow("file is a symlink") << u"file"_qs;
        QTest::newRow("folder is a symlink") << u"folder"_qs;
        QTest::newRow("another user's file") << u"foreign file"_qs;
    }

    void noSymlinkFollowed()
    {
        QFETCH(QString, link);
        if (link == u"foreign file" && ::geteuid() != 0)
            QSKIP("handing a file to another user takes root");
        const QString victim = m_folder + u"-victim"_qs;
        const QString target = victim + u'/' + QFileInfo(m_path).fileName();
        QDir(victim).removeRecursively();
        QVERIFY(QDir().mkpath(victim) && QFile::setPermissions(victim, QFile::Permissions(0x7755)));
        plant(target, "victim");
        QVERIFY(QDir().mkpath(link == u"folder" ? QFileInfo(m_folder).path() : m_folder));
        if (link == u"foreign file") {
            QVERIFY(QFile::rename(target, m_path));
            QVERIFY(::chown(QFile::encodeName(m_path).constData(), 65534, 65534) == 0);
        } else {
            QVERIFY(QFile::link(link == u"file" ? target : victim,
                                link == u"file" ? m_path : m_folder));
        }

        SettingsFile defaults(m_path);
        QCOMPARE(defaults.string(key), std::nullopt);
        defaults.setString(key, u"fresh"_qs);
        QCOMPARE(defaults.sync(), link != u"folder");
        QCOMPARE(modeOf(victim), 0755u);
        QCOMPARE(QDir(victim).entryList(QDir::Files).size(), link == u"foreign file" ? 0 : 1);
        QCOMPARE(modeOf(target), link == u"foreign file" ? 0u : 0666u);
        if (link != u"foreign file")
            QCOMPARE(onDisk(m_folder + u"-victim/"_qs + QFileInfo(m_path).fileName()),
                     std::optional(u"victim"_qs));
        if (link != u"folder") {
            QVERIFY(!QFileInfo(m_path).isSymLink());
            QCOMPARE(modeOf(m_path), 0600u);
            QCOMPARE(onDisk(m_path), std::optional(u"fresh"_qs));
        }
    }

    // A file above the size bound reads as empty and goes aside, untouched, on the next write.
    void oversizedFileKeptAside_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<int>("keptAside"); // files of that size beside the new one
        QTest::newRow("at the bound") << qsizetype(64 * 1024) << 0;
        QTest::newRow("above the bound") << qsizetype(64 * 1024 + 1) << 1;
        QTest::newRow("above it twice") << qsizetype(64 * 1024 + 1) << 2;
    }

    void oversizedFileKeptAside()
    {
        QFETCH(qsizetype, size);
        QFETCH(int, keptAside);
        QVERIFY(QDir().mkpath(m_folder));
        for (int write = 0; write < std::max(keptAside, 1); ++write) {
            plant(m_path, "old", size);
            SettingsFile defaults(m_path);
            QCOMPARE(defaults.string(key), keptAside ? std::nullopt : std::optional(u"old"_qs));
            defaults.setString(key, u"fresh"_qs);
            QVERIFY(defaults.sync());
        }
        QCOMPARE(onDisk(m_path), std::optional(u"fresh"_qs));
        const QString name = QFileInfo(m_path).fileName();
        QStringList expected = {name};
        if (keptAside > 0)
            expected << name + u".oversized"_qs;
        if (keptAside > 1)
            expected << name + u".oversized.2"_qs;
        QCOMPARE(QDir(m_folder).entryList(QDir::Files, QDir::Name), expected);
        for (const QString& aside : expected.mid(1))
            QCOMPARE(QFileInfo(m_folder + u'/' + aside).size(), size);
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
