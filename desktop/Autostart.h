#pragma once
// Programs started at login, as XDG autostart entries: "<application id>.desktop" in
// $XDG_CONFIG_HOME/autostart, written from the entry template in the resources with Exec= the
// installed program's absolute path. Only our own login items are known.

#include <QString>

class Autostart {
public:
    // `directory` defaults to the user's autostart folder.
    explicit Autostart(QString directory = defaultDirectory());
    static QString defaultDirectory();

    // The installed program behind a login item id; empty for an id that is not ours.
    static QString programFor(const QString& applicationId);

    // Writes (atomically) or removes the entry. False when that failed or the id is unknown.
    bool setEnabled(const QString& applicationId, bool enabled);
    QString entryPath(const QString& applicationId) const;

private:
    QString m_directory;
};
