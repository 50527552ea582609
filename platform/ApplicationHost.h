#pragma once
// The application main of a program that runs once per desktop session and is reachable as an
// org.freedesktop.Application on the session bus (bus name = application id, object path
// derived from it: "tovo.TOVO" -> "/tovo/TOVO").
//
// run() claims the bus name. When another instance already holds it, the arguments are forwarded
// there (URLs as Open, otherwise Activate) and run() returns 0 at once. Otherwise the delegate
// sees, in this order: applicationWillFinishLaunching, the launch URLs (command line, or an Open
// that started us through D-Bus activation), applicationDidFinishLaunching with the launch's
// user information, and then, while the event loop runs, every later Open, Activate and
// ActivateAction.

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;

    virtual void applicationWillFinishLaunching() {}
    // One call per URL, launch URLs included.
    virtual void openUrl(const QString& /*url*/) {}
    // userInfo holds ApplicationHost::launchNotificationKey when a notification action started us.
    virtual void applicationDidFinishLaunching(const QVariantMap& /*userInfo*/) {}
    // A second start without URLs, or an Activate from the desktop.
    virtual void activate() {}
    virtual void activateAction(const QString& /*name*/, const QVariantList& /*parameter*/) {}
    virtual void applicationWillTerminate() {}
};
