#pragma once
// The home controller in the Today panel against the fake service, with a fake tovo.TOVO on the
// test's private bus that records what the widget hands over. The tests of the home controller
// and of its sign-in form derive from it and run its steps from their initTestCase, init and
// cleanup.

#include "FakeApplication.h"
#include "FakeService.h"
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

    // A feed with one alarm per level ("Critical/Minor"): alarm N of agent-N on res-N with text-N
    // and guid-N.
    static QByteArray feedOf(const QString& levelList)
    {
        const QStringList levels = levelList.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        QByteArray body =
            "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Alarms</title>";
        for (int n = 1; n <= levels.size(); ++n) {
            const QByteArray number = QByteArray::number(n);
            body += "<item><title>agent-" + number + ": " + levels[n - 1].toUtf8() +
                    "</title><description><![CDATA[Resource: res-" + number + "<br>text-" + number +
                    "]]></description><guid>guid-" + number + "</guid></item>";
        }
        return body + "</channel></rss>";
    }

    // The service answers a sign-in with m_guid and a feed request with m_status and m_feed.
    void serve()
    {
        qputenv("TOVO_FEED_BASE", m_service.baseUrl().toUtf8());
        qputenv("TOVO_WEB_BASE", m_service.baseUrl().toUtf8());
        m_service.setHandler([this](const QByteArray& target) {
            if (target.startsWith("/resolveGUID")) {
                return m_guid.isEmpty() ? FakeService::Answer(401, "denied")
                                        : FakeService::Answer(200, "<guid>" + m_guid + "</guid>");
            }
            return FakeService::Answer(m_status, m_feed);
        });
    }

    void setUpPanel()
    {
        storeGuid(QString());
        m_tovo = std::make_unique<FakeApplication>(HomeViewController::tovoApplicationId);
        QVERIFY(m_tovo->registerOnBus());
        m_feed = feedOf(QStringLiteral("Critical/Minor"));
        m_status = 200;
        m_guid = "GUID-42";
        // Long enough to see the form between a successful sign-in and the storing.
        m_home = std::make_shared<HomeViewController>(
            WidgetDelays{std::chrono::milliseconds(1), std::chrono::milliseconds(400)});
        m_panel = std::make_unique<TodayPanel>(m_home);
    }

    void tearDownPanel()
    {
        m_panel.reset();
        m_home.reset();
        m_tovo.reset();
    }

    FakeService m_service;
    std::unique_ptr<FakeApplication> m_tovo;
    QByteArray m_feed;
    int m_status = 200;
    QByteArray m_guid; // the sign-in's answer; none: the service turns it down
    std::shared_ptr<HomeViewController> m_home;
    std::unique_ptr<TodayPanel> m_panel;
};
