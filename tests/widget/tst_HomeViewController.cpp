// The home controller in the panel: when it offers the sign-in form, hands the GUID to tovo.TOVO
// and fetches, and how each answer changes the list.

#include "PanelFixture.h"
#include "widget/AlarmRowViewController.h"
#include "widget/ListEntry.h"
#include "widget/LoginViewController.h"
#include "widget/MessageViewController.h"
#include "widget/WidgetListViewController.h"

#include <QSignalSpy>
#include <QTest>

namespace {

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

class TestHomeViewController : public PanelFixture {
    Q_OBJECT

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
    void initTestCase() { serve(); }
    void init() { setUpPanel(); }
    void cleanup() { tearDownPanel(); }

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

        storeGuid(QStringLiteral("abc"));
        appearAndWaitForFeed();
        QCOMPARE(m_service.requestTargets().mid(requestsBefore),
                 QList<QByteArray>{"/rssalarms?mac2&id=abc"});
    }

    // Which changes of the panel make its root appear is the panel's own test.
    void everyAppearanceWithGuidHandsItToTovoAndFetches()
    {
        storeGuid(QStringLiteral("abc"));
        const qsizetype requestsBefore = m_service.requestTargets().size();
        appearAndWaitForFeed();
        appearAndWaitForFeed(); // a second start activates the panel
        const QStringList uri{QStringLiteral("tovo://abc")};
        QTRY_COMPARE(m_tovo->openedUris(), (QList<QStringList>{uri, uri}));
        QCOMPARE(m_service.requestTargets().size() - requestsBefore, 2);
        QCOMPARE(m_panel->presentedViewController(), nullptr);
    }

    void guidThatMakesNoUrlIsNotHandedOn()
    {
        storeGuid(QStringLiteral("a b"));
        appearAndWaitForFeed();
        QCOMPARE(rowsOf(m_home->listViewController()), QStringLiteral("Error"));

        // Calls reach the fake in order: the next hand-over is the first it sees.
        storeGuid(QStringLiteral("abc"));
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
        // Message rows give way to alarms and to other messages.
        QTest::newRow("error, alarms") << true << 200 << "Critical/Minor" << true;
        QTest::newRow("error, no alarms") << true << 200 << "NoAlarms" << true;
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
        storeGuid(QStringLiteral("abc"));
        m_status = fromError ? 503 : 200;
        appearAndWaitForFeed();
        WidgetListViewController* list = m_home->listViewController();
        QCOMPARE(rowsOf(list),
                 fromError ? QStringLiteral("Error") : QStringLiteral("Critical/Minor"));
        const QPointer<QWidget> firstRow = list->rowViewController(0)->view();

        QSignalSpy changed(list, &WidgetListViewController::contentsChanged);
        m_status = status;
        m_feed = feedOf(rows == QLatin1String("NoAlarms") ? QString() : rows);
        appearAndWaitForFeed();
        QCOMPARE(changed.size(), replaced ? 1 : 0);
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
};

QTEST_MAIN(TestHomeViewController)
#include "tst_HomeViewController.moc"
