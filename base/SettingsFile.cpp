#include "base/SettingsFile.h"

#include "base/BaseLog.h"
#include "base/ConfigHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringDecoder>

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ownerOnlyFolder = ownerOnly | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions groupOrOthers =
    QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

struct Location {
    QString folder;
    QString name;
};

Location& standardLocation()
{
    static Location location;
    return location;
}

QString configFolder()
{
    return ConfigHome::path();
}

// QSettings reads almost anything as INI; a file that is not even text (a torn write, another
// program's data) counts as corrupt as well, rather than yielding whatever keys it happens to hold.
bool isText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // missing: an empty store
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Makes `path` and every missing folder above it with mode 0700, whatever the umask: folders made
// on the user's behalf are the user's alone.
bool makeFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.isDir();
    const QString parent = info.path();
    return (parent == path || makeFolder(parent)) && QDir().mkdir(path, ownerOnlyFolder);
}

} // namespace

QString SettingsFile::standardPath()
{
    const Location& location = standardLocation();
    const QString folder =
        location.name.isEmpty() ? QCoreApplication::organizationName() : location.folder;
    const QString name =
        location.name.isEmpty() ? QCoreApplication::applicationName() : location.name;
    return QDir::cleanPath(configFolder() + u'/' + folder + u'/' + name + QStringLiteral(".conf"));
}

void SettingsFile::setStandardLocation(const QString& folder, const QString& name)
{
    standardLocation() = {folder, name};
}

SettingsFile::SettingsFile(QString filePath)
    : m_filePath(std::move(filePath))
    , m_inOwnFolder(QFileInfo(QFileInfo(m_filePath).absolutePath()).path() == configFolder())
{
    const QSettings file(m_filePath, QSettings::IniFormat);
    m_corrupt = file.status() != QSettings::NoError || !isText(m_filePath);
    if (m_corrupt)
        qCDebug(lcBase) << "settings file" << QFileInfo(m_filePath).fileName()
                        << "does not parse: read as empty";
    if (!m_corrupt) {
        for (const QString& key : file.allKeys()) {
            // QSettings lists keys as the file spells them ("guid/", "a//b") but looks them up
            // in their normal form: written back, such a key would overwrite that one.
            if (key.split(u'/', Qt::SkipEmptyParts).join(u'/') == key)
                m_saved.insert(key, file.value(key));
        }
    }
    m_values = m_saved;
}

std::optional<QString> SettingsFile::string(const QString& key) const
{
    const QMutexLocker lock(&m_mutex);
    const QVariant value = m_values.value(key);
    // Only texts count: anything else (a list an editor left behind) is not a string.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

void SettingsFile::setString(const QString& key, const QString& value)
{
    const QMutexLocker lock(&m_mutex);
    m_values.insert(key, value);
}

bool SettingsFile::sync()
{
    const QMutexLocker lock(&m_mutex);
    if (m_values == m_saved)
        return true;
    const bool written = write();
    qCDebug(lcBase) << "settings file" << QFileInfo(m_filePath).fileName()
                    << (written ? "written" : "not written: the old contents stay");
    if (!written) {
        m_values = m_saved;
        return false;
    }
    m_saved = m_values;
    m_corrupt = false;
    return true;
}

// Replaces the whole file with m_values. QSettings writes a new file and renames it over the old
// one, so the file holds either the old contents or the new ones, never a mix.
bool SettingsFile::write() const
{
    // Start over from an empty file rather than keep whatever part of a corrupt one QSettings read.
    if (m_corrupt)
        QFile::remove(m_filePath);
    if (!prepareFile())
        return false;
    clearStaleLock();
    // A QSettings of its own for each write: its status keeps the first error it ever met, so a
    // long-lived one could not tell whether a later write worked.
    QSettings file(m_filePath, QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        return false;
    const auto replaceAll = [&file](const QVariantMap& values) {
        file.clear();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            file.setValue(it.key(), it.value());
    };
    replaceAll(m_values);
    file.sync();
    if (file.status() != QSettings::NoError) {
        // Every QSettings on this file shares what is yet to be written; leave only what the file
        // holds there, or the next one opened on it would write the failed change after all.
        replaceAll(m_saved);
        return false;
    }
    // QSettings keeps the mode of the file it replaces; set it again all the same in case the
    // file was made by someone else.
    QFile::setPermissions(m_filePath, ownerOnly);
    removeLeftovers();
    return true;
}

// QSettings waits for its lock file for up to 30 s when the file does not name a live owner: a
// write killed right after making it would stall the next one that long. One process per program
// writes the file and a write takes milliseconds, so a lock a second old is a leftover.
void SettingsFile::clearStaleLock() const
{
    QLockFile lock(m_filePath + QStringLiteral(".lock"));
    lock.setStaleLockTime(std::chrono::seconds(1));
    if (lock.tryLock(std::chrono::seconds(2)))
        lock.unlock();
}

// A write killed between QSaveFile's naming of the new file and its rename leaves that file
// behind as "<file>.XXXXXX", with a copy of the settings in it.
void SettingsFile::removeLeftovers() const
{
    const QFileInfo info(m_filePath);
    const QDir folder = info.dir();
    const QStringList leftovers = folder.entryList({info.fileName() + QStringLiteral(".??????")},
                                                   QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : leftovers)
        QFile::remove(folder.filePath(name));
}

// Makes the folder (0700; ours is narrowed to that should it be wider) and an empty file with mode
// 0600 before QSettings first writes it, so that the file is never open to others.
bool SettingsFile::prepareFile() const
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!makeFolder(folder))
        return false;
    if (m_inOwnFolder && (QFile::permissions(folder) & groupOrOthers))
        QFile::setPermissions(folder, ownerOnlyFolder);
    QFile file(m_filePath);
    if (!file.exists() && file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        file.close();
    return true;
}
