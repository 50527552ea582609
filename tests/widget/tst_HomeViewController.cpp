// The home controller in the panel: when it offers the sign-in form, hands the GUID to tovo.TOVO
// and fetches, and how each answer changes the list.

#include "PanelFixture.h"
#include "base/MainQueue.h"
#include "widget/AlarmRowViewController.h"
#include "widget/LoginViewController.h"
#include "widget/WidgetListViewController.h"

#include <QAbstractItemModelTester>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

// One alarm per level of "Critical/Minor".
AlarmList alarmsOf(const QString& levels)
{
    AlarmList alarms;
    for (const QString& level : levels.split(u'/', Qt::SkipEmptyParts))
        alarms.append(std::make_shared<Alarm>(u"agent"_s, u"res"_s, u"text"_s, level,
                                              AlarmType::Alarm, u"guid"_s));
    return alarms;
}

// "Critical/Minor": the levels of the list's alarm rows; message rows as their type, "?" for a
// row of the wrong kind.
QString rowsOf(const WidgetListViewController* list)
{
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        const ViewController* controller = list->rowViewController(row);
        const ItemPtr item = controller ? controller->representedObject() : nullptr;
        const AlarmPtr alarm = AlarmListModel::alarmOf(item);
        if (!item || !alarm != !qobject_cast<const AlarmRowViewController*>(controller))
            rows << u"?"_s;
        else
            rows << (alarm                                   ? alarm->alarmLevel()
                     : item->alarmType() == AlarmType::Error ? u"Error"_s
                                                             : u"NoAlarms"_s);
    }
    return rows.join(u'/');
}

} // namespace

class TestHomeViewController : public PanelFixture {
    Q_OBJECT

    void appearAndWaitForFeed()
    {
        QSignalSpy applied(m_home, &HomeViewController::feedApplied);
        if (m_panel->isVisible())
            m_panel->activate();
        else
            m_panel->show();
        QVERIFY(!applied.isEmpty() || applied.wait());
    }

    // The next answers to the feed of "abc": "Error", "NoAlarms" or the alarms' levels.
    void answerWith(const QString& levels)
    {
        m_client->feeds.remove(u"abc"_s);
        if (levels != "Error"_L1)
            m_client->feeds.insert(u"abc"_s,
                                   alarmsOf(levels == "NoAlarms"_L1 ? QString() : levels));
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

        storeGuid(u"abc"_s);
        appearAndWaitForFeed();
        QCOMPARE(m_client->calls, QStringList{u"feed abc"_s});
    }

    // Which changes of the panel make its root appear is the panel's own test. A GUID that makes
    // no URL is not handed on, and its fetch fails.
    void everyAppearanceWithGuidHandsItToTovoAndFetches()
    {
        storeGuid(u"a b"_s);
        appearAndWaitForFeed();
        QCOMPARE(rowsOf(m_home->listViewController()), u"Error"_s);
        storeGuid(u"abc"_s);
        appearAndWaitForFeed();
        appearAndWaitForFeed(); // a second start activates the panel
        QCOMPARE(m_opener->handedOver, QStringList(2, u"tovo.TOVO tovo://abc"_s));
        QCOMPARE(m_client->calls, (QStringList{u"feed a b"_s, u"feed abc"_s, u"feed abc"_s}));
        QCOMPARE(m_panel->presentedViewController(), nullptr);
    }

    void nextFeedReplacesTheListUnlessIdentical_data()
    {
        QTest::addColumn<QString>("before"); // as answerWith takes them
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("replaced");
        const auto row = [](const char* name, const char* before, const char* after,
                            bool replaced) { QTest::newRow(name) << before << after << replaced; };
        // Message rows give way to alarms and to other messages.
        row("error, alarms", "Error", "Critical/Minor", true);
        row("error, no alarms", "Error", "NoAlarms", true);
        row("alarms, error", "Critical/Minor", "Error", true);
        row("identical", "Critical/Minor", "Critical/Minor", false);
        row("first alarm changed", "Critical/Minor", "Resolved/Minor", true);
        // The first alarm alone would not show these changes.
        row("later alarm resolved", "Critical/Minor", "Critical/Resolved", true);
        row("one alarm more", "Critical/Minor", "Critical/Minor/Major", true);
        row("one alarm less", "Critical/Minor", "Critical", true);
    }

    void nextFeedReplacesTheListUnlessIdentical()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(bool, replaced);
        storeGuid(u"abc"_s);
        answerWith(before);
        appearAndWaitForFeed();
        WidgetListViewController* list = m_home->listViewController();
        QCOMPARE(rowsOf(list), before);
        const QPointer<QWidget> firstRow = list->rowViewController(0)->view();

