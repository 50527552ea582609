#include "StagedInstall.h"

#include <QProcess>

bool StagedInstall::install()
{
    if (!folder.isValid()) {
        problem = folder.errorString();
        return false;
    }
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral(TOVO_E2E_CMAKE_COMMAND),
                {QStringLiteral("--install"), QStringLiteral(TOVO_E2E_BUILD_DIR),
                 QStringLiteral("--prefix"), prefix()});
    const bool done = cmake.waitForFinished(120000) && cmake.exitStatus() == QProcess::NormalExit &&
                      cmake.exitCode() == 0;
    if (!done)
        problem = QString::fromLocal8Bit(cmake.readAll()) + cmake.errorString();
    return done;
}

QProcessEnvironment StagedInstall::environment(QProcessEnvironment base) const
{
    const auto prepend = [&base](const QString& key, const QString& first,
                                 const QString& fallback) {
        const QString rest = base.value(key, fallback);
        base.insert(key, rest.isEmpty() ? first : first + QLatin1Char(':') + rest);
    };
    prepend(QStringLiteral("XDG_DATA_DIRS"), path(QStringLiteral("share")),
            QStringLiteral("/usr/local/share:/usr/share"));
    prepend(QStringLiteral("PATH"), path(QStringLiteral("bin")), QString());
    return base;
}
