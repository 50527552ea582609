#include "core/Keychain.h"
#include "core/Settings.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>

// The settings item's read and write rules on a store of its own, and the token store on the
// program's standard store, across processes: "--child <application id> store <token>|read"
// runs this program as another start of that application.
namespace {

const QString key = u"guid"_qs;

QString storePath(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tovo/") + name + QStringLiteral(".conf");
}

// What a file on disk holds under "guid", read by a fresh store.
std::optional<QString> onDisk(const QString& path)
{
    return UserDefaults(path).string(key);
}

void overwriteOnDisk(const QString& path, const QString& value)
{
    UserDefaults other(path);
    other.setString(key, value);
    QVERIFY(other.synchronize());
}

QString child(const QString& applicationId, const QStringList& command)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--child"), applicationId} + command);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<child failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QCoreApplication::setApplicationName(arguments.at(2));
    Keychain keychain(QStringLiteral("tovo"));
    if (arguments.at(3) == u"store") {
        keychain.storeToken(arguments.at(4));
    } else {
        const std::optional<QString> token = keychain.storedToken();
        std::fputs(token ? qPrintable(*token) : "<none>", stdout);
    }
    return 0;
}

} // namespace

class tst_Settings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readRules_data();
    void readRules();
    void writesOnlyOnChange();
    void textFormOfNumbers();
    void tokenRules();
    void tokenAcrossStartsAndPrograms();

private:
    QString m_path;
};

void tst_Settings::init()
{
    m_path = storePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                       QString::fromLatin1(QTest::currentDataTag()));
    QFile::remove(m_path);
}

void tst_Settings::readRules_data()
{
    QTest::addColumn<SettingsValue>("defaultValue");
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<SettingsValue>("expected");

    // A number default: a whole decimal integer, else a boolean that is true only for "true".
    const auto number = [](const char* name, const QString& stored, const SettingsValue& expected) {
        QTest::newRow(name) << SettingsValue(qint64(5)) << std::optional<QString>(stored)
                            << expected;
    };
    number("42", u"42"_qs, SettingsValue(qint64(42)));
    number("-7", u"-7"_qs, SettingsValue(qint64(-7)));
    number("+3", u"+3"_qs, SettingsValue(qint64(3)));
    number("int64 max", u"9223372036854775807"_qs,
           SettingsValue(std::numeric_limits<qint64>::max()));
    number("true", u"true"_qs, SettingsValue(true));
    number("TRUE", u"TRUE"_qs, SettingsValue(false));
    number("empty", u""_qs, SettingsValue(false));
    number("lone minus", u"-"_qs, SettingsValue(false));
    number("two signs", u"+-1"_qs, SettingsValue(false));
    number("12a", u"12a"_qs, SettingsValue(false));
    number("blank around", u" 42"_qs, SettingsValue(false));
    number("beyond int64", u"9223372036854775808"_qs, SettingsValue(false));
    number("arabic-indic digits", u"\u0664\u0662"_qs, SettingsValue(false));
    QTest::newRow("number, nothing stored")
        << SettingsValue(qint64(5)) << std::optional<QString>() << SettingsValue(qint64(5));
    // A text default: the stored text as it is.
    QTest::newRow("text, nothing stored")
        << SettingsValue(u"default"_qs) << std::optional<QString>() << SettingsValue(u"default"_qs);
    QTest::newRow("text, empty") << SettingsValue(u"default"_qs) << std::optional<QString>(u""_qs)
                                 << SettingsValue(u""_qs);
    QTest::newRow("text, digits") << SettingsValue(u"default"_qs)
                                  << std::optional<QString>(u"0042"_qs)
                                  << SettingsValue(u"0042"_qs);
}

void tst_Settings::readRules()
{
    QFETCH(SettingsValue, defaultValue);
    QFETCH(std::optional<QString>, stored);
    QFETCH(SettingsValue, expected);
    if (stored)
        overwriteOnDisk(m_path, *stored);
    UserDefaults defaults(m_path);
    const SettingsItem item(key, defaultValue, defaults);
    QCOMPARE(item.value().index(), expected.index());
    QVERIFY(item.value() == expected);
    QCOMPARE(onDisk(m_path), stored); // reading wrote nothing
}

