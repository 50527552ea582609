#pragma once
// The home controller in the Today panel, on a fake service client and a recording URL opener;
// the home controller's and sign-in form's tests derive from it.

#include "FakeServiceClient.h"
#include "RecordingUrlOpener.h"
#include "core/Keychain.h"
#include "widget/HomeViewController.h"
#include "widget/TodayPanel.h"

#include <QTest>

class PanelFixture : public QObject {
protected:
    static void storeGuid(const QString& guid)
    {
        Keychain(HomeViewController::tokenStoreName).storeToken(guid);
    }

    void setUpPanel(std::chrono::milliseconds refreshInterval = std::chrono::minutes(1))
    {
        storeGuid(QString());
        m_client = std::make_unique<FakeServiceClient>();
        m_opener = std::make_unique<RecordingUrlOpener>();
        // Long enough to see the form between a successful sign-in and the storing.
        m_home =
            new HomeViewController(*m_client, *m_opener,
                                   WidgetDelays{std::chrono::milliseconds(1),
                                                std::chrono::milliseconds(400), refreshInterval});
        m_panel = std::make_unique<TodayPanel>(m_home);
    }

    void tearDownPanel()
    {
        m_panel.reset();
        m_opener.reset();
        m_client.reset();
    }

    std::unique_ptr<FakeServiceClient> m_client;
    std::unique_ptr<RecordingUrlOpener> m_opener;
    HomeViewController* m_home = nullptr; // the panel's
    std::unique_ptr<TodayPanel> m_panel;
};
