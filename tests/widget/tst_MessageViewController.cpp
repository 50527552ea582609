// The row of a message entry: its title on its type's colour.

#include "RowColours.h"
#include "widget/ColorView.h"
#include "widget/MessageViewController.h"

#include <QLabel>
#include <QTest>

class TestMessageViewController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageRow_data()
    {
        QTest::addColumn<AlarmType>("type");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("Error") << AlarmType::Error
                               << rowColour(QStringLiteral("Critical")).background
                               << QStringLiteral("An error occured. :-(");
        QTest::newRow("NoAlarms") << AlarmType::NoAlarms
                                  << rowColour(QStringLiteral("Okay")).background
                                  << QStringLiteral("There are no alarms :-)");
    }

    void messageRow()
    {
        QFETCH(AlarmType, type);
        QFETCH(QColor, colour);
        QFETCH(QString, text);
        auto* row = new MessageViewController;
        const std::unique_ptr<QWidget> rowView(row->view()); // and the row with it
        row->setRepresentedObject(std::make_shared<Item>(type));
        auto* view = qobject_cast<ColorView*>(rowView.get());
        QVERIFY(view);
        for (int pass = 1; pass <= 2; ++pass) {
            QCOMPARE(view->backgroundColor(), colour);
            QCOMPARE(view->findChild<QLabel*>(QStringLiteral("textFieldLabel"))->text(), text);
            QCOMPARE(view->accessibleName(), text); // the list item's, to screen readers
            // No entry at all leaves the row as it was.
            row->setRepresentedObject(nullptr);
        }
    }
};

QTEST_MAIN(TestMessageViewController)
#include "tst_MessageViewController.moc"
