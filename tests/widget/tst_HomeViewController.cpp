// The home controller against the fake service, with a fake tovo.TOVO on the private bus that
// records what the widget hands over.

#include "AlarmRowViewController.h"
#include "FakeApplication.h"
#include "FakeService.h"
#include "HomeViewController.h"
#include "ListEntry.h"
#include "LoginViewController.h"
#include "MessageViewController.h"
#include "core/Keychain.h"
#include "platform/TodayPanel.h"
#include "platform/WidgetListViewController.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct FeedItem {
    const char* agent;
    const char* level;
    const char* resource;
    const char* description;
};

QByteArray feedOf(const QList<FeedItem>& items)
{
    QByteArray body = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Alarms</title>";
    int number = 0;
    for (const FeedItem& item : items) {
        body += "<item><title>" + QByteArray(item.agent) + ": " + item.level +
                "</title><description><![CDATA[Resource: " + item.resource + "<br>" +
                item.description + "]]></description><guid>guid-" + QByteArray::number(++number) +
                "</guid></item>";
    }
    return body + "</channel></rss>";
}

const QList<FeedItem> twoAlarms = {{"web-agent", "Critical", "www-01", "Site down"},
                                   {"db-agent", "Minor", "db-02", "Slow queries"}};

// "Critical/Minor": the levels of the list's alarm rows; message rows as their type.
QString rowsOf(const WidgetListViewController* list)
{
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        const ViewController* controller = list->rowViewController(row);
        const QVariant& entry = controller->representedObject();
        if (const AlarmPtr alarm = ListEntry::alarm(entry)) {
            rows << (qobject_cast<const AlarmRowViewController*>(controller) ? alarm->alarmLevel()
                                                                             : QStringLiteral("?"));
        } else if (const ItemPtr item = ListEntry::item(entry)) {
            const bool message = qobject_cast<const MessageViewController*>(controller);
            rows << (!message                                ? QStringLiteral("?")
                     : item->alarmType() == AlarmType::Error ? QStringLiteral("Error")
                                                             : QStringLiteral("NoAlarms"));
        }
    }
    return rows.join(QLatin1Char('/'));
}

} // namespace

class HomeViewControllerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void withoutGuidTheLoginIsOfferedOnce();
    void everyAppearanceWithGuidHandsItToTovoAndFetches();
    void feedOutcomes_data();
    void feedOutcomes();
    void guidThatMakesNoUrlIsNotHandedOn();
    void listReplacedUnlessIdentical_data();
    void listReplacedUnlessIdentical();
    void editPresentsLoginEveryOtherTime();

private:
    void appearAndWaitForFeed();

    FakeService m_service;
    std::unique_ptr<FakeApplication> m_tovo;
    QByteArray m_feed;
    int m_status = 200;
    std::shared_ptr<HomeViewController> m_home;
    std::unique_ptr<TodayPanel> m_panel;
};

void HomeViewControllerTest::initTestCase()
{
    qputenv("TOVO_FEED_BASE", m_service.baseUrl().toUtf8());
    qputenv("TOVO_WEB_BASE", m_service.baseUrl().toUtf8());
    m_service.setHandler(
        [this](const QByteArray&) { return FakeService::Answer(m_status, m_feed); });
}

void HomeViewControllerTest::init()
{
    Keychain(HomeViewController::tokenStoreName).storeToken(QString());
    m_tovo = std::make_unique<FakeApplication>(HomeViewController::tovoApplicationId);
    QVERIFY(m_tovo->registerOnBus());
    m_feed = feedOf(twoAlarms);
    m_status = 200;
    m_home = std::make_shared<HomeViewController>(
        WidgetDelays{std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
    m_panel = std::make_unique<TodayPanel>(m_home);
}

void HomeViewControllerTest::cleanup()
{
    m_panel.reset();
    m_home.reset();
    m_tovo.reset();
}

void HomeViewControllerTest::appearAndWaitForFeed()
{
    QSignalSpy applied(m_home.get(), &HomeViewController::feedApplied);
    if (m_panel->isVisible()) {
        m_panel->activate();
    } else {
        m_panel->show();
    }
    if (applied.isEmpty()) {
        QVERIFY(applied.wait());
    }
}

void HomeViewControllerTest::withoutGuidTheLoginIsOfferedOnce()
{
    const qsizetype requestsBefore = m_service.requestTargets().size();
    m_panel->show();
    QVERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));
    QVERIFY(m_home->loginAlreadyPresented());

    // Closing the form, hiding and showing the panel again: no second form, no fetch.
    m_panel->dismiss(m_panel->presentedViewController());
    m_panel->hide();
    m_panel->show();
    QCOMPARE(m_panel->presentedViewController(), nullptr);
    QCOMPARE(m_home->listViewController()->rowCount(), 0);

    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
    appearAndWaitForFeed();
    QCOMPARE(m_service.requestTargets().mid(requestsBefore),
             QList<QByteArray>{"/rssalarms?mac2&id=abc"});
}

