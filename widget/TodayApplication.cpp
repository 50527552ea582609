#include "widget/TodayApplication.h"

#include "widget/HomeViewController.h"
#include "widget/TodayPanel.h"

TodayApplication::TodayApplication(ServiceClient& client, UrlOpener& urlOpener, WidgetDelays delays)
    : m_client(client)
    , m_urlOpener(urlOpener)
    , m_delays(delays)
{}

TodayApplication::~TodayApplication() = default;

void TodayApplication::applicationDidFinishLaunching(const QVariantMap& /*userInfo*/)
{
    m_panel = std::make_unique<TodayPanel>(new HomeViewController(m_client, m_urlOpener, m_delays));
    m_panel->show();
    // A launcher that started us by our command line hands its token over in the environment; it
    // serves once, and not the programs we start.
    if (m_launchToken.isEmpty()) {
        m_launchToken = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
        qunsetenv("XDG_ACTIVATION_TOKEN");
    }
    if (!m_launchToken.isEmpty()) {
        m_panel->bringToFront(std::exchange(m_launchToken, {}));
    }
}

void TodayApplication::activate(const QString& activationToken)
{
    if (m_panel) {
        m_panel->activate(activationToken);
    } else {
        // The message that the bus started us for: the panel comes with the launch.
        m_launchToken = activationToken;
    }
}

void TodayApplication::openUrls(const QStringList& /*urls*/)
{
    activate({});
}
