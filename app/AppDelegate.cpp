#include "app/AppDelegate.h"

#include "app/AppLog.h"
#include "app/AppServices.h"
#include "app/FailureReason.h"
#include "app/LoginItemChoice.h"
#include "base/UnicodeText.h"
#include "core/Keychain.h"
#include "core/ServiceEndpoints.h"
#include "desktop/Alert.h"
#include "desktop/TrayIcon.h"
#include "desktop/TrayMenuItem.h"

#include <algorithm>

AppDelegate::AppDelegate(AppServices& services)
    : m_services(services)
{
    m_services.setPollListener([this](const QString& guid, const Result<AlarmList>& result) {
        pollCompleted(guid, result);
    });
}

AppDelegate::~AppDelegate()
{
    m_services.setPollListener({});
}

void AppDelegate::applicationWillFinishLaunching()
{
    // The host delivers launch URLs right after this, before the launch finishes.
    m_urlHandlerInstalled = true;
}

void AppDelegate::openUrls(const QStringList& urls)
{
    if (!m_urlHandlerInstalled)
        return;
    // Every URL undoes what the one before it did, so only the last START and the last token
    // are handled, in their order: the same outcome, and a message with thousands of URLs costs
    // one write of the settings file at most.
    qsizetype lastStart = -1;
    qsizetype lastToken = -1;
    for (qsizetype i = 0; i < urls.size(); ++i) {
        if (const std::optional<QString> remainder = remainderOf(urls.at(i)))
            (UnicodeText::equal(*remainder, startCommand) ? lastStart : lastToken) = i;
    }
    for (const qsizetype i : {std::min(lastStart, lastToken), std::max(lastStart, lastToken)}) {
        if (i >= 0)
            handleURLEvent(urls.at(i));
    }
}

void AppDelegate::applicationDidFinishLaunching(const QVariantMap& userInfo)
{
    if (userInfo.contains(ApplicationHost::launchNotificationKey))
        m_ranBy = RanBy::Notification;
    const auto token = Keychain(tokenStore).storedToken();
    qCDebug(lcApp) << "launch finished: ran by" << static_cast<int>(m_ranBy) << "with"
                   << (token ? "a token" : "no token");
    if (token)
        followAccount(*token);
    m_launched = true;
    // Started only to carry out a desktop action, the program does that and no more: no alert,
    // no login item of its own accord.
    const bool byUser = m_ranBy == RanBy::User && m_launchActions.isEmpty();
    const std::optional<bool> choice = LoginItemChoice::stored();
    // Someone who signs in with the panel before ever starting us by hand is not left without
    // alarms after the next login.
    const bool handedOver = m_ranBy == RanBy::Widget && token;
    const bool registers = choice ? byUser && *choice : byUser || handedOver;
    menu(choice.value_or(registers || m_ranBy == RanBy::Launcher));
    if (registers)
        login(true);
    if (byUser)
        dialog();
    for (const QString& action : std::exchange(m_launchActions, {}))
        runAction(action);
}

void AppDelegate::start(const QString& token)
{
    m_services.stopNotificationTask();
    m_services.startNotificationTask(token);
    m_services.registerForRemoteNotifications(remoteNotificationTypes);
}

AccountHealth::Polling AppDelegate::followAccount(const QString& guid)
{
    const AccountHealth::Polling polling = m_health.setAccount(guid);
    switch (polling) {
    case AccountHealth::Polling::Start:
        start(guid);
        break;
    case AccountHealth::Polling::Stop:
        m_services.stopNotificationTask();
        break;
    case AccountHealth::Polling::Unchanged:
        return polling;
    }
    showHealth();
    return polling;
}

void AppDelegate::pollCompleted(const QString& guid, const Result<AlarmList>& result)
{
    const QDateTime now = QDateTime::currentDateTime();
    const std::optional<AccountHealth::Notice> notice =
        result.isSuccess() ? m_health.pollSucceeded(guid, now, result.value().size())
                           : m_health.pollFailed(guid, now, FailureReason::of(result.error()));
    if (notice)
        m_services.postNotification(notice->title, notice->body);
    showHealth();
}

void AppDelegate::showHealth()
{
    if (!m_statusItem)
        return;
    m_statusItem->setToolTip(m_health.toolTip());
    m_statusItem->setMuted(m_health.muted());
}

