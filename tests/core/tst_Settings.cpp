// The settings item's read and write rules, and the token store; what the next start sees is
// asked of a child process of this program (StoreFiles::child).

#include "StoreFiles.h"
#include "base/SettingsFile.h"
#include "core/Keychain.h"
#include "core/SettingsItem.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

using namespace StoreFiles;

const QString key = u"guid"_qs;

// "--child token <application id> [<token>]": stores the token (or none) as that program and
// answers the one stored.
int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    SettingsFile::setStandardLocation(u"tovo"_qs, arguments.at(3));
    Keychain keychain(u"tovo"_qs);
    keychain.storeToken(arguments.size() > 4 ? std::optional(arguments.at(4)) : std::nullopt);
    answer(keychain.storedToken());
    return 0;
}

QString describe(const SettingsValue& value)
{
    const char* const kinds[] = {"text ", "int ", "bool "};
    return QString::fromLatin1(kinds[value.index()]) + textForm(value);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_path = freshStorePath();
        m_folder = QFileInfo(m_path).path();
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
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    // Writes past a file size limit fail instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Settings.moc"
