#pragma once
// tovo-today's application delegate: opens the Today panel with its home controller when the
// launch finishes, and brings it back to the front when the program is started again or
// activated (a click on a notification or on the tray icon), with the activation token of that
// click: the one the launch came with, a later Activate's, or the desktop's in the environment.

#include "Identity.h"
#include "bus/ApplicationHost.h"
#include "widget/WidgetDelays.h"

#include <memory>

class ServiceClient;
class TodayPanel;
class UrlOpener;

class TodayApplication : public ApplicationDelegate {
public:
    static inline const QString applicationId = Identity::todayId;

    // The panel's controllers fetch through `client` and hand the GUID on through `urlOpener`.
    TodayApplication(ServiceClient& client, UrlOpener& urlOpener, WidgetDelays delays = {});
    ~TodayApplication() override;

    void applicationDidFinishLaunching(const QVariantMap& userInfo) override;
    void activate(const QString& activationToken) override;
    // The panel takes no URLs; being sent some still brings it to the front.
    void openUrls(const QStringList& urls) override;

    TodayPanel* panel() const { return m_panel.get(); }

private:
    ServiceClient& m_client;
    UrlOpener& m_urlOpener;
    WidgetDelays m_delays;
    std::unique_ptr<TodayPanel> m_panel;
    QString m_launchToken;
};
