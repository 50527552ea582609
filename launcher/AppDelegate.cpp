#include "AppDelegate.h"

#include "ApplicationBus.h"

#include <QCoreApplication>
#include <QDBusConnection>

void AppDelegate::applicationDidFinishLaunching()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    // Whether it worked is not our concern: a missing tray application is not reported.
    ApplicationBus::openUrls(bus, {startUrl}, targetId, ApplicationBus::fallbackProgram(targetId));
    // Only the bus daemon is waited for, so the message is not lost when we exit.
    ApplicationBus::waitUntilSent(bus);
    QCoreApplication::quit();
}
