#pragma once
// Runs tovo-host-probe as the tray application (tovo.TOVO) and reads the log it writes, one event
// per line.

#include <QFile>
#include <QProcess>
#include <QStringList>

class ProbeLog {
public:
    explicit ProbeLog(QString path)
        : m_path(std::move(path))
    {}

    // The probe's command line (program first) with this log, then `more`.
    QStringList command(const QStringList& more = {}) const
    {
        return QStringList{QStringLiteral(TOVO_HOST_PROBE), QStringLiteral("--log"), m_path,
                           QStringLiteral("--id"), QStringLiteral("tovo.TOVO")} +
               more;
    }
    // Starts that command; its output goes to the test's.
    void start(QProcess& process, const QStringList& more = {}) const
    {
        QStringList arguments = command(more);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(arguments.takeFirst(), arguments);
    }
    QStringList lines() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   : QStringList();
    }

private:
    QString m_path;
};
