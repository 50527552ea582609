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
}

void TodayApplication::activate()
{
    if (m_panel) {
        m_panel->activate();
    }
}

void TodayApplication::openUrls(const QStringList& /*urls*/)
{
    activate();
}
