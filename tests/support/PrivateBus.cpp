#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QSet>
#include <csignal>

PrivateBus::PrivateBus() = default;

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        terminateClients();
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
}

QString PrivateBus::serviceDirectory() const
{
    return m_directory.filePath(QStringLiteral("services"));
}

bool PrivateBus::start()
{
    if (!m_directory.isValid() || !QDir().mkpath(serviceDirectory()))
        return false;
    const QString config = m_directory.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral(
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig>\n"
                   "  <type>session</type>\n"
                   "  <listen>unix:dir=%1</listen>\n"
                   "  <servicedir>%2</servicedir>\n"
                   "  <policy context=\"default\">\n"
                   "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                   "    <allow eavesdrop=\"true\"/>\n"
                   "    <allow own=\"*\"/>\n"
                   "  </policy>\n"
                   "</busconfig>\n")
                   .arg(m_directory.path(), serviceDirectory())
                   .toUtf8());
    file.close();
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon.start();
    if (!m_daemon.waitForStarted(5000))
        return false;
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(5000))
            return false;
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}

bool PrivateBus::addService(const QString& name, const QStringList& command)
{
    QFile file(serviceDirectory() + QLatin1Char('/') + name + QStringLiteral(".service"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString text = QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n")
                             .arg(name, command.join(QLatin1Char(' ')));
    const bool written = file.write(text.toUtf8()) > 0;
    file.close();
    return written && reload();
}

bool PrivateBus::removeService(const QString& name)
{
    QFile::remove(serviceDirectory() + QLatin1Char('/') + name + QStringLiteral(".service"));
    return reload();
}

bool PrivateBus::reload() const
{
    // The daemon also notices changed files by itself, but later: an activation right after a
    // change could still use the old entry.
    const QDBusMessage reply =
        connect(QStringLiteral("private-bus-control"))
            .call(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
    return reply.type() == QDBusMessage::ReplyMessage;
}

void PrivateBus::terminateClients() const
{
    const QDBusConnection control = connect(QStringLiteral("private-bus-control"));
    const QStringList names = control.interface()->registeredServiceNames().value();
    QSet<uint> pids;
    for (const QString& name : names) {
        if (name.startsWith(QLatin1Char(':')))
            pids.insert(control.interface()->servicePid(name).value());
    }
    pids.remove(0);
    pids.remove(static_cast<uint>(QCoreApplication::applicationPid()));
    for (const uint pid : pids)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

QDBusConnection PrivateBus::connect(const QString& connectionName) const
{
    return QDBusConnection::connectToBus(m_address, connectionName);
}
