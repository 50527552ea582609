#pragma once
// Reads the log that tovo-host-probe writes (one event per line) and waits for it to grow.

#include <QString>
#include <QStringList>

class ProbeLog {
public:
    explicit ProbeLog(QString path)
        : m_path(std::move(path))
    {}

    const QString& path() const { return m_path; }
    QStringList lines() const;
    // Waits until the log holds `line`; false after `timeoutMs`.
    bool waitFor(const QString& line, int timeoutMs = 10000) const;

private:
    QString m_path;
};
