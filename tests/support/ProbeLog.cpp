#include "ProbeLog.h"

#include <QFile>

QStringList ProbeLog::command(const QStringList& more) const
{
    return QStringList{QStringLiteral(TOVO_HOST_PROBE), QStringLiteral("--log"), m_path,
                       QStringLiteral("--id"), QStringLiteral("tovo.TOVO")} +
           more;
}

void ProbeLog::start(QProcess& process, const QStringList& more) const
{
    QStringList arguments = command(more);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(arguments.takeFirst(), arguments);
}

QStringList ProbeLog::lines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
