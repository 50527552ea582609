#pragma once
// The folder of a settings file, held open while it is used, so that nothing can swap it: never
// a symlink, owned by the user and writable by nobody else, or it is not valid. Its files are
// reached through it, never through a symlink, and only its owner's regular files are read.

#include <QByteArray>
#include <QString>
#include <QStringList>

class StoreFolder {
public:
    enum class Open { Existing, Create };
    struct Contents {
        enum class Kind { Missing, Foreign, TooLarge, Read } kind = Kind::Missing;
        QByteArray bytes; // when Read
    };

    // Opens `path`, making it (0700, as any missing folder above it) when asked. When `narrow`
    // (a folder of the program's own) and others may enter it, it is narrowed to 0700 first.
    StoreFolder(const QString& path, Open open, bool narrow);
    ~StoreFolder();
    StoreFolder(const StoreFolder&) = delete;
    StoreFolder& operator=(const StoreFolder&) = delete;

    bool isValid() const { return m_folder >= 0; }
    // `name` in this very folder, as a path for Qt's classes.
    QString pathOf(const QString& name) const;

    // The file `name` when it is a regular file of the user's of at most `maximumSize` bytes;
    // a symlink, another user's file or anything else is Foreign.
    Contents read(const QString& name, qint64 maximumSize) const;
    // Makes the empty file `name` with mode 0600; false when anything is there already.
    bool createEmpty(const QString& name) const;
    // Renames `from` to `to`, over whatever `to` is (a symlink is replaced, not followed) or,
    // without `overwrite`, only when nothing is there.
    bool rename(const QString& from, const QString& to, bool overwrite) const;
    void remove(const QString& name) const;
    QStringList entries() const;
    // Takes the folder's lock, one writer at a time, waiting up to two seconds for another. It
    // goes when the folder is closed, or with the process (no lock file a kill leaves behind).
    bool lock() const;

private:
    int m_folder = -1;
};
