#pragma once
// The demo service (tovo-demo-service) as a child process of a test: its announced settings
// (base URLs, CA file, demo account) and the requests it has logged so far.

#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

class DemoServiceProcess {
public:
    DemoServiceProcess() = default;
    DemoServiceProcess(const DemoServiceProcess&) = delete;
    DemoServiceProcess& operator=(const DemoServiceProcess&) = delete;
    ~DemoServiceProcess();

    // Starts the service with `arguments` (e.g. {"--timeline", "growing", "--count", "3"}) and
    // waits until it serves. False when it did not come up.
    bool start(const QStringList& arguments);

    // A setting the service printed at start, e.g. "TOVO_DEMO_GUID".
    QString value(const QString& key) const { return settings.value(key); }
    // `base` plus TOVO_WEB_BASE, TOVO_FEED_BASE and SSL_CERT_FILE pointing at this service.
    QProcessEnvironment clientEnvironment(QProcessEnvironment base) const;
    // Request lines logged so far ("GET /rssalarms?... -> 200, 3 items").
    QStringList requests();
    int feedRequests();

private:
    void readLines();

    QProcess process;
    QByteArray pending;
    QHash<QString, QString> settings;
    QStringList logged;
    bool ready = false;
};
