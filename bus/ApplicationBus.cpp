#include "bus/ApplicationBus.h"

#include "bus/BusLog.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QVariantMap>
#include <memory>

namespace ApplicationBus {

namespace {
// Long enough for a program to start at login on a busy machine.
constexpr int awaitTimeoutMs = 15000;
// Desktops make tokens of a few dozen characters.
constexpr qsizetype maxTokenLength = 1024;

bool deliver(const QDBusConnection& bus, const QDBusMessage& message, Delivery delivery,
             int timeoutMs)
{
    if (delivery == Delivery::Await)
        return bus.call(message, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
    // send() marks a method call as needing no reply: nothing waits for the receiver.
    return bus.send(message);
}

// The program is started with no URL on its command line, which every local user can read for
// the life of the process: a URL may carry an account's GUID. It gets the activation flag, so
// its launch waits for its first message, and `message` is sent as soon as it holds its name: its
// URLs still count as the ones the program was launched with.
bool startAndHandOver(const QDBusConnection& bus, const QDBusMessage& message,
                      const QString& applicationId, const QString& program, Delivery delivery)
{
    const QDeadlineTimer deadline(awaitTimeoutMs);
    auto watcher = std::make_unique<QDBusServiceWatcher>(applicationId, bus,
                                                         QDBusServiceWatcher::WatchForRegistration);
    // This round trip to the bus daemon comes after the watch is set up, so a name that appears
    // from now on is seen by one or the other.
    if (bus.interface()->isServiceRegistered(applicationId).value())
        return deliver(bus, message, delivery, awaitTimeoutMs);
    const bool started = QProcess::startDetached(program, {activationFlag});
    qCDebug(lcBus) << applicationId << "is not on the bus:" << program
                   << (started ? "started" : "could not be started");
    if (!started)
        return false;
    if (delivery == Delivery::Send) {
        // Nothing waits: the sender stays responsive while the program starts.
        QDBusServiceWatcher* pending = watcher.release();
        QObject::connect(
            pending, &QDBusServiceWatcher::serviceRegistered, pending,
            [pending, bus, message] {
                bus.send(message);
                pending->deleteLater();
            },
            Qt::SingleShotConnection);
        QTimer::singleShot(awaitTimeoutMs, pending, &QObject::deleteLater);
        return true;
    }
    QEventLoop loop;
    QObject::connect(watcher.get(), &QDBusServiceWatcher::serviceRegistered, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(awaitTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !deadline.hasExpired() && deliver(bus, message, delivery, int(deadline.remainingTime()));
}

// `message` to the program's object: at once when it runs, through the bus when the bus can start
// it, else with the program `fallback` started by hand.
bool sendToApplication(const QDBusConnection& bus, const QDBusMessage& message,
                       const QString& applicationId, const QString& fallback, Delivery delivery)
{
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon)
        return false;
    // Two quick questions to the bus daemon (never to the receiver, which may be busy): is the
    // program running, or can the bus start it?
    if (daemon->isServiceRegistered(applicationId).value() ||
        daemon->activatableServiceNames().value().contains(applicationId)) {
        const bool delivered = deliver(bus, message, delivery, awaitTimeoutMs);
        qCDebug(lcBus) << message.member() << "for" << applicationId
                       << (delivered ? "sent" : "not sent");
        return delivered;
    }
    if (fallback.isEmpty()) {
        qCDebug(lcBus) << applicationId << "is not on the bus and has no program to start";
        return false;
    }
    return startAndHandOver(bus, message, applicationId, fallback, delivery);
}
} // namespace

QString objectPath(const QString& applicationId)
{
    QString path = QStringLiteral("/");
    for (const QChar c : applicationId) {
        if (c == QLatin1Char('.'))
            path += QLatin1Char('/');
        else if (c.isLetterOrNumber() && c.unicode() < 128)
            path += c;
        else
            path += QLatin1Char('_');
    }
    return path;
}

QString findProgram(const QString& name, const QStringList& folders)
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& folder : folders) {
        const QFileInfo info(here.filePath(folder) + u'/' + name);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

bool openUrls(const QDBusConnection& bus, const QStringList& urls, const QString& applicationId,
              const QString& fallback, Delivery delivery)
{
    QDBusMessage open = QDBusMessage::createMethodCall(applicationId, objectPath(applicationId),
                                                       interfaceName, QStringLiteral("Open"));
    open << urls << QVariantMap();
    return sendToApplication(bus, open, applicationId, fallback, delivery);
}

QString activationToken(const QVariantMap& platformData)
{
    for (const QString& key : {activationTokenKey, startupIdKey}) {
        const QVariant value = platformData.value(key);
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
            return value.toString().size() <= maxTokenLength ? value.toString() : QString();
    }
    return {};
}

bool activate(const QDBusConnection& bus, const QString& applicationId, const QString& fallback,
              const QVariantMap& platformData)
{
    QDBusMessage activate = QDBusMessage::createMethodCall(
        applicationId, objectPath(applicationId), interfaceName, QStringLiteral("Activate"));
    activate << platformData;
    return sendToApplication(bus, activate, applicationId, fallback, Delivery::Send);
}

} // namespace ApplicationBus
