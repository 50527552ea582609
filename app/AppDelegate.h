#pragma once
// The tray application's delegate: works out how the process was started, starts polling with
// the stored token, builds the tray icon and its four-entry menu, registers the login
// launcher and shows the first-run alert on a start by the user, and handles "tovo://" URLs.
// Once launched, polling follows every token the panel hands over, and the tray's tooltip and
// glyph follow each completed poll. Everything runs on the main thread.

#include "Identity.h"
#include "app/AccountHealth.h"
#include "app/RanBy.h"
#include "bus/ApplicationHost.h"
#include "core/Alarm.h"
#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <memory>
#include <optional>

class AppServices;
class TrayIcon;
class TrayMenuItem;

class AppDelegate : public ApplicationDelegate {
    Q_DECLARE_TR_FUNCTIONS(AppDelegate)
public:
    static inline const QString launcherId = Identity::launcherId;
    static inline const QString urlPrefix = Identity::urlScheme + QStringLiteral("://");
    static inline const QString startCommand = QStringLiteral("START");
    static inline const QString tokenStore = QStringLiteral("tovo");
    // A GUID has 36 characters; a longer token than this is not one, and would only make every
    // request long.
    static constexpr qsizetype maxTokenLength = 256;
    // Remote-notification types: sound (2) and alert (4).
    static constexpr int remoteNotificationTypes = 6;

    explicit AppDelegate(AppServices& services);
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    RanBy ranBy() const { return m_ranBy; }
    void setRanBy(RanBy ranBy) { m_ranBy = ranBy; }
    TrayIcon* statusItem() const { return m_statusItem.get(); }
    TrayMenuItem* runAtLoginMenuItem() const { return m_runAtLoginMenuItem; }

    void applicationWillFinishLaunching() override;
    void openUrls(const QStringList& urls) override;
    void applicationDidFinishLaunching(const QVariantMap& userInfo) override;

    void start(const QString& token);
    void menu(bool startAtLogin);
    void login(bool enabled);
    void toggleStartAtLogin();
    void menuQuit();
    void openTovo();
    void dialog();
    // One opened URL. Only our own scheme's URLs count ("tovo://...", the scheme in any case),
    // with a token of at most maxTokenLength characters; anything else does nothing.
    void handleURLEvent(const QString& url);

private:
    // What `url` asks for with its every "tovo://" removed: "START" or a token; none when the URL
    // is not one of ours.
    static std::optional<QString> remainderOf(const QString& url);
    // Starts, stops or keeps polling so that it follows `guid` (empty: none).
    void followAccount(const QString& guid);
    void pollCompleted(const QString& guid, const Result<AlarmList>& result);
    void showHealth();

    AppServices& m_services;
    RanBy m_ranBy = RanBy::User;
    bool m_urlHandlerInstalled = false;
    bool m_launched = false;
    AccountHealth m_health;
    std::unique_ptr<TrayIcon> m_statusItem;
    TrayMenuItem* m_runAtLoginMenuItem = nullptr;
};