// Whether the item wrote is seen by changing the file behind its back first: a write would
// replace that change.
void tst_Settings::writesOnlyOnChange()
{
    UserDefaults defaults(m_path);
    SettingsItem item(key, QString(), defaults);
    item.setValue(QString());
    QVERIFY(!QFile::exists(m_path)); // equal to the default: nothing written

    item.setValue(u"g1"_qs);
    QCOMPARE(onDisk(m_path), std::optional<QString>(u"g1"_qs)); // written and synchronised

    overwriteOnDisk(m_path, u"changed elsewhere"_qs);
    item.setValue(u"g1"_qs);
    QCOMPARE(onDisk(m_path), std::optional<QString>(u"changed elsewhere"_qs));
    item.setValue(u"Caf\u00e9"_qs);
    overwriteOnDisk(m_path, u"changed elsewhere"_qs);
    item.setValue(u"Cafe\u0301"_qs); // canonically equal: no write
    QCOMPARE(onDisk(m_path), std::optional<QString>(u"changed elsewhere"_qs));
    QCOMPARE(std::get<QString>(item.value()), u"Caf\u00e9"_qs);

    item.setValue(QString()); // clearing is a change like any other
    QCOMPARE(onDisk(m_path), std::optional<QString>(u""_qs));
    QCOMPARE(std::get<QString>(item.value()), QString());
}

void tst_Settings::textFormOfNumbers()
{
    overwriteOnDisk(m_path, u"42"_qs);
    UserDefaults defaults(m_path);
    SettingsItem item(key, qint64(0), defaults);
    QCOMPARE(item.description(), u"42"_qs);

    // The text "42" equals the integer's text form: no write, and the cached integer stays.
    overwriteOnDisk(m_path, u"changed elsewhere"_qs);
    item.setValue(u"42"_qs);
    QCOMPARE(item.value().index(), SettingsValue(qint64(0)).index());
    QCOMPARE(onDisk(m_path), std::optional<QString>(u"changed elsewhere"_qs));

    item.setValue(true);
    QCOMPARE(onDisk(m_path), std::optional<QString>(u"1"_qs));
    item.setValue(qint64(-12));
    QCOMPARE(onDisk(m_path), std::optional<QString>(u"-12"_qs));
}

void tst_Settings::tokenRules()
{
    QCoreApplication::setApplicationName(u"tovo.TOVO.tokenRules"_qs);
    const QString path = storePath(QCoreApplication::applicationName());
    Keychain keychain(u"tovo"_qs);
    QCOMPARE(keychain.storedToken(), std::nullopt); // fresh installation
    QCOMPARE(Settings::common().GUID().description(), QString());

    keychain.storeToken(u"g1"_qs);
    QCOMPARE(keychain.storedToken(), std::optional<QString>(u"g1"_qs));
    QCOMPARE(Keychain(u"tovotoday"_qs).storedToken(), std::optional<QString>(u"g1"_qs));
    QCOMPARE(Settings::common().GUID().description(), u"g1"_qs);
    QCOMPARE(onDisk(path), std::optional<QString>(u"g1"_qs));

    keychain.storeToken(std::nullopt);
    QCOMPARE(keychain.storedToken(), std::optional<QString>(u"g1"_qs));

    keychain.storeToken(u""_qs);
    QCOMPARE(keychain.storedToken(), std::nullopt);
    QCOMPARE(onDisk(path), std::optional<QString>(u""_qs));
}

void tst_Settings::tokenAcrossStartsAndPrograms()
{
    const QString tray = u"tovo.TOVO"_qs;
    const QString today = u"tovo.TOVO.TOVOToday"_qs;
    QCOMPARE(child(tray, {u"read"_qs}), u"<none>"_qs);

    QCOMPARE(child(today, {u"store"_qs, u"from-widget"_qs}), QString());
    QCOMPARE(child(today, {u"read"_qs}), u"from-widget"_qs);
    QCOMPARE(child(tray, {u"read"_qs}), u"<none>"_qs); // each program keeps its own

    QCOMPARE(child(tray, {u"store"_qs, u"from-url"_qs}), QString());
    QCOMPARE(child(tray, {u"read"_qs}), u"from-url"_qs);
    QCOMPARE(child(today, {u"read"_qs}), u"from-widget"_qs);
}

int main(int argc, char** argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    tst_Settings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Settings.moc"
