#include "ProbeLog.h"

#include <QFile>
#include <QTest>

QStringList ProbeLog::lines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool ProbeLog::waitFor(const QString& line, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return lines().contains(line); }, timeoutMs);
}
