#include "app/DesktopAppServices.h"

#include "Identity.h"
#include "app/AppLog.h"
#include "app/NotificationClient.h"
#include "desktop/Alert.h"
#include "desktop/Autostart.h"

#include <QApplication>
#include <QFileInfo>

DesktopAppServices::DesktopAppServices()
{
    m_urlOpener.addFallbackProgram(Identity::todayId, Identity::todayProgram,
                                   {QStringLiteral("."), Identity::installBindir});
    NotificationClient::sharedClient().setActivation(
        [this](const QString& activationToken) { openTodayPanel(activationToken); });
}

DesktopAppServices::~DesktopAppServices()
{
    // A loop waking during teardown would request the feed from a dying application.
    if (m_polling)
        NotificationClient::sharedClient().backgroundQueue().shutdown();
    NotificationClient::sharedClient().setActivation({});
    NotificationClient::sharedClient().setPollListener({});
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

void DesktopAppServices::setPollListener(PollListener listener)
{
    NotificationClient::sharedClient().setPollListener(std::move(listener));
}

void DesktopAppServices::postNotification(const QString& title, const QString& text)
{
    NotificationClient::sharedClient().postNotification(title, text);
}

QString DesktopAppServices::launcherProgram()
{
    // Next to our own installed place when it is there (a package for another prefix than the
    // build's), else the configured one.
    const QFileInfo beside(QCoreApplication::applicationDirPath() + u'/' +
                           Identity::bindirToLibexecdir + u'/' + Identity::launcherProgram);
    if (beside.isFile())
        return beside.canonicalFilePath();
    return Identity::installLibexecdir + u'/' + Identity::launcherProgram;
}

void DesktopAppServices::setLoginItemEnabled(const QString& applicationId, bool enabled)
{
    // Only our launcher is a login item. A refused change is not reported: the menu shows what
    // was asked for.
    const QString program = applicationId == Identity::launcherId ? launcherProgram() : QString();
    const bool done = Autostart().setEnabled(applicationId, program, enabled);
    qCDebug(lcApp) << "login item" << applicationId << (enabled ? "on:" : "off:")
                   << (done ? "done" : "refused");
}

int DesktopAppServices::runAlert(const Alert& alert)
{
    return alert.runModal();
}

void DesktopAppServices::openUrl(const QString& url)
{
    m_urlOpener.openUrl(url);
}

void DesktopAppServices::openTodayPanel(const QString& activationToken)
{
    m_urlOpener.activate(Identity::todayId, activationToken);
}

void DesktopAppServices::terminate()
{
    // Queued: an action that arrives while the program starts asks for it before the event loop
    // runs, when quit() alone would do nothing. An open alert closes, or its own loop would take
    // the quit.
    QApplication::closeAllWindows();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

void DesktopAppServices::registerForRemoteNotifications(int /*types*/)
{
    // The desktop has no push service for us; nothing to register with.
}

QStringList DesktopAppServices::launchArguments() const
{
    return QCoreApplication::arguments();
}
