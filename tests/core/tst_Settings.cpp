#include "base/SettingsFile.h"
#include "core/Keychain.h"
#include "core/SettingsItem.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>

// The store files, the settings item's read and write rules on a store of its own, and the token
// store on the program's standard store. Runs under umask 000, so every mode checked is the
// store's own doing. What the next start sees is asked of a child process of this program:
// "--child read <file>" prints the "guid" of a store file, "--child token <application id>
// [<token>]" stores the token (or none) and prints the stored one as that program.
namespace {

const QString key = u"guid"_qs;

QString storePath(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/tovo/"_qs +
           name + u".conf"_qs;
}

// What a file on disk holds under "guid", read by a fresh store.
std::optional<QString> onDisk(const QString& path)
{
    return SettingsFile(path).string(key);
}

void overwriteOnDisk(const QString& path, const QString& value)
{
    SettingsFile other(path);
    other.setString(key, value);
    QVERIFY(other.sync());
}

std::optional<QString> child(const QStringList& command)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), QStringList{u"--child"_qs} + command);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return u"<child failed>"_qs;
    const QByteArray out = process.readAllStandardOutput();
    return out == "-" ? std::nullopt
                      : std::optional(QString::fromUtf8(QByteArray::fromBase64(out)));
}

int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    std::optional<QString> value;
    if (arguments.at(2) == u"read") {
        value = onDisk(arguments.at(3));
    } else {
        SettingsFile::setStandardLocation(u"tovo"_qs, arguments.at(3));
        Keychain keychain(u"tovo"_qs);
        keychain.storeToken(arguments.size() > 4 ? std::optional(arguments.at(4)) : std::nullopt);
        value = keychain.storedToken();
    }
    std::fputs(value ? value->toUtf8().toBase64().constData() : "-", stdout);
    return 0;
}

QString describe(const SettingsValue& value)
{
    const char* const kinds[] = {"text ", "int ", "bool "};
    return QString::fromLatin1(kinds[value.index()]) + textForm(value);
}

unsigned modeOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

