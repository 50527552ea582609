#include "StoreFiles.h"

#include "base/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>

namespace StoreFiles {

const QString key = QStringLiteral("guid");

QString storePath(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tovo/") + name + QStringLiteral(".conf");
}

QString freshStorePath()
{
    const QString path = storePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                                   QString::fromUtf8(QTest::currentDataTag()));
    const QString folder = QFileInfo(path).path();
    QDir(folder).removeRecursively();
    QFile::remove(folder); // a failed run may leave a file in its place
    return path;
}

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
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--child")} + command);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<child failed>");
    const QByteArray out = process.readAllStandardOutput();
    return out == "-" ? std::nullopt
                      : std::optional(QString::fromUtf8(QByteArray::fromBase64(out)));
}

void answer(const std::optional<QString>& value)
{
    std::fputs(value ? value->toUtf8().toBase64().constData() : "-", stdout);
}

unsigned modeOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace StoreFiles
