#pragma once
// Programs started at login, as XDG autostart entries: "<entry id>.desktop" in
// $XDG_CONFIG_HOME/autostart, written from the template ":/autostart/<entry id>.desktop" of the
// program's resources with Exec= the given program.

#include <QString>

class Autostart {
public:
    // `directory` defaults to the user's autostart folder.
    explicit Autostart(QString directory = defaultDirectory());
    static QString defaultDirectory();

    // Writes (atomically) the entry that starts `program` (an absolute path), or removes it.
    // False when that failed, `program` is empty or there is no template for `entryId`.
    bool setEnabled(const QString& entryId, const QString& program, bool enabled);
    QString entryPath(const QString& entryId) const;

private:
    QString m_directory;
};
