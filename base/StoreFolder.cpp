#include "base/StoreFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray nativeName(const QString& name)
{
    return QFile::encodeName(name);
}

// Makes `path` and every missing folder above it with mode 0700, whatever the umask: folders made
// on the user's behalf are the user's alone.
bool makeFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return true; // what it is, the opening finds out
    const QString parent = info.path();
    return (parent == path || makeFolder(parent)) &&
           QDir().mkdir(path,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

StoreFolder::StoreFolder(const QString& path, Open open, bool narrow)
{
    if (open == Open::Create && !makeFolder(path))
        return;
    const int folder =
        ::open(nativeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (folder < 0 || ::fstat(folder, &status) != 0 || status.st_uid != ::geteuid()) {
        if (folder >= 0)
            ::close(folder);
        return;
    }
    if (narrow && (status.st_mode & 077) && ::fchmod(folder, 0700) == 0)
        ::fstat(folder, &status);
    if (status.st_mode & (S_IWGRP | S_IWOTH)) {
        ::close(folder);
        return;
    }
    m_folder = folder;
}

StoreFolder::~StoreFolder()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

QString StoreFolder::pathOf(const QString& name) const
{
    return QStringLiteral("/proc/self/fd/%1/%2").arg(m_folder).arg(name);
}

StoreFolder::Contents StoreFolder::read(const QString& name, qint64 maximumSize) const
{
    using Kind = Contents::Kind;
    // Non-blocking, or a FIFO put in the file's place would hold the program up.
    const int file = ::openat(m_folder, nativeName(name).constData(),
                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return {errno == ENOENT ? Kind::Missing : Kind::Foreign, {}};
    Contents contents{Kind::Read, {}};
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
        contents.kind = Kind::Foreign;
    } else if (status.st_size > maximumSize) {
        contents.kind = Kind::TooLarge;
    } else {
        // One byte more than allowed tells a file that grew since.
        contents.bytes.resize(maximumSize + 1);
        qsizetype size = 0;
        ssize_t got = 0;
        while (size < contents.bytes.size() &&
               (got = ::read(file, contents.bytes.data() + size,
                             static_cast<size_t>(contents.bytes.size() - size))) > 0)
            size += got;
        contents.bytes.truncate(size);
        if (got < 0)
            contents = {Kind::Foreign, {}};
        else if (size > maximumSize)
            contents = {Kind::TooLarge, {}};
    }
    ::close(file);
    return contents;
}

bool StoreFolder::createEmpty(const QString& name) const
{
    const int file = ::openat(m_folder, nativeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0)
        return false;
    const bool narrowed = ::fchmod(file, 0600) == 0; // whatever the umask left
    ::close(file);
    return narrowed;
}

bool StoreFolder::rename(const QString& from, const QString& to, bool overwrite) const
{
    return ::renameat2(m_folder, nativeName(from).constData(), m_folder, nativeName(to).constData(),
                       overwrite ? 0 : RENAME_NOREPLACE) == 0;
}

void StoreFolder::remove(const QString& name) const
{
    ::unlinkat(m_folder, nativeName(name).constData(), 0);
}

QStringList StoreFolder::entries() const
{
    return QDir(pathOf(QString()))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

bool StoreFolder::lock() const
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::flock(m_folder, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