class tst_Settings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_path = storePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                           QString::fromUtf8(QTest::currentDataTag()));
        m_folder = QFileInfo(m_path).path();
        QDir(m_folder).removeRecursively();
        QFile::remove(m_folder); // a failed run may leave a file in its place
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

    void readRules_data()
    {
        QTest::addColumn<SettingsValue>("defaultValue");
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<QString>("expected");

        const auto row = [](const SettingsValue& defaultValue, const std::optional<QString>& stored,
                            const QString& expected) {
            QTest::addRow("%s, %s", qPrintable(describe(defaultValue)),
                          stored ? qPrintable(u'"' + *stored + u'"') : "nothing stored")
                << defaultValue << stored << expected;
        };
        // A number default: a whole decimal integer, else a boolean that is true only for "true".
        const SettingsValue five = qint64(5);
        row(five, u"42"_qs, u"int 42"_qs);
        row(five, u"-7"_qs, u"int -7"_qs);
        row(five, u"+3"_qs, u"int 3"_qs);
        row(five, u"9223372036854775807"_qs, u"int 9223372036854775807"_qs);
        row(five, u"true"_qs, u"bool 1"_qs);
        for (const QString& stored : {u"TRUE"_qs, u""_qs, u"-"_qs, u"+-1"_qs, u"12a"_qs, u" 42"_qs,
                                      u"9223372036854775808"_qs, u"\u0664\u0662"_qs})
            row(five, stored, u"bool 0"_qs);
        row(five, std::nullopt, u"int 5"_qs);
        // A text default: the stored text as it is.
        row(u"default"_qs, std::nullopt, u"text default"_qs);
        row(u"default"_qs, u""_qs, u"text "_qs);
        row(u"default"_qs, u"0042"_qs, u"text 0042"_qs);
    }

    void readRules()
    {
        QFETCH(SettingsValue, defaultValue);
        QFETCH(std::optional<QString>, stored);
        QFETCH(QString, expected);
        if (stored)
            overwriteOnDisk(m_path, *stored);
        SettingsFile defaults(m_path);
        QCOMPARE(describe(SettingsItem(key, defaultValue, defaults).value()), expected);
        QCOMPARE(onDisk(m_path), stored); // reading wrote nothing
    }

    // Whether the item wrote is seen by changing the file behind its back first: a write replaces
    // that change. Each write is synchronised at once.
    void writesOnlyOnChange()
    {
        const auto writes = [this](SettingsItem& item, const SettingsValue& value) {
            overwriteOnDisk(m_path, u"changed elsewhere"_qs);
            item.setValue(value);
            return onDisk(m_path) != u"changed elsewhere"_qs;
        };
        SettingsFile defaults(m_path);
        SettingsItem text(key, QString(), defaults);
        QVERIFY(!writes(text, QString())); // equal to the default
        QVERIFY(writes(text, u"g1"_qs));
        QCOMPARE(onDisk(m_path), std::optional(u"g1"_qs));
        QVERIFY(!writes(text, u"g1"_qs));
        QVERIFY(writes(text, u"Caf\u00e9"_qs));
        QVERIFY(!writes(text, u"Cafe\u0301"_qs)); // canonically equal
        QCOMPARE(describe(text.value()), u"text Caf\u00e9"_qs);
        QVERIFY(writes(text, QString())); // clearing is a change like any other
        QCOMPARE(onDisk(m_path), std::optional(QString()));

        // A number item compares text forms: the text "42" is no change, and the integer stays.
        overwriteOnDisk(m_path, u"42"_qs);
        SettingsFile numbers(m_path);
        SettingsItem number(key, qint64(0), numbers);
        QVERIFY(!writes(number, u"42"_qs));
        QCOMPARE(describe(number.value()), u"int 42"_qs);
        QVERIFY(writes(number, true));
        QCOMPARE(onDisk(m_path), std::optional(u"1"_qs));
        QVERIFY(writes(number, qint64(-12)));
        QCOMPARE(onDisk(m_path), std::optional(u"-12"_qs));
    }

    // A write that fails (a full disk) leaves the file, the store and the item as they were, so
    // that writing the same value again still writes it. Both ways fail for root as well.
    void failedWriteKeepsTheOldValue_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("file size limit") << false;
        QTest::newRow("folder is a file") << true;
    }

    void failedWriteKeepsTheOldValue()
    {
        QFETCH(bool, folderIsAFile);
        QFile blocker(m_folder);
        QVERIFY(folderIsAFile ? blocker.open(QIODevice::WriteOnly) : QDir().mkpath(m_folder));
        const std::optional<QString> old = folderIsAFile ? std::nullopt : std::optional(u"old"_qs);
        if (old)
            overwriteOnDisk(m_path, *old);
        SettingsFile defaults(m_path);
        SettingsItem item(key, QString(), defaults);

        rlimit limit{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit noFileGrows{0, limit.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, folderIsAFile ? &limit : &noFileGrows), 0);
        const bool stored = item.setValue(u"new"_qs);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        QVERIFY(!stored);
        QCOMPARE(describe(item.value()), u"text "_qs + old.value_or(QString()));
        QCOMPARE(defaults.string(key), old);
        QCOMPARE(onDisk(m_path), old);

        QVERIFY(!folderIsAFile || blocker.remove());
        QVERIFY(item.setValue(u"new"_qs));
        QCOMPARE(onDisk(m_path), std::optional(u"new"_qs));
    }

    // Each program keeps its own store. Storing no token keeps the stored one (the child stores
    // none when it is given none); an empty one clears it.
    void tokenAcrossStartsAndPrograms()
    {
        const QString tray = u"tovo.TOVO"_qs;
        const QString today = u"tovo.TOVO.TOVOToday"_qs;
        const QString token = u"token"_qs;
        // A write killed right after making its lock file leaves it empty: the next one goes on
        // (rather than waiting out the lock for as long as the child is given).
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY(QFile(storePath(today) + u".lock"_qs).open(QIODevice::WriteOnly));
        QCOMPARE(child({token, today, u"from-widget"_qs}), std::optional(u"from-widget"_qs));
        QCOMPARE(child({token, today}), std::optional(u"from-widget"_qs));
        QCOMPARE(child({token, tray}), std::nullopt);
        QCOMPARE(onDisk(storePath(today)), std::optional(u"from-widget"_qs));

        QCOMPARE(child({token, tray, u"from-url"_qs}), std::optional(u"from-url"_qs));
        QCOMPARE(child({token, tray}), std::optional(u"from-url"_qs));
        QCOMPARE(child({token, today}), std::optional(u"from-widget"_qs));
        QCOMPARE(onDisk(storePath(tray)), std::optional(u"from-url"_qs));

        QCOMPARE(child({token, tray, QString()}), std::nullopt);
        QCOMPARE(onDisk(storePath(tray)), std::optional(QString()));
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
    // Writes past a file size limit fail instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    tst_Settings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Settings.moc"
