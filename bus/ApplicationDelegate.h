#pragma once
// What an ApplicationHost tells its program, in the order of a launch and then as messages come.
// All calls arrive on the main thread.

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;

    virtual void applicationWillFinishLaunching() {}
    // The URLs of one message (or of the command line), in order, launch URLs included.
    virtual void openUrls(const QStringList& /*urls*/) {}
    // userInfo holds ApplicationHost::launchNotificationKey when a notification action started us.
    virtual void applicationDidFinishLaunching(const QVariantMap& /*userInfo*/) {}
    // A second start without URLs, or an Activate from the desktop. `activationToken` is what the
    // desktop sent along with the user's click (ApplicationBus::activationToken): it lets a window
    // come to the front. Empty when none came.
    virtual void activate(const QString& /*activationToken*/) {}
    // One of the program's actions: from the bus, or the launch argument
    // ApplicationBus::actionOption.
    virtual void activateAction(const QString& /*name*/, const QVariantList& /*parameter*/) {}
    virtual void applicationWillTerminate() {}
};
