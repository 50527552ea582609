// The panel's list with many entries: at most 500 rows and one that counts the rest, made a
// portion per turn of the event loop on a page that replaces the shown one when complete.

#include "core/Alarm.h"
#include "widget/AlarmRowViewController.h"
#include "widget/WidgetListViewController.h"
#include "widget/WidgetListViewDelegate.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

class AlarmRows : public WidgetListViewDelegate {
public:
    ViewController* widgetListViewControllerForRow(WidgetListViewController*, int) override
    {
        return new AlarmRowViewController;
    }
};

QList<ItemPtr> alarms(int count)
{
    QList<ItemPtr> entries;
    for (int index = 0; index < count; ++index)
        entries.append(std::make_shared<Alarm>(u"agent"_qs, u"res"_qs, u"text"_qs, u"Minor"_qs,
                                               AlarmType::Alarm, QString::number(index)));
    return entries;
}

} // namespace

class TestWidgetListViewController : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void manyEntries_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("rowsAtOnce"); // when the contents are set
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("more"); // the text of the row that counts the rest
        QTest::newRow("one portion") << 50 << 50 << 50 << QString();
        QTest::newRow("two portions") << 51 << 3 << 51 << QString();
        QTest::newRow("at the bound") << 500 << 3 << 500 << QString();
        QTest::newRow("one more") << 501 << 3 << 500 << u"and 1 more"_qs;
        QTest::newRow("ten thousand") << 10000 << 3 << 500 << u"and 9,500 more"_qs;
    }

    void manyEntries()
    {
        QFETCH(int, entries);
        QFETCH(int, rowsAtOnce);
        QFETCH(int, rows);
        QFETCH(QString, more);
        AlarmRows delegate;
        WidgetListViewController list;
        list.setDelegate(&delegate);
        list.view()->show();
        QSignalSpy shown(&list, &WidgetListViewController::rowsShown);
        list.contents()->setEntries(alarms(3));
        list.contents()->setEntries(alarms(entries));
        // Until the new rows are complete the earlier ones stay, on screen.
        QCOMPARE(list.rowCount(), rowsAtOnce);
        const auto rowsOnScreen = [&list] {
            const QList<AlarmRowViewController*> made =
                list.view()->findChildren<AlarmRowViewController*>();
            return std::count_if(made.cbegin(), made.cend(),
                                 [](ViewController* row) { return row->view()->isVisible(); });
        };
        QCOMPARE(rowsOnScreen(), rowsAtOnce);
        QTRY_COMPARE(shown.size(), 2);
        QCOMPARE(list.rowCount(), rows);
        QCOMPARE(list.rowViewController(rows - 1)->representedObject(),
                 list.contents()->entry(rows - 1));
        QCOMPARE(list.moreRow() ? list.moreRow()->text() : QString(), more);
        QCOMPARE(list.view()->findChildren<AlarmRowViewController*>().size(), rows);

        // Newer contents take the place of a list still being made.
        list.contents()->setEntries(alarms(10000));
        list.contents()->setEntries(alarms(2));
        QCOMPARE(list.rowCount(), 2);
        QTest::qWait(50);
        QCOMPARE(list.view()->findChildren<AlarmRowViewController*>().size(), 2);
    }
};

QTEST_MAIN(TestWidgetListViewController)
#include "tst_WidgetListViewController.moc"
