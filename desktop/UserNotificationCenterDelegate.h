#pragma once
// What a notification centre tells its delegate. All calls arrive on the main thread.

#include "desktop/UserNotification.h"

class UserNotificationCenter;

class UserNotificationCenterDelegate {
public:
    virtual ~UserNotificationCenterDelegate() = default;

    virtual void didDeliverNotification(UserNotificationCenter& /*center*/,
                                        const UserNotification& /*notification*/)
    {}
    // The user clicked the notification (its "default" action) or one of its actions.
    virtual void didActivateNotification(UserNotificationCenter& /*center*/,
                                         const UserNotification& /*notification*/)
    {}
    virtual void didCloseNotification(UserNotificationCenter& /*center*/,
                                      const UserNotification& /*notification*/)
    {}
    // Asked before sending; false drops the notification.
    virtual bool shouldPresentNotification(UserNotificationCenter& /*center*/,
                                           const UserNotification& /*notification*/)
    {
        return true;
    }
};
