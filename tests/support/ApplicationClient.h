#pragma once
// Talks to one of our programs (or tovo-host-probe) over org.freedesktop.Application on a bus.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

class ApplicationClient {
public:
    ApplicationClient(QDBusConnection bus, QString applicationId);

    // A blocking call of `method` with `arguments`; the reply or the error.
    QDBusMessage call(const QString& method, const QVariantList& arguments) const;
    bool isRunning() const;
    // Asks a tovo-host-probe to quit and waits until its name is gone.
    bool quitProbe() const;
    // Ends whatever process owns the name (SIGTERM to its pid) and waits until the name is gone.
    bool terminate() const;

private:
    QDBusConnection m_bus;
    QString m_applicationId;
};
