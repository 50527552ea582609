#include "launcher/AppDelegate.h"

#include "bus/ApplicationBus.h"
#include "launcher/LauncherLog.h"

#include <QCoreApplication>
#include <QDBusConnection>

void AppDelegate::applicationDidFinishLaunching()
{
    // Whether it worked is not our concern: a missing tray application is not reported. We wait
    // only until the tray application has the URL, not until it has finished launching: the bus
    // would drop a message whose sender quit while the receiver was still being started.
    const QString program = ApplicationBus::findProgram(
        Identity::trayProgram,
        {Identity::libexecToBindir, QStringLiteral("."), Identity::installBindir});
    const bool delivered =
        ApplicationBus::openUrls(QDBusConnection::sessionBus(), {startUrl}, targetId, program,
                                 ApplicationBus::Delivery::Await);
    qCDebug(lcLauncher) << "start" << (delivered ? "handed to" : "not handed to") << targetId;
    QCoreApplication::quit();
}
