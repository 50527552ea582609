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

// A feed with one alarm per level ("Critical/Minor"): alarm N of agent-N on res-N with text-N
// and guid-N.
QByteArray feedOf(const QString& levelList)
{
    const QStringList levels = levelList.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QByteArray body = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Alarms</title>";
    for (int n = 1; n <= levels.size(); ++n) {
        const QByteArray number = QByteArray::number(n);
        body += "<item><title>agent-" + number + ": " + levels[n - 1].toUtf8() +
                "</title><description><![CDATA[Resource: res-" + number + "<br>text-" + number +
                "]]></description><guid>guid-" + number + "</guid></item>";
    }
    return body + "</channel></rss>";
}

// "Critical/Minor": the levels of the list's alarm rows; message rows as their type.
QString rowsOf(const WidgetListViewController* list)
{
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        const ViewController* controller = list->rowViewController(row);
        const AlarmPtr alarm = ListEntry::alarm(controller->representedObject());
        const ItemPtr item = ListEntry::item(controller->representedObject());
        if (alarm && qobject_cast<const AlarmRowViewController*>(controller)) {
            rows << alarm->alarmLevel();
        } else if (!alarm && item && qobject_cast<const MessageViewController*>(controller)) {
            rows << QString::fromLatin1(item->alarmType() == AlarmType::Error ? "Error"
                                                                              : "NoAlarms");
        } else {
            rows << QStringLiteral("?");
        }
    }
    return rows.join(QLatin1Char('/'));
}

} // namespace

class HomeViewControllerTest : public QObject {
    Q_OBJECT
private:
    FakeService m_service;
    std::unique_ptr<FakeApplication> m_tovo;
    QByteArray m_feed;
    int m_status = 200;
    std::shared_ptr<HomeViewController> m_home;
    std::unique_ptr<TodayPanel> m_panel;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TOVO_FEED_BASE", m_service.baseUrl().toUtf8());
        qputenv("TOVO_WEB_BASE", m_service.baseUrl().toUtf8());
        m_service.setHandler(
            [this](const QByteArray&) { return FakeService::Answer(m_status, m_feed); });
    }

    void init()
    {
        Keychain(HomeViewController::tokenStoreName).storeToken(QString());
        m_tovo = std::make_unique<FakeApplication>(HomeViewController::tovoApplicationId);
        QVERIFY(m_tovo->registerOnBus());
        m_feed = feedOf(QStringLiteral("Critical/Minor"));
        m_status = 200;
        m_home = std::make_shared<HomeViewController>(
            WidgetDelays{std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
        m_panel = std::make_unique<TodayPanel>(m_home);
    }

    void cleanup()
    {
        m_panel.reset();
        m_home.reset();
        m_tovo.reset();
    }

private:
    void appearAndWaitForFeed()
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

private Q_SLOTS:
    void withoutGuidTheLoginIsOfferedOnce()
    {
        const qsizetype requestsBefore = m_service.requestTargets().size();
        m_panel->show();
        QVERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));

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

    void everyAppearanceWithGuidHandsItToTovoAndFetches()
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

    void guidThatMakesNoUrlIsNotHandedOn()
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

    void nextFeedReplacesTheListUnlessIdentical_data()
    {
        QTest::addColumn<bool>("fromError");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("rows"); // with status 200 also the feed's levels
        QTest::addColumn<bool>("replaced");
        // Message rows give way to alarms, to other messages and to a new error.
        QTest::newRow("error, alarms") << true << 200 << "Critical/Minor" << true;
        QTest::newRow("error, no alarms") << true << 200 << "NoAlarms" << true;
        QTest::newRow("error, error") << true << 500 << "Error" << true;
        QTest::newRow("alarms, error") << false << 500 << "Error" << true;
        QTest::newRow("identical") << false << 200 << "Critical/Minor" << false;
        QTest::newRow("first alarm changed") << false << 200 << "Resolved/Minor" << true;
        // The first alarm alone would not show these changes.
        QTest::newRow("later alarm resolved") << false << 200 << "Critical/Resolved" << true;
        QTest::newRow("one alarm more") << false << 200 << "Critical/Minor/Major" << true;
        QTest::newRow("one alarm less") << false << 200 << "Critical" << true;
    }

    void nextFeedReplacesTheListUnlessIdentical()
    {
        QFETCH(bool, fromError);
        QFETCH(int, status);
        QFETCH(QString, rows);
        QFETCH(bool, replaced);
        Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
        m_status = fromError ? 503 : 200;
        appearAndWaitForFeed();
        WidgetListViewController* list = m_home->listViewController();
        QCOMPARE(rowsOf(list),
                 fromError ? QStringLiteral("Error") : QStringLiteral("Critical/Minor"));
        const ViewController* firstRow = list->rowViewController(0);

        QSignalSpy changed(list, &WidgetListViewController::contentsChanged);
        m_status = status;
        m_feed = feedOf(rows == QLatin1String("NoAlarms") ? QString() : rows);
        appearAndWaitForFeed();
        QCOMPARE(changed.size(), replaced ? 1 : 0);
        QCOMPARE(list->rowViewController(0) != firstRow, replaced);
        QCOMPARE(rowsOf(list), rows);
    }

    void editPresentsLoginEveryOtherTime()
    {
        Keychain(HomeViewController::tokenStoreName).storeToken(QStringLiteral("abc"));
        appearAndWaitForFeed();
        QCOMPARE(m_panel->presentedViewController(), nullptr);

        m_home->widgetDidBeginEditing();
        QTRY_VERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));
        m_panel->dismiss(m_panel->presentedViewController());

        m_home->widgetDidBeginEditing(); // the second use presents nothing
        m_home->widgetDidBeginEditing();
        QTRY_VERIFY(m_panel->presentedViewController());
        // Had the second use presented a form too, it would be underneath this one.
        m_panel->dismiss(m_panel->presentedViewController());
        QCOMPARE(m_panel->presentedViewController(), nullptr);
    }
};

QTEST_MAIN(HomeViewControllerTest)
#include "tst_HomeViewController.moc"
