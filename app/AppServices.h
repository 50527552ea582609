#pragma once
// Everything the tray application's delegate does to the world outside itself. The desktop
// implementation is DesktopAppServices; tests hand in a recorder.

#include "core/Alarm.h"
#include "core/Result.h"

#include <QString>
#include <QStringList>
#include <functional>

class Alert;

class AppServices {
public:
    // A completed poll: the GUID it was for and its outcome.
    using PollListener = std::function<void(const QString& guid, const Result<AlarmList>& result)>;

    virtual ~AppServices() = default;

    virtual void startNotificationTask(const QString& guid) = 0;
    virtual void stopNotificationTask() = 0;
    // Who is told of every completed poll, on the main thread; none to stop telling.
    virtual void setPollListener(PollListener listener) = 0;
    // One notification of the program's own, beside the alarms' and never counted with them; a
    // click on it opens the Today panel as an alarm's does.
    virtual void postNotification(const QString& title, const QString& text) = 0;
    virtual void setLoginItemEnabled(const QString& applicationId, bool enabled) = 0;
    // The index of the button pressed; -1 when the alert was closed otherwise.
    virtual int runAlert(const Alert& alert) = 0;
    virtual void openUrl(const QString& url) = 0;
    // Opens the Today panel, or brings it to the front, for a click that came with
    // `activationToken` (or none): on a notification, the tray icon or the alert.
    virtual void openTodayPanel(const QString& activationToken) = 0;
    // Ends the program once the event loop runs (at once when it runs already).
    virtual void terminate() = 0;
    // `types` is a set of flags (sound 2, alert 4).
    virtual void registerForRemoteNotifications(int types) = 0;
    // The process's arguments, program path first.
    virtual QStringList launchArguments() const = 0;
};
