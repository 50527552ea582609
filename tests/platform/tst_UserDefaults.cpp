#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>

// Stores are checked from a second process of this program ("--read <file> <key>"), so what is
// seen is the file on disk and not a cache of this process.
namespace {

QString readInChild(const QString& file, const QString& key)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read"), file, key});
    if (!child.waitForFinished(30000))
        return QStringLiteral("<child failed>");
    return QString::fromUtf8(QByteArray::fromBase64(child.readAllStandardOutput().trimmed()));
}

int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    UserDefaults defaults(app.arguments().at(2));
    const std::optional<QString> value = defaults.string(app.arguments().at(3));
    const QByteArray out = value ? value->toUtf8().toBase64() : QByteArray("<missing>").toBase64();
    std::fputs(out.constData(), stdout);
    return 0;
}

// QFile reports the caller's own rights as "user" bits besides the owner's: leave those out.
constexpr QFileDevice::Permissions userBits =
    QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
constexpr QFileDevice::Permissions ownerReadWrite =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class tst_UserDefaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void standardStoreIsNamedAfterApplicationId();
    void roundTripInNextProcess_data();
    void roundTripInNextProcess();
    void missingKey();
    void fileIsOwnerOnly();
    void corruptFileReadsEmptyAndIsRewritten_data();
    void corruptFileReadsEmptyAndIsRewritten();

private:
    QString m_file;
};

void tst_UserDefaults::init()
{
    m_file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
             QStringLiteral("/tovo/%1.conf").arg(QString::fromLatin1(QTest::currentTestFunction()));
    QFile::remove(m_file);
}

void tst_UserDefaults::standardStoreIsNamedAfterApplicationId()
{
    UserDefaults::setApplicationId(QStringLiteral("tovo.TOVO.TOVOToday"));
    const QString expected =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/tovo/tovo.TOVO.TOVOToday.conf");
    QCOMPARE(UserDefaults::standard().filePath(), expected);
    UserDefaults::standard().setString(QStringLiteral("guid"), QStringLiteral("g"));
    QVERIFY(UserDefaults::standard().synchronize());
    QVERIFY(QFile::exists(expected));
}

void tst_UserDefaults::roundTripInNextProcess_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("guid") << u"a1b2-c3d4"_qs;
    QTest::newRow("empty") << QString();
    QTest::newRow("comma") << u"a,b"_qs;
    QTest::newRow("at sign first") << u"@Variant(x)"_qs;
    QTest::newRow("ini syntax") << u"[section]\nkey=value;#"_qs;
    QTest::newRow("non-ascii") << u"caf\u00e9 \u2603 \U0001F600"_qs;
    QTest::newRow("control") << u"a\tb\rc\u0001"_qs;
}

void tst_UserDefaults::roundTripInNextProcess()
{
    QFETCH(QString, value);
    {
        UserDefaults defaults(m_file);
        defaults.setString(QStringLiteral("guid"), value);
        QVERIFY(defaults.synchronize());
        QCOMPARE(defaults.string(QStringLiteral("guid")), std::optional<QString>(value));
    }
    QCOMPARE(readInChild(m_file, QStringLiteral("guid")), value);
}

void tst_UserDefaults::missingKey()
{
    UserDefaults defaults(m_file);
    QCOMPARE(defaults.string(QStringLiteral("guid")), std::nullopt);
    defaults.setString(QStringLiteral("other"), QStringLiteral("x"));
    QVERIFY(defaults.synchronize());
    QCOMPARE(defaults.string(QStringLiteral("guid")), std::nullopt);
    QCOMPARE(readInChild(m_file, QStringLiteral("guid")), QStringLiteral("<missing>"));
}

void tst_UserDefaults::fileIsOwnerOnly()
{
    // Also when the file was there before with wider permissions.
    writeFile(m_file, "[General]\nother=1\n");
    QFile::setPermissions(m_file, QFile::Permissions(0x6644));
    UserDefaults defaults(m_file);
    defaults.setString(QStringLiteral("guid"), QStringLiteral("secret-ish"));
    QVERIFY(defaults.synchronize());
    QCOMPARE(QFile::permissions(m_file) & ~userBits, ownerReadWrite);

    const QString fresh = m_file + QStringLiteral(".new");
    UserDefaults created(fresh);
    created.setString(QStringLiteral("guid"), QStringLiteral("x"));
    QVERIFY(created.synchronize());
    QCOMPARE(QFile::permissions(fresh) & ~userBits, ownerReadWrite);
}

void tst_UserDefaults::corruptFileReadsEmptyAndIsRewritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("binary tail") << QByteArray("[General]\nguid=old\n\xff\xfe\x00\x01", 23);
    QTest::newRow("unclosed section") << QByteArray("[General\nguid=old\n");
}

void tst_UserDefaults::corruptFileReadsEmptyAndIsRewritten()
{
    QFETCH(QByteArray, content);
    writeFile(m_file, content);
    UserDefaults defaults(m_file);
    QCOMPARE(defaults.string(QStringLiteral("guid")), std::nullopt);

    defaults.setString(QStringLiteral("guid"), QStringLiteral("fresh"));
    QVERIFY(defaults.synchronize());
    QCOMPARE(defaults.string(QStringLiteral("guid")), std::optional<QString>(u"fresh"_qs));
    QCOMPARE(readInChild(m_file, QStringLiteral("guid")), QStringLiteral("fresh"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(!file.readAll().contains("old"), "the corrupt content was kept");
}

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--read") == 0)
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    tst_UserDefaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_UserDefaults.moc"
