#pragma once
// A program's own string store: one INI file of at most maximumFileSize bytes, readable by its
// owner only (0600 from its first byte), in a folder that is the user's alone (0700 when it is a
// folder of its own right under the configuration folder, narrowed to that should it be wider).
// The file and its folder are never reached through a symlink; a folder that is another user's or
// that others can write is not used at all (read as empty, every write fails). A file that does
// not parse, is another user's or a symlink reads as empty and is replaced on the next write; a
// file too large to read is kept aside rather than replaced.

#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <optional>

class SettingsFile {
public:
    // A settings file holds a GUID or two: anything much larger is no file of ours.
    static constexpr qint64 maximumFileSize = 64 * 1024;

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

    QString m_filePath;
    bool m_inOwnFolder = false;
    mutable QMutex m_mutex;
    QVariantMap m_values; // what the store holds
    QVariantMap m_saved;  // what the file holds
};
