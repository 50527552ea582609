#pragma once
// What the fuzz targets share: the check of a contract (a failure aborts, which libFuzzer reports
// as a crash), the input as Qt bytes, and an application with a settings folder of its own.

#include "base/SettingsFile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : fuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void fuzzCheckFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

inline QByteArray fuzzBytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Starts the application once, with XDG_CONFIG_HOME in a fresh folder removed at exit: a fuzz run
// never reads or writes the user's own settings. Returns that folder.
inline QString startApplication(const QString& applicationName)
{
    static QTemporaryDir folder;
    static int argc = 1;
    static char program[] = "fuzz";
    static char* argv[] = {program, nullptr};
    static const QCoreApplication* const application = [] {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
        return new QCoreApplication(argc, argv);
    }();
    Q_UNUSED(application);
    QCoreApplication::setApplicationName(applicationName);
    return folder.path();
}

// The string under `key` as a new reader finds it in the settings file at `path`. Read from a
// copy under a name not used before: QSettings serves a file it has seen from its cache.
inline std::optional<QString> readBack(const QString& path, const QString& key)
{
    static int copies = 0;
    const QString copy = path + QStringLiteral(".readback") + QString::number(++copies);
    QFile::copy(path, copy);
    std::optional<QString> value = SettingsFile(copy).string(key);
    QFile::remove(copy);
    return value;
}