        QAbstractItemModelTester tester(list->contents());
        QSignalSpy reset(list->contents(), &QAbstractItemModel::modelReset);
        answerWith(after);
        appearAndWaitForFeed();
        QCOMPARE(reset.size(), replaced ? 1 : 0);
        QCOMPARE(firstRow.isNull(), replaced);
        QCOMPARE(rowsOf(list), after);
    }

    void editPresentsLoginEveryOtherTime()
    {
        storeGuid(u"abc"_s);
        appearAndWaitForFeed();
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

    // The service's report of a problem with the account (its agent tells) offers in its row the
    // form that Edit shows, to the mouse and to the keys of the focused row; no other alarm does.
    void feedExceptionRowOffersSignIn_data()
    {
        QTest::addColumn<QString>("agent");
        QTest::addColumn<int>("key"); // pressed on the row; 0 clicks its button
        QTest::addColumn<bool>("offered");
        const QString exception = u"T-O-VO Feed Exception"_s;
        QTest::newRow("exception, click") << exception << 0 << true;
        QTest::newRow("exception, Return") << exception << int(Qt::Key_Return) << true;
        QTest::newRow("exception, Space") << exception << int(Qt::Key_Space) << true;
        QTest::newRow("alarm, Return") << u"agent"_s << int(Qt::Key_Return) << false;
        QTest::newRow("agent in lower case")
            << u"T-O-VO feed exception"_s << int(Qt::Key_Enter) << false;
    }

    void feedExceptionRowOffersSignIn()
    {
        QFETCH(QString, agent);
        QFETCH(int, key);
        QFETCH(bool, offered);
        storeGuid(u"abc"_s);
        m_client->feeds.insert(u"abc"_s, {std::make_shared<Alarm>(agent, u"r"_s, u"d"_s, u"Major"_s,
                                                                  AlarmType::Alarm, u"g"_s)});
        appearAndWaitForFeed();
        QWidget* row = m_home->listViewController()->rowViewController(0)->view();
        auto* button = row->findChild<QPushButton*>(u"signInButton"_s);
        QCOMPARE(button && button->isVisible(), offered);
        QCOMPARE(row->accessibleDescription(), offered ? u"Press Enter to sign in"_s : QString());
        key ? QTest::keyClick(row, Qt::Key(key)) : QTest::mouseClick(button, Qt::LeftButton);

        auto* form = qobject_cast<LoginViewController*>(m_panel->presentedViewController());
        QCOMPARE(form != nullptr, offered);
        auto* edit = m_panel->findChild<QPushButton*>(u"editButton"_s);
        QCOMPARE(edit->text(), offered ? u"Done"_s : u"Edit"_s);
        // Gone again, Edit shows the form as at its first use.
        m_panel->dismiss(form);
        QCOMPARE(edit->text(), u"Edit"_s);
        edit->click();
        QTRY_VERIFY(qobject_cast<LoginViewController*>(m_panel->presentedViewController()));
    }

    // On screen a fetch at every interval, without a hand-over; none hidden, none twice at once.
    void refreshesWhileOnScreen()
    {
        tearDownPanel();
        setUpPanel(std::chrono::milliseconds(20));
        storeGuid(u"abc"_s);
        answerWith(u"Critical"_s);
        m_panel->show();
        m_panel->activate(); // a second start while the first fetch runs
        QCOMPARE(m_client->calls, QStringList{u"feed abc"_s});
        QTRY_VERIFY(m_client->calls.size() >= 3);
        QCOMPARE(m_opener->handedOver.size(), 2);
        for (const auto leave : {&QWidget::hide, &QWidget::showMinimized}) {
            (m_panel.get()->*leave)();
            const qsizetype fetched = m_client->calls.size();
            QTest::qWait(100);
            QCOMPARE(m_client->calls.size(), fetched);
            m_panel->showNormal();
            QCOMPARE(m_client->calls.size(), fetched + 1);
        }
    }

    // An answer that comes after the panel was closed finds nothing to fill (the sanitizer build
    // sees a use after free).
    void closedPanelIgnoresLateAnswers()
    {
        storeGuid(u"abc"_s);
        answerWith(u"Critical"_s);
        m_panel->show();
        QCOMPARE(m_client->calls.size(), 1);
        m_panel.reset();
        // Queued behind the answer, so it runs once the answer has been delivered.
        bool delivered = false;
        MainQueue::async([&delivered] { delivered = true; });
        QTRY_VERIFY(delivered);
    }
};

QTEST_MAIN(TestHomeViewController)
#include "tst_HomeViewController.moc"
