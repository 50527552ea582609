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
    // A second start without URLs, or an Activate from the desktop.
    virtual void activate() {}
    virtual void activateAction(const QString& /*name*/, const QVariantList& /*parameter*/) {}
    virtual void applicationWillTerminate() {}
};
