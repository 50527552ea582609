#include "ApplicationClient.h"

#include <QDBusConnectionInterface>
#include <QTest>
#include <csignal>

ApplicationClient::ApplicationClient(QDBusConnection bus, QString applicationId)
    : m_bus(std::move(bus))
    , m_applicationId(std::move(applicationId))
{}

QDBusMessage ApplicationClient::call(const QString& method, const QVariantList& arguments) const
{
    QString path = QLatin1Char('/') + m_applicationId;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    QDBusMessage message = QDBusMessage::createMethodCall(
        m_applicationId, path, QStringLiteral("org.freedesktop.Application"), method);
    message.setArguments(arguments);
    return m_bus.call(message);
}

bool ApplicationClient::isRunning() const
{
    return m_bus.interface()->isServiceRegistered(m_applicationId).value();
}

bool ApplicationClient::quitProbe() const
{
    call(QStringLiteral("ActivateAction"), {QStringLiteral("quit"), QVariantList(), QVariantMap()});
    return QTest::qWaitFor([this] { return !isRunning(); }, 10000);
}

bool ApplicationClient::terminate() const
{
    const uint pid = m_bus.interface()->servicePid(m_applicationId).value();
    if (pid == 0 || ::kill(static_cast<pid_t>(pid), SIGTERM) != 0)
        return false;
    return QTest::qWaitFor([this] { return !isRunning(); }, 10000);
}
