#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString& applicationIdOverride()
{
    static QString id;
    return id;
}

QString standardFilePath()
{
    QString id = applicationIdOverride();
    if (id.isEmpty())
        id = QCoreApplication::applicationName();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tovo/") + id + QStringLiteral(".conf");
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

} // namespace

UserDefaults& UserDefaults::standard()
{
    // Never destroyed, like the settings that hold on to it; every write is synchronised anyway.
    static UserDefaults* const defaults = new UserDefaults(standardFilePath());
    return *defaults;
}

void UserDefaults::setApplicationId(const QString& applicationId)
{
    applicationIdOverride() = applicationId;
}

UserDefaults::UserDefaults(QString filePath)
    : m_filePath(std::move(filePath))
{
    open();
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::open()
{
    m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    m_corrupt = m_settings->status() != QSettings::NoError || !isText(m_filePath);
}

std::optional<QString> UserDefaults::string(const QString& key) const
{
    const QMutexLocker lock(&m_mutex);
    if (m_corrupt)
        return std::nullopt;
    const QVariant value = m_settings->value(key);
    // Only texts count: anything else (a list an editor left behind) is not a string.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

void UserDefaults::setString(const QString& key, const QString& value)
{
    const QMutexLocker lock(&m_mutex);
    if (m_corrupt) {
        // Start over from an empty file rather than keep whatever half of it QSettings read.
        m_settings.reset();
        QFile::remove(m_filePath);
        open();
        m_corrupt = false;
    }
    m_settings->setValue(key, value);
}

bool UserDefaults::synchronize()
{
    const QMutexLocker lock(&m_mutex);
    if (m_corrupt)
        return false;
    prepareFile();
    m_settings->sync();
    // QSettings replaces the file atomically and keeps the mode of the one it replaces; set it
    // again all the same in case the file was made by someone else.
    QFile::setPermissions(m_filePath, ownerOnly);
    return m_settings->status() == QSettings::NoError;
}

// Creates the folder and an empty file with mode 0600 before QSettings first writes it, so the
// file never exists with wider permissions.
void UserDefaults::prepareFile() const
{
    const QFileInfo info(m_filePath);
    if (info.exists())
        return;
    QDir().mkpath(info.absolutePath());
    QFile file(m_filePath);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        file.close();
}
