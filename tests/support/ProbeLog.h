#pragma once
// Runs tovo-host-probe as the tray application (tovo.TOVO) and reads the log it writes, one event
// per line.

#include <QProcess>
#include <QString>
#include <QStringList>

class ProbeLog {
public:
    explicit ProbeLog(QString path)
        : m_path(std::move(path))
    {}

    // The probe's command line (program first) with this log, then `more`.
    QStringList command(const QStringList& more = {}) const;
    // Starts that command; its output goes to the test's.
    void start(QProcess& process, const QStringList& more = {}) const;
    QStringList lines() const;

private:
    QString m_path;
};
