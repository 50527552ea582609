#include "app/DesktopAppServices.h"

#include "app/NotificationClient.h"
#include "desktop/Alert.h"
#include "desktop/Autostart.h"
#include "desktop/UrlOpener.h"

#include <QCoreApplication>

DesktopAppServices::~DesktopAppServices()
{
    // A loop waking during teardown would request the feed from a dying application.
    if (m_polling)
        NotificationClient::sharedClient().backgroundQueue().shutdown();
}

void DesktopAppServices::startNotificationTask(const QString& guid)
{
    m_polling = true;
    NotificationClient::sharedClient().startNotificationTask(guid);
}

void DesktopAppServices::stopNotificationTask()
{
    NotificationClient::sharedClient().stopNotificationTask();
}

void DesktopAppServices::setLoginItemEnabled(const QString& applicationId, bool enabled)
{
    // A refused change is not reported: the menu shows what was asked for.
    Autostart().setEnabled(applicationId, enabled);
}

void DesktopAppServices::runAlert(const Alert& alert)
{
    alert.runModal();
}

void DesktopAppServices::openUrl(const QString& url)
{
    UrlOpener::shared().openUrl(url);
}

void DesktopAppServices::terminate()
{
    QCoreApplication::quit();
}

void DesktopAppServices::registerForRemoteNotifications(int /*types*/)
{
    // The desktop has no push service for us; nothing to register with.
}

QStringList DesktopAppServices::launchArguments() const
{
    return QCoreApplication::arguments();
}
