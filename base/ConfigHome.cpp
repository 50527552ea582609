#include "base/ConfigHome.h"

#include <QDir>

namespace ConfigHome {

QString path()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config"));
}

} // namespace ConfigHome
