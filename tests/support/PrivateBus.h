#pragma once
// A session bus of the test's own: a dbus-daemon that knows no services but those the test
// puts into its service folder, so activation is tested without touching the machine's. When it
// goes, the programs still connected to it (started by the test or activated for it) are ended.

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool start();
    const QString& address() const { return m_address; }
    QString serviceDirectory() const;

    // A .service file: `name` is activated by running `command` (program and arguments). The
    // bus rereads its services before this returns.
    bool addService(const QString& name, const QStringList& command);
    bool removeService(const QString& name);

    // A new connection to this bus under a name of the caller's choosing.
    QDBusConnection connect(const QString& connectionName) const;

private:
    bool reload() const;
    void terminateClients() const;

    QTemporaryDir m_directory;
    QProcess m_daemon;
    QString m_address;
};
