#pragma once
// A program's own string store: one INI file, readable by its owner only (0600, in a 0700 folder;
// a folder of its own right under $XDG_CONFIG_HOME is narrowed to that should it be wider). A
// file that does not parse reads as empty and is replaced by a clean one on the next write.

#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <optional>

class SettingsFile {
public:
    // The file of the running program's store: <configuration folder>/<folder>/<name>.conf as set
    // below, or, as with QSettings, the application's organization name and application name.
    static QString standardPath();
    // Names the standard store's file; call before the program opens it.
    static void setStandardLocation(const QString& folder, const QString& name);

    // A store on an explicit file (tests, tools).
    explicit SettingsFile(QString filePath);
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const QString& filePath() const { return m_filePath; }

    // The string under `key`, or nothing when the key is missing.
    std::optional<QString> string(const QString& key) const;
    void setString(const QString& key, const QString& value);
    // Replaces the file with the store's contents at one stroke (a reader sees the old file or
    // the new one); false when that failed. A failed write drops the changes made since the last
    // good one: the store holds what the file still holds.
    bool sync();

private:
    bool write() const;
    bool prepareFile() const;
    void clearStaleLock() const;
    void removeLeftovers() const;

    QString m_filePath;
    bool m_inOwnFolder = false;
    mutable QMutex m_mutex;
    QVariantMap m_values; // what the store holds
    QVariantMap m_saved;  // what the file holds
    bool m_corrupt = false;
};
