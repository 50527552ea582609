#pragma once
// The settings files of the stores' tests: where they lie, what a fresh store reads, and what the
// next start of a program sees, asked of a child process of the test program (child()).

#include <QString>
#include <QStringList>
#include <optional>

namespace StoreFiles {

// $XDG_CONFIG_HOME/tovo/<name>.conf
QString storePath(const QString& name);
// A store path named after the running test function and data row, its folder removed.
QString freshStorePath();
// What the file holds under "guid", read by a fresh store.
std::optional<QString> onDisk(const QString& path);
// Writes `value` under "guid" through a store of its own (a test failure when that fails).
void overwriteOnDisk(const QString& path, const QString& value);
// Runs the test program again as "--child <command...>": what its answer() printed.
std::optional<QString> child(const QStringList& command);
void answer(const std::optional<QString>& value);
// The permission bits of `path`; 0 when it is missing.
unsigned modeOf(const QString& path);

} // namespace StoreFiles
