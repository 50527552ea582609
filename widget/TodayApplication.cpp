#include "widget/TodayApplication.h"

#include "widget/HomeViewController.h"
#include "widget/TodayPanel.h"

TodayApplication::TodayApplication(WidgetDelays delays)
    : m_delays(delays)
{}

TodayApplication::~TodayApplication() = default;

void TodayApplication::applicationDidFinishLaunching(const QVariantMap& /*userInfo*/)
{
    m_home = std::make_shared<HomeViewController>(m_delays);
    m_panel = std::make_unique<TodayPanel>(m_home);
    m_panel->show();
}

void TodayApplication::activate()
{
    if (m_panel) {
        m_panel->activate();
    }
}

void TodayApplication::openUrl(const QString& /*url*/)
{
    activate();
}
