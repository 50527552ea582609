// The home controller in the panel: when it offers the sign-in form, hands the GUID to tovo.TOVO
// and fetches, and how each answer changes the list.

#include "PanelFixture.h"
#include "widget/AlarmRowViewController.h"
#include "widget/LoginViewController.h"
#include "widget/MessageViewController.h"
#include "widget/WidgetListViewController.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

// One alarm per level of "Critical/Minor"; nothing for "NoAlarms".
AlarmList alarmsOf(const QString& levels)
{
    AlarmList alarms;
    for (const QString& level : levels.split(u'/')) {
        if (level != QLatin1String("NoAlarms")) {
            alarms.append(std::make_shared<Alarm>(QStringLiteral("agent"), QStringLiteral("res"),
                                                  QStringLiteral("text"), level, AlarmType::Alarm,
                                                  QStringLiteral("guid")));
        }
    }
    return alarms;
}

// "Critical/Minor": the levels of the list's alarm rows; message rows as their type.
QString rowsOf(const WidgetListViewController* list)
{
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        const ViewController* controller = list->rowViewController(row);
        const ItemPtr item = controller ? controller->representedObject() : nullptr;
        const AlarmPtr alarm = AlarmListModel::alarmOf(item);
        if (alarm && qobject_cast<const AlarmRowViewController*>(controller)) {
            rows << alarm->alarmLevel();
        } else if (!alarm && item && qobject_cast<const MessageViewController*>(controller)) {
            rows << QString::fromLatin1(item->alarmType() == AlarmType::Error ? "Error"
                                                                              : "NoAlarms");
        } else {
            rows << QStringLiteral("?");
        }
    }
    return rows.join(u'/');
}

} // namespace

class TestHomeViewController : public PanelFixture {
    Q_OBJECT

    void appearAndWaitForFeed()
    {
        QSignalSpy applied(m_home, &HomeViewController::feedApplied);
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
    void init() { setUpPanel(); }
    void cleanup() { tearDownPanel(); }

    void withoutGuidTheLoginIsOfferedOnce()
    {
        m_panel->show();
        QVERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));

        // Closing the form, hiding and showing the panel again: no second form, no fetch.
        m_panel->dismiss(m_panel->presentedViewController());
        m_panel->hide();
        m_panel->show();
        QCOMPARE(m_panel->presentedViewController(), nullptr);
        QCOMPARE(m_home->listViewController()->rowCount(), 0);
        QCOMPARE(m_client->calls, QStringList());

        storeGuid(QStringLiteral("abc"));
        appearAndWaitForFeed();
        QCOMPARE(m_client->calls, QStringList{QStringLiteral("feed abc")});
    }

    // Which changes of the panel make its root appear is the panel's own test. A GUID that makes
    // no URL is not handed on, and its fetch fails.
    void everyAppearanceWithGuidHandsItToTovoAndFetches()
    {
        storeGuid(QStringLiteral("a b"));
        appearAndWaitForFeed();
        QCOMPARE(rowsOf(m_home->listViewController()), QStringLiteral("Error"));
        storeGuid(QStringLiteral("abc"));
        appearAndWaitForFeed();
        appearAndWaitForFeed(); // a second start activates the panel
        const QString handedOver = QStringLiteral("tovo.TOVO tovo://abc");
        QCOMPARE(m_opener->handedOver, (QStringList{handedOver, handedOver}));
        QCOMPARE(m_client->calls.size(), 3);
        QCOMPARE(m_panel->presentedViewController(), nullptr);
    }

    void nextFeedReplacesTheListUnlessIdentical_data()
    {
        QTest::addColumn<QString>("before"); // the levels shown, or "Error"
        QTest::addColumn<QString>("rows");   // the next answer's levels, "NoAlarms" or "Error"
        QTest::addColumn<bool>("replaced");
        // Message rows give way to alarms and to other messages.
        QTest::newRow("error, alarms") << "Error"
                                       << "Critical/Minor" << true;
        QTest::newRow("error, no alarms") << "Error"
                                          << "NoAlarms" << true;
        QTest::newRow("alarms, error") << "Critical/Minor"
                                       << "Error" << true;
        QTest::newRow("identical") << "Critical/Minor"
                                   << "Critical/Minor" << false;
        QTest::newRow("first alarm changed") << "Critical/Minor"
                                             << "Resolved/Minor" << true;
        // The first alarm alone would not show these changes.
        QTest::newRow("later alarm resolved") << "Critical/Minor"
                                              << "Critical/Resolved" << true;
        QTest::newRow("one alarm more") << "Critical/Minor"
                                        << "Critical/Minor/Major" << true;
        QTest::newRow("one alarm less") << "Critical/Minor"
                                        << "Critical" << true;
    }

    void nextFeedReplacesTheListUnlessIdentical()
    {
        QFETCH(QString, before);
        QFETCH(QString, rows);
        QFETCH(bool, replaced);
        const auto answer = [this](const QString& levels) {
            m_client->feeds.remove(QStringLiteral("abc"));
            if (levels != QLatin1String("Error")) {
                m_client->feeds.insert(QStringLiteral("abc"), alarmsOf(levels));
            }
        };
        storeGuid(QStringLiteral("abc"));
        answer(before);
        appearAndWaitForFeed();
        WidgetListViewController* list = m_home->listViewController();
        QCOMPARE(rowsOf(list), before);
        const QPointer<QWidget> firstRow = list->rowViewController(0)->view();

        QAbstractItemModelTester tester(list->contents());
        QSignalSpy reset(list->contents(), &QAbstractItemModel::modelReset);
        answer(rows);
        appearAndWaitForFeed();
        QCOMPARE(reset.size(), replaced ? 1 : 0);
        QCOMPARE(firstRow.isNull(), replaced);
        QCOMPARE(rowsOf(list), rows);
    }

    void editPresentsLoginEveryOtherTime()
    {
        storeGuid(QStringLiteral("abc"));
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

    // An answer that comes after the panel was closed finds nothing to fill.
    void closedPanelIgnoresLateAnswers()
    {
        storeGuid(QStringLiteral("abc"));
        m_client->feeds.insert(QStringLiteral("abc"), alarmsOf(QStringLiteral("Critical")));
        m_panel->show();
        QCOMPARE(m_client->calls.size(), 1);
        m_panel.reset();
        QTest::qWait(20);
    }
};

QTEST_MAIN(TestHomeViewController)
#include "tst_HomeViewController.moc"
