#include "bus/ApplicationHost.h"

#include "bus/ApplicationAdaptor.h"
#include "bus/ApplicationBus.h"
#include "bus/BusLog.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <cstring>

namespace {
constexpr int forwardTimeoutMs = 5000;
// How long a bus-activated launch waits for its first message.
constexpr int activationTimeoutMs = 3000;

bool isUrl(const QString& argument)
{
    // A scheme as RFC 3986 spells it, then ':'. "launched" and options are not URLs.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    return scheme.match(argument).hasMatch();
}

// What the desktop gave this start for the window it should bring up: a launcher that starts a
// program on Wayland hands it a token in the environment.
QVariantMap launchPlatformData()
{
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? QVariantMap()
                           : QVariantMap{{ApplicationBus::activationTokenKey, token}};
}
} // namespace

ApplicationHost::ApplicationHost(QString applicationId, ApplicationDelegate& delegate,
                                 QDBusConnection bus)
    : m_applicationId(std::move(applicationId))
    , m_delegate(delegate)
    , m_bus(std::move(bus))
{
    new ApplicationAdaptor(this);
}

ApplicationHost::~ApplicationHost()
{
    if (m_registered) {
        m_bus.unregisterService(m_applicationId);
        m_bus.unregisterObject(ApplicationBus::objectPath(m_applicationId));
    }
}

QStringList ApplicationHost::urlsInArguments(const QStringList& arguments)
{
    QStringList urls;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (isUrl(arguments.at(i)))
            urls.append(arguments.at(i));
    }
    return urls;
}

QString ApplicationHost::actionInArguments(const QStringList& arguments)
{
    const QString prefix = ApplicationBus::actionOption + u'=';
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i).startsWith(prefix))
            return arguments.at(i).mid(prefix.size());
        if (arguments.at(i) == ApplicationBus::actionOption && i + 1 < arguments.size())
            return arguments.at(i + 1);
    }
    return {};
}

QStringList ApplicationHost::takeArguments(int argc, char** argv)
{
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < argc && i < arguments.size(); ++i) {
        if (isUrl(arguments.at(i)))
            std::memset(argv[i], 0, std::strlen(argv[i]));
    }
    return arguments;
}

ApplicationHost::Launch ApplicationHost::launch(const QStringList& arguments)
{
    const QStringList urls = urlsInArguments(arguments);
    const QString action = actionInArguments(arguments);
    const bool startedForMessage = arguments.contains(ApplicationBus::activationFlag);
    if (m_bus.isConnected()) {
        // The object goes up before the name, so a message sent as soon as the name is ours
        // finds it.
        const QString path = ApplicationBus::objectPath(m_applicationId);
        m_bus.registerObject(path, this, QDBusConnection::ExportAdaptors);
        if (!m_bus.registerService(m_applicationId)) {
            m_bus.unregisterObject(path);
            // Started for a message, we have nothing to add: it reaches the instance holding the
            // name anyway, and an Activate could end that one's launch before it arrives.
            const bool forwarded = (urls.isEmpty() && action.isEmpty() && startedForMessage) ||
                                   forwardTo(urls, action);
            qCDebug(lcBus) << m_applicationId << "runs already:" << urls.size() << "URLs"
                           << (forwarded ? "handed over" : "not handed over");
            return Launch::Forwarded;
        }
        m_registered = true;
    }
    // Without a session bus the program still runs, just without single-instance guarding.

    qCDebug(lcBus) << m_applicationId << "launching with" << urls.size() << "URLs"
                   << (startedForMessage ? "for a message" : "");
    m_launching = true;
    m_delegate.applicationWillFinishLaunching();
    if (!urls.isEmpty())
        m_delegate.openUrls(urls);
    if (!action.isEmpty())
        m_delegate.activateAction(action, {});
    if (startedForMessage)
        waitForActivationMessage();
    m_launching = false;
    m_delegate.applicationDidFinishLaunching(m_launchUserInfo);
    return Launch::Primary;
}

int ApplicationHost::run(const QStringList& arguments)
{
    if (launch(arguments) == Launch::Forwarded)
        return 0;
    const int code = QCoreApplication::exec();
    m_delegate.applicationWillTerminate();
    return code;
}

void ApplicationHost::waitForActivationMessage()
{
    // The bus started us for a message that is already waiting in the socket; it is dispatched
    // as soon as events are processed. The timeout covers a start through the service file by
    // hand, with no message behind it.
    QEventLoop loop;
    connect(this, &ApplicationHost::messageReceived, &loop, &QEventLoop::quit);
    QTimer::singleShot(activationTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

bool ApplicationHost::forwardTo(const QStringList& urls, const QString& action)
{
    const QString method = !action.isEmpty() ? QStringLiteral("ActivateAction")
                           : urls.isEmpty()  ? QStringLiteral("Activate")
                                             : QStringLiteral("Open");
    QDBusMessage message =
        QDBusMessage::createMethodCall(m_applicationId, ApplicationBus::objectPath(m_applicationId),
                                       ApplicationBus::interfaceName, method);
    if (!action.isEmpty())
        message << action << QVariantList();
    else if (!urls.isEmpty())
        message << urls;
    message << launchPlatformData();
    // Waited for in an event loop rather than blocking, so the running instance may even live
    // in this very process (tests) and still answer.
    QDBusPendingCallWatcher watcher(m_bus.asyncCall(message, forwardTimeoutMs));
    QEventLoop loop;
    connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec();
    return !watcher.isError();
}

void ApplicationHost::handleOpen(const QStringList& uris)
{
    qCDebug(lcBus) << "Open with" << uris.size() << "URLs";
    m_delegate.openUrls(uris);
    Q_EMIT messageReceived();
}

void ApplicationHost::handleActivate(const QString& activationToken)
{
    qCDebug(lcBus) << "Activate" << (activationToken.isEmpty() ? "" : "with a token");
    m_delegate.activate(activationToken);
    Q_EMIT messageReceived();
}

void ApplicationHost::handleActivateAction(const QString& name, const QVariantList& parameter)
{
    qCDebug(lcBus) << "ActivateAction" << name;
    if (m_launching && name == notificationActionName)
        m_launchUserInfo.insert(launchNotificationKey, QVariant(parameter));
    else
        m_delegate.activateAction(name, parameter);
    Q_EMIT messageReceived();
}
