#include "ApplicationBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantMap>

namespace ApplicationBus {

namespace {
// Long enough for a program to start at login on a busy machine.
constexpr int awaitTimeoutMs = 15000;
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

QString fallbackProgram(const QString& applicationId)
{
    QString name;
    if (applicationId == QLatin1String("tovo.TOVO"))
        name = QStringLiteral("tovo");
    else if (applicationId == QLatin1String("tovo.TOVO.TOVOToday"))
        name = QStringLiteral("tovo-today");
    else
        return {};
    const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QStringList candidates = {
        here + QStringLiteral(TOVO_LIBEXEC_TO_BINDIR "/") + name, // from the installed launcher
        here + name,                                              // a sibling program
        QStringLiteral(TOVO_INSTALL_FULL_BINDIR "/") + name,
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

bool openUrls(const QDBusConnection& bus, const QStringList& urls, const QString& applicationId,
              const QString& fallback, Delivery delivery)
{
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    // Two quick questions to the bus daemon (never to the receiver, which may be busy): is the
    // program running, or can the bus start it?
    const bool reachable =
        daemon && (daemon->isServiceRegistered(applicationId).value() ||
                   daemon->activatableServiceNames().value().contains(applicationId));
    if (reachable) {
        QDBusMessage open = QDBusMessage::createMethodCall(applicationId, objectPath(applicationId),
                                                           interfaceName, QStringLiteral("Open"));
        open << urls << QVariantMap();
        if (delivery == Delivery::Await)
            return bus.call(open, QDBus::Block, awaitTimeoutMs).type() ==
                   QDBusMessage::ReplyMessage;
        // send() marks a method call as needing no reply: nothing waits for the receiver.
        return bus.send(open);
    }
    if (fallback.isEmpty())
        return false;
    return QProcess::startDetached(fallback, urls);
}

} // namespace ApplicationBus
