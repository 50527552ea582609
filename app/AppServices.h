#pragma once
// Everything the tray application's delegate does to the world outside itself. The desktop
// implementation is DesktopAppServices; tests hand in a recorder.

#include <QString>
#include <QStringList>

class Alert;

class AppServices {
public:
    virtual ~AppServices() = default;

    virtual void startNotificationTask(const QString& guid) = 0;
    virtual void stopNotificationTask() = 0;
    virtual void setLoginItemEnabled(const QString& applicationId, bool enabled) = 0;
    virtual void runAlert(const Alert& alert) = 0;
    virtual void openUrl(const QString& url) = 0;
    virtual void terminate() = 0;
    // `types` is a set of flags (sound 2, alert 4).
    virtual void registerForRemoteNotifications(int types) = 0;
    // The process's arguments, program path first.
    virtual QStringList launchArguments() const = 0;
};
