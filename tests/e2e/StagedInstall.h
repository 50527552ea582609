#pragma once
// The project installed from its build folder into a private prefix (cmake --install), so
// end-to-end tests run the programs, desktop entries and D-Bus service files as a user gets them.

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class StagedInstall {
public:
    // False, with the installer's output in error(), when the installation failed.
    bool install();

    QString prefix() const { return folder.path(); }
    // An installed file, e.g. path("bin/tovo").
    QString path(const QString& relative) const { return folder.filePath(relative); }
    // `base` with the prefix's share folder first on XDG_DATA_DIRS (desktop entries, D-Bus
    // services, icons) and its bin folder first on PATH.
    QProcessEnvironment environment(QProcessEnvironment base) const;
    QString error() const { return problem; }

private:
    QTemporaryDir folder;
    QString problem;
};