void HomeViewControllerTest::everyAppearanceWithGuidHandsItToTovoAndFetches()
{
    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
    const qsizetype requestsBefore = m_service.requestTargets().size();

    appearAndWaitForFeed();
    QTRY_COMPARE(m_tovo->openedUris().size(), 1);
    appearAndWaitForFeed(); // a second start activates the panel
    m_panel->showMinimized();
    // Let the platform confirm the minimised state before the restore.
    QCoreApplication::processEvents();
    appearAndWaitForFeed(); // restored
    QTRY_COMPARE(m_tovo->openedUris().size(), 3);

    for (const QStringList& uris : m_tovo->openedUris()) {
        QCOMPARE(uris, QStringList{QStringLiteral("tovo://abc")});
    }
    QCOMPARE(m_service.requestTargets().size() - requestsBefore, 3);
    QCOMPARE(m_panel->presentedViewController(), nullptr);
}

void HomeViewControllerTest::feedOutcomes_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QString>("rows");
    QTest::newRow("alarms in feed order")
        << 200 << feedOf(twoAlarms) << QStringLiteral("Critical/Minor");
    QTest::newRow("no alarms") << 200 << feedOf({}) << QStringLiteral("NoAlarms");
    QTest::newRow("server error") << 500 << QByteArray("oops") << QStringLiteral("Error");
}

void HomeViewControllerTest::feedOutcomes()
{
    QFETCH(int, status);
    QFETCH(QByteArray, feed);
    QFETCH(QString, rows);
    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));

    // Start from an error row, so that every outcome has to replace something.
    m_status = 503;
    appearAndWaitForFeed();
    QCOMPARE(rowsOf(m_home->listViewController()), QStringLiteral("Error"));

    m_status = status;
    m_feed = feed;
    appearAndWaitForFeed();
    QCOMPARE(rowsOf(m_home->listViewController()), rows);
}

void HomeViewControllerTest::guidThatMakesNoUrlIsNotHandedOn()
{
    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("a b"));
    appearAndWaitForFeed();
    QCOMPARE(rowsOf(m_home->listViewController()), QStringLiteral("Error"));

    // Calls reach the fake in order: the next hand-over is the first it sees.
    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
    appearAndWaitForFeed();
    QTRY_COMPARE(m_tovo->openedUris().size(), 1);
    QCOMPARE(m_tovo->openedUris().first(), QStringList{QStringLiteral("tovo://abc")});
}

void HomeViewControllerTest::listReplacedUnlessIdentical_data()
{
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QString>("rows");

    QTest::newRow("identical") << feedOf(twoAlarms) << false << QStringLiteral("Critical/Minor");
    QTest::newRow("first alarm changed")
        << feedOf({{"web-agent", "Resolved", "www-01", "Site down"}, twoAlarms[1]}) << true
        << QStringLiteral("Resolved/Minor");
    // The first alarm alone would not show these changes.
    QTest::newRow("later alarm resolved")
        << feedOf({twoAlarms[0], {"db-agent", "Resolved", "db-02", "Slow queries"}}) << true
        << QStringLiteral("Critical/Resolved");
    QTest::newRow("one alarm more")
        << feedOf({twoAlarms[0], twoAlarms[1], {"mail-agent", "Major", "mx-1", "Queue full"}})
        << true << QStringLiteral("Critical/Minor/Major");
    QTest::newRow("one alarm less") << feedOf({twoAlarms[0]}) << true << QStringLiteral("Critical");
}

void HomeViewControllerTest::listReplacedUnlessIdentical()
{
    QFETCH(QByteArray, next);
    QFETCH(bool, replaced);
    QFETCH(QString, rows);
    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
    appearAndWaitForFeed();
    WidgetListViewController* list = m_home->listViewController();
    QCOMPARE(rowsOf(list), QStringLiteral("Critical/Minor"));
    const ViewController* firstRow = list->rowViewController(0);

    QSignalSpy changed(list, &WidgetListViewController::contentsChanged);
    m_feed = next;
    appearAndWaitForFeed();
    QCOMPARE(changed.size(), replaced ? 1 : 0);
    QCOMPARE(list->rowViewController(0) != firstRow, replaced);
    QCOMPARE(rowsOf(list), rows);
}

void HomeViewControllerTest::editPresentsLoginEveryOtherTime()
{
    Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
    appearAndWaitForFeed();
    QCOMPARE(m_panel->presentedViewController(), nullptr);

    m_home->widgetDidBeginEditing();
    QTRY_VERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));
    m_panel->dismiss(m_panel->presentedViewController());

    m_home->widgetDidBeginEditing(); // the second use presents nothing
    QVERIFY(!m_home->editAlreadyPresented());
    m_home->widgetDidBeginEditing();
    QTRY_VERIFY(m_panel->presentedViewController());
    // Had the second use presented a form too, it would be underneath this one.
    m_panel->dismiss(m_panel->presentedViewController());
    QCOMPARE(m_panel->presentedViewController(), nullptr);
}

QTEST_MAIN(HomeViewControllerTest)
#include "tst_HomeViewController.moc"