void AppDelegate::menu(bool startAtLogin)
{
    if (m_statusItem)
        return;
    m_statusItem = std::make_unique<TrayIcon>(Identity::displayName);
    m_statusItem->addItem(new TrayMenuItem(tr("T-O-VO..."), [this] { openTovo(); }));
    m_runAtLoginMenuItem = new TrayMenuItem(tr("Start at login"), [this] { toggleStartAtLogin(); });
    m_runAtLoginMenuItem->setState(startAtLogin ? TrayMenuItem::State::On
                                                : TrayMenuItem::State::Off);
    m_statusItem->addItem(m_runAtLoginMenuItem);
    m_statusItem->addItem(TrayMenuItem::separator());
    m_statusItem->addItem(new TrayMenuItem(tr("Quit"), [this] { menuQuit(); }));
    m_statusItem->setImage(QStringLiteral("StatusItem"));
    m_statusItem->setAlternateImage(QStringLiteral("StatusItem_i"));
    // The way to the alarms, as a notification's click; the menu is on the right click.
    QObject::connect(
        m_statusItem.get(), &TrayIcon::activated, m_statusItem.get(),
        [this](const QString& activationToken) { m_services.openTodayPanel(activationToken); });
    showHealth();
}

void AppDelegate::login(bool enabled)
{
    m_services.setLoginItemEnabled(launcherId, enabled);
}

void AppDelegate::toggleStartAtLogin()
{
    if (!m_runAtLoginMenuItem)
        return;
    // Off and mixed both become on.
    const bool on = m_runAtLoginMenuItem->state() != TrayMenuItem::State::On;
    m_runAtLoginMenuItem->setState(on ? TrayMenuItem::State::On : TrayMenuItem::State::Off);
    LoginItemChoice::store(on);
    login(on);
}

void AppDelegate::activateAction(const QString& name, const QVariantList& /*parameter*/)
{
    if (m_launched)
        runAction(name);
    else if (m_launchActions.size() < maxLaunchActions)
        m_launchActions.append(name);
}

void AppDelegate::runAction(const QString& name)
{
    qCDebug(lcApp) << "desktop action" << name;
    if (name == quitAction) {
        menuQuit();
    } else if (name == startAtLoginAction && m_runAtLoginMenuItem) {
        toggleStartAtLogin();
        // Without a tray nothing else shows what the action did.
        m_services.postNotification(m_runAtLoginMenuItem->state() == TrayMenuItem::State::On
                                        ? tr("T-O-VO will start at login")
                                        : tr("T-O-VO will not start at login"),
                                    QString());
    }
}

void AppDelegate::menuQuit()
{
    m_services.terminate();
}

void AppDelegate::openTovo()
{
    m_services.openUrl(ServiceEndpoints::webBase());
}

void AppDelegate::dialog()
{
    const QStringList arguments = m_services.launchArguments();
    if (arguments.size() > 1 && UnicodeText::equal(arguments.at(1), QStringLiteral("launched")))
        return;
    Alert alert;
    alert.windowTitle = Identity::displayName;
    alert.addButton(tr("Got it"));
    alert.addButton(tr("Open T-O-VO Today"));
    alert.messageText = tr("T-O-VO is Running");
    // Where the panel and the controls are on this desktop, as it is now.
    alert.informativeText =
        m_statusItem && m_statusItem->isInTray()
            ? tr("To sign in and see your alarms, open T-O-VO Today from the applications menu or "
                 "click the T-O-VO icon.")
            : tr("To sign in and see your alarms, open T-O-VO Today from the applications "
                 "menu.") +
                  u' ' +
                  tr("This desktop has no tray for the T-O-VO icon: \"Start at login\" and "
                     "\"Quit T-O-VO\" are on the menu that a right click on T-O-VO in the "
                     "applications menu opens.");
    alert.style = Alert::Style::Informational;
    if (m_services.runAlert(alert) == 1)
        m_services.openTodayPanel({});
}

std::optional<QString> AppDelegate::remainderOf(const QString& url)
{
    // A scheme is the same in any case; the prefix is removed as written, every occurrence.
    if (!url.startsWith(urlPrefix, Qt::CaseInsensitive))
        return std::nullopt;
    QString remainder = QString(url).remove(urlPrefix, Qt::CaseSensitive);
    if (remainder.size() > maxTokenLength)
        return std::nullopt;
    return remainder;
}

void AppDelegate::handleURLEvent(const QString& url)
{
    const std::optional<QString> found = remainderOf(url);
    if (!found) {
        qCDebug(lcApp) << "URL event ignored: not one of ours, or its token too long";
        return;
    }
    const QString& remainder = *found;
    if (UnicodeText::equal(remainder, startCommand)) {
        qCDebug(lcApp) << "URL event: the launcher's start";
        m_ranBy = RanBy::Launcher;
        return;
    }
    const bool stored = Keychain(tokenStore).storeToken(remainder);
    qCDebug(lcApp) << "URL event: a token from the panel," << (stored ? "stored" : "not stored");
    m_ranBy = RanBy::Widget;
    // At launch the launch sequence starts polling with the stored token, once. Later polling
    // follows the token handed over, even one the store failed to keep: it is the user's choice.
    if (!m_launched || followAccount(remainder) != AccountHealth::Polling::Start ||
        LoginItemChoice::stored())
        return;
    // A new account from the panel, while the user never chose: as at a launch by the panel.
    login(true);
    if (m_runAtLoginMenuItem)
        m_runAtLoginMenuItem->setState(TrayMenuItem::State::On);
}
