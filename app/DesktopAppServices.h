#pragma once
// The tray application's effects on the real desktop: the shared polling client, XDG autostart,
// a modal message box, the browser, the application object. The Today panel, which a click on a
// notification opens, is started from beside this program when the bus cannot start it.

#include "app/AppServices.h"
#include "desktop/DesktopUrlOpener.h"

class DesktopAppServices : public AppServices {
public:
    DesktopAppServices();
    // Ends the polling loops, if any were started, before the application object goes away.
    ~DesktopAppServices() override;
    DesktopAppServices(const DesktopAppServices&) = delete;
    DesktopAppServices& operator=(const DesktopAppServices&) = delete;

    void startNotificationTask(const QString& guid) override;
    void stopNotificationTask() override;
    void setPollListener(PollListener listener) override;
    void postNotification(const QString& title, const QString& text) override;
    void setLoginItemEnabled(const QString& applicationId, bool enabled) override;
    int runAlert(const Alert& alert) override;
    void openUrl(const QString& url) override;
    void openTodayPanel(const QString& activationToken) override;
    void terminate() override;
    void registerForRemoteNotifications(int types) override;
    QStringList launchArguments() const override;

    // The installed login launcher, as its autostart entry starts it.
    static QString launcherProgram();

private:
    DesktopUrlOpener m_urlOpener;
    bool m_polling = false;
};
