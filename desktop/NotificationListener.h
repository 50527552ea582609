#pragma once
// What DesktopNotifications tells its listener. All calls arrive on the main thread.

#include "desktop/DesktopNotification.h"

class DesktopNotifications;

class NotificationListener {
public:
    virtual ~NotificationListener() = default;

    virtual void didDeliverNotification(DesktopNotifications& /*notifications*/,
                                        const DesktopNotification& /*notification*/)
    {}
    // The user clicked the notification (its "default" action) or one of its actions.
    virtual void didActivateNotification(DesktopNotifications& /*notifications*/,
                                         const DesktopNotification& /*notification*/)
    {}
    virtual void didCloseNotification(DesktopNotifications& /*notifications*/,
                                      const DesktopNotification& /*notification*/)
    {}
    // Asked before sending; false drops the notification.
    virtual bool shouldPresentNotification(DesktopNotifications& /*notifications*/,
                                           const DesktopNotification& /*notification*/)
    {
        return true;
    }
};
