// The alarm row, the message row, the colour view they paint and the tables behind them.

#include "widget/AlarmRowViewController.h"
#include "widget/ColorView.h"
#include "widget/Helper.h"
#include "widget/ListEntry.h"
#include "widget/MessageViewController.h"

#include <QLabel>
#include <QTest>

namespace {

AlarmPtr makeAlarm(const QString& level, const QString& description)
{
    return std::make_shared<Alarm>(QStringLiteral("db-agent"), QStringLiteral("srv-01"),
                                   description, level, AlarmType::Alarm, QStringLiteral("g-1"));
}

QLabel* boundLabel(QWidget* row, const char* field)
{
    for (QLabel* label : row->findChildren<QLabel*>()) {
        if (label->property("alarmField").toByteArray() == field) {
            return label;
        }
    }

    return nullptr;
}

} // namespace

class RowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void alarmRowShowsFieldsAndLevelColour_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("colourOf");
        for (const char* level : {"Critical", "Major", "Minor", "Resolved", "Okay"}) {
            QTest::newRow(level) << QString::fromLatin1(level) << QString::fromLatin1(level);
        }
        QTest::newRow("Closed") << QStringLiteral("Closed") << QStringLiteral("Okay");
        // Level words match exactly: case and blanks count. Unknown words are transparent.
        QTest::newRow("lower case") << QStringLiteral("critical") << QString();
        QTest::newRow("leading blank") << QStringLiteral(" Minor") << QString();
        QTest::newRow("unknown word") << QStringLiteral("Warning") << QString();
    }

    void alarmRowShowsFieldsAndLevelColour()
    {
        QFETCH(QString, level);
        QFETCH(QString, colourOf);
        auto row = std::make_shared<AlarmRowViewController>();
        row->setRepresentedObject(ListEntry::wrap(makeAlarm(level, QStringLiteral("<b>full</b>"))));

        auto* view = qobject_cast<ColorView*>(row->view());
        QVERIFY(view);
        QCOMPARE(view->backgroundColor().alpha(), colourOf.isEmpty() ? 0 : 255);
        QCOMPARE(view->backgroundColor(), Helper::colorForKey(colourOf));
        // Severity is also spelled out, never shown by colour alone.
        QCOMPARE(boundLabel(view, "alarmLevel")->text(), level);
        QCOMPARE(boundLabel(view, "alarmAgent")->text(), QStringLiteral("db-agent"));
        QCOMPARE(boundLabel(view, "alarmResource")->text(), QStringLiteral("srv-01"));
        QCOMPARE(boundLabel(view, "alarmDescription")->text(), QStringLiteral("<b>full</b>"));
        // Feed texts come from the network and are never read as markup.
        QCOMPARE(boundLabel(view, "alarmDescription")->textFormat(), Qt::PlainText);
        QVERIFY(view->accessibleName().contains(QStringLiteral("db-agent")));

        // Given what is no alarm the row is cleared, not left in the old alarm's colour.
        row->setRepresentedObject(ListEntry::wrap(std::make_shared<Item>(AlarmType::Error)));
        QCOMPARE(view->backgroundColor().alpha(), 0);
        QVERIFY(boundLabel(view, "alarmAgent")->text().isEmpty());
        QVERIFY(boundLabel(view, "alarmLevel")->text().isEmpty());
    }

    void messageRow_data()
    {
        QTest::addColumn<AlarmType>("type");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("text");
        QTest::newRow("Error") << AlarmType::Error << QStringLiteral("Critical")
                               << QStringLiteral("An error occured. :-(");
        QTest::newRow("NoAlarms") << AlarmType::NoAlarms << QStringLiteral("Okay")
                                  << QStringLiteral("There are no alarms :-)");
    }

    void messageRow()
    {
        QFETCH(AlarmType, type);
        QFETCH(QString, level);
        QFETCH(QString, text);
        auto row = std::make_shared<MessageViewController>();
        row->setRepresentedObject(ListEntry::wrap(std::make_shared<Item>(type)));
        auto* view = qobject_cast<ColorView*>(row->view());
        QVERIFY(view);
        for (int pass = 1; pass <= 2; ++pass) {
            QCOMPARE(view->backgroundColor(), Helper::colorForKey(level));
            QCOMPARE(view->findChild<QLabel*>(QStringLiteral("textFieldLabel"))->text(), text);
            // Something that is no item leaves the row as it was.
            row->setRepresentedObject(QVariant(42));
        }
    }

    void textKeepsContrastOnEveryRowColour_data()
    {
        QTest::addColumn<QColor>("background");
        for (const char* level : {"Critical", "Major", "Minor", "Resolved", "Okay"}) {
            QTest::newRow(level) << Helper::colorForKey(QString::fromLatin1(level));
        }
        QTest::newRow("mid grey") << QColor(119, 119, 119);
        QTest::newRow("pure blue") << QColor(Qt::blue);
        QTest::newRow("half transparent red") << QColor(204, 51, 0, 128);
        QTest::newRow("unknown level") << Helper::colorForKey(QStringLiteral("Unknown"));
    }

    void textKeepsContrastOnEveryRowColour()
    {
        QFETCH(QColor, background);
        QWidget window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::WindowText, QColor(10, 20, 30));
        window.setPalette(palette);
        auto* view = new ColorView(&window);
        auto* label = new QLabel(QStringLiteral("Major"), view);
        view->setBackgroundColor(Helper::colorForKey(QStringLiteral("Critical")));
        view->setBackgroundColor(background);

        const QColor text = label->palette().color(label->foregroundRole());
        // A transparent row gives the window's own text colour back.
        if (background.alpha() == 0) {
            QCOMPARE(text, QColor(10, 20, 30));
        }
        // What the label is drawn on: the view's colour over the window.
        view->resize(40, 40);
        window.resize(40, 40);
        const QColor shown = window.grab().toImage().pixelColor(39, 39);
        if (background.alpha() == 255) {
            QCOMPARE(shown.name(), background.name());
        }
        QVERIFY2(ColorView::contrastRatio(text, shown) >= 4.5,
                 qPrintable(QStringLiteral("%1 on %2").arg(text.name(), shown.name())));
    }
};

QTEST_MAIN(RowsTest)
#include "tst_Rows.moc"
