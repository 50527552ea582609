#pragma once
// tovo-host-probe run under an application id (tovo.TOVO unless told), and the log it writes, one
// event per line.

#include <QFile>
#include <QProcess>
#include <QStringList>

struct ProbeLog {
    QString path;
    QString id = QStringLiteral("tovo.TOVO");

    // The probe's command line (program first) with this log, then `more`.
    QStringList command(const QStringList& more = {}) const
    {
        return QStringList{QStringLiteral(TOVO_HOST_PROBE), QStringLiteral("--log"), path,
                           QStringLiteral("--id"), id} +
               more;
    }
    void start(QProcess& process, const QStringList& more = {}) const
    {
        QStringList arguments = command(more);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(arguments.takeFirst(), arguments);
    }
    QStringList lines() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
};
