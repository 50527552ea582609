#include "base/SettingsFile.h"

#include "base/BaseLog.h"
#include "base/ConfigHome.h"
#include "base/StoreFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QStringDecoder>
#include <algorithm>
#include <atomic>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = StoreFolder::Contents::Kind;

struct Location {
    QString folder;
    QString name;
};

Location& standardLocation()
{
    static Location location;
    return location;
}

// QSettings reads almost anything as INI; a file that is not even text (a torn write, another
// program's data) counts as corrupt as well, rather than yielding whatever keys it happens to hold.
bool isText(const QByteArray& bytes)
{
    if (bytes.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The values of INI text as QSettings reads them; none when it does not parse. QSettings reads
// only files, so the text goes to an anonymous file in memory, given a modification time of its
// own: QSettings keeps what it parsed by path, size and time, and a reused descriptor would
// otherwise get an earlier text of the same size.
std::optional<QVariantMap> parseIni(const QByteArray& text)
{
    static std::atomic<qint64> parses = 0;
    const int file = ::memfd_create("settings", MFD_CLOEXEC);
    if (file < 0)
        return std::nullopt;
    std::optional<QVariantMap> values;
    const timespec times[2] = {{0, UTIME_OMIT}, {++parses, 0}};
    if (::write(file, text.constData(), static_cast<size_t>(text.size())) == text.size() &&
        ::futimens(file, times) == 0) {
        const QSettings settings(QStringLiteral("/proc/self/fd/%1").arg(file),
                                 QSettings::IniFormat);
        if (settings.status() == QSettings::NoError) {
            values.emplace();
            for (const QString& key : settings.allKeys()) {
                // QSettings lists keys as the file spells them ("guid/", "a//b") but looks them
                // up in their normal form: written back, such a key would overwrite that one.
                if (key.split(u'/', Qt::SkipEmptyParts).join(u'/') == key)
                    values->insert(key, settings.value(key));
            }
        }
    }
    ::close(file);
    return values;
}

bool isRandomPart(QStringView part)
{
    return part.size() == 6 && std::all_of(part.begin(), part.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
                      (c >= u'A' && c <= u'Z');
           });
}

// What a write killed midway leaves of itself: its new file "<name>.XXXXXX", and in that
// QSettings' lock "<name>.XXXXXX.lock" and new file "<name>.XXXXXX.XXXXXX"; and the lock file of
// earlier versions, "<name>.lock".
bool isLeftover(const QString& entry, const QString& name)
{
    if (!entry.startsWith(name + u'.'))
        return false;
    if (entry.size() == name.size() + 5 && entry.endsWith(u".lock"))
        return true;
    const QStringList parts = entry.mid(name.size() + 1).split(u'.');
    return isRandomPart(parts.first()) &&
           (parts.size() == 1 ||
            (parts.size() == 2 && (parts.last() == u"lock" || isRandomPart(parts.last()))));
}

// Makes an empty file of mode 0600 for the new contents, named "<name>.XXXXXX"; empty when that
// failed.
QString createTemporary(const StoreFolder& folder, const QString& name)
{
    static const QLatin1StringView letters(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    for (int attempt = 0; attempt < 16; ++attempt) {
        QString candidate = name + u'.';
        for (int letter = 0; letter < 6; ++letter)
            candidate += letters.at(QRandomGenerator::global()->bounded(letters.size()));
        if (folder.createEmpty(candidate))
            return candidate;
    }
    return {};
}

// A file too large to read is the user's all the same: it goes aside as "<name>.oversized" (or
// ".oversized.2" and on) rather than under the new contents. False when it could not.
bool keepAsideIfTooLarge(const StoreFolder& folder, const QString& name)
{
    if (folder.read(name, SettingsFile::maximumFileSize).kind != Kind::TooLarge)
        return true;
    for (int copy = 1; copy <= 16; ++copy) {
        const QString aside = name + QStringLiteral(".oversized") +
                              (copy == 1 ? QString() : u'.' + QString::number(copy));
        if (folder.rename(name, aside, false)) {
            qCDebug(lcBase) << "settings file" << name << "too large: kept as" << aside;
            return true;
        }
    }
    return false;
}

} // namespace

QString SettingsFile::standardPath()
{
    const Location& location = standardLocation();
    const QString folder =
        location.name.isEmpty() ? QCoreApplication::organizationName() : location.folder;
    const QString name =
        location.name.isEmpty() ? QCoreApplication::applicationName() : location.name;
    return QDir::cleanPath(ConfigHome::path() + u'/' + folder + u'/' + name +
                           QStringLiteral(".conf"));
}

void SettingsFile::setStandardLocation(const QString& folder, const QString& name)
{
    standardLocation() = {folder, name};
}

SettingsFile::SettingsFile(QString filePath)
    : m_filePath(std::move(filePath))
    , m_inOwnFolder(QFileInfo(QFileInfo(m_filePath).absolutePath()).path() == ConfigHome::path())
{
    const QFileInfo info(m_filePath);
    const StoreFolder folder(info.absolutePath(), StoreFolder::Open::Existing, m_inOwnFolder);
    const StoreFolder::Contents contents =
        folder.isValid() ? folder.read(info.fileName(), maximumFileSize) : StoreFolder::Contents();
    std::optional<QVariantMap> values;
    if (contents.kind == Kind::Read && isText(contents.bytes))
        values = parseIni(contents.bytes);
    if (values)
        m_saved = std::move(*values);
    else if (!folder.isValid() && QFileInfo::exists(info.absolutePath()))
        qCDebug(lcBase) << "settings folder of" << info.fileName()
                        << "is a symlink or not the user's alone: read as empty";
    else if (contents.kind == Kind::Foreign)
        qCDebug(lcBase) << "settings file" << info.fileName()
                        << "is a symlink or not the user's own file: read as empty";
    else if (contents.kind == Kind::TooLarge)
        qCDebug(lcBase) << "settings file" << info.fileName()
                        << "is too large: read as empty, kept aside on the next write";
    else if (contents.kind == Kind::Read)
        qCDebug(lcBase) << "settings file" << info.fileName() << "does not parse: read as empty";
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
    return true;
}

// Replaces the whole file with m_values: QSettings writes them into a new file of mode 0600 in
// the same folder, which is then renamed over the old one, so the file holds either the old
// contents or the new ones, never a mix, and is never open to others.
bool SettingsFile::write() const
{
    const QFileInfo info(m_filePath);
    const QString name = info.fileName();
    const StoreFolder folder(info.absolutePath(), StoreFolder::Open::Create, m_inOwnFolder);
    if (!folder.isValid()) {
        qCDebug(lcBase) << "settings folder of" << name
                        << "is a symlink or not the user's alone: nothing written";
        return false;
    }
    if (!folder.lock())
        return false;
    for (const QString& entry : folder.entries()) {
        if (isLeftover(entry, name))
            folder.remove(entry);
    }
    if (!keepAsideIfTooLarge(folder, name))
        return false;
    const QString temporary = createTemporary(folder, name);
    if (temporary.isEmpty())
        return false;
    bool written = false;
    {
        QSettings file(folder.pathOf(temporary), QSettings::IniFormat);
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            file.setValue(it.key(), it.value());
        file.sync();
        written = file.status() == QSettings::NoError;
    }
    written = written && folder.rename(temporary, name, true);
    if (!written)
        folder.remove(temporary);
    return written;
}
