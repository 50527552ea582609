// The row of an alarm: its fields as plain text, its background in its level's colour.

#include "core/Alarm.h"
#include "widget/AlarmRowViewController.h"
#include "widget/ColorView.h"

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

class TestAlarmRowViewController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void alarmRowShowsFieldsAndLevelColour_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QColor>("colour");
        const auto row = [](const char* level, float red, float green, float blue) {
            QTest::newRow(level) << QString::fromLatin1(level)
                                 << QColor::fromRgbF(red, green, blue, 1.0f);
        };
        row("Critical", 0.8f, 0.2f, 0.0f);
        row("Major", 0.93f, 0.61f, 0.2f);
        row("Minor", 0.95f, 0.76f, 0.0f);
        row("Resolved", 0.34f, 0.54f, 0.69f);
        row("Okay", 0.54f, 0.69f, 0.34f);
        row("Closed", 0.54f, 0.69f, 0.34f);
        // Level words match exactly: case and blanks count. Unknown words are transparent.
        const QColor transparent(Qt::transparent);
        QTest::newRow("lower case") << QStringLiteral("critical") << transparent;
        QTest::newRow("leading blank") << QStringLiteral(" Minor") << transparent;
        QTest::newRow("unknown word") << QStringLiteral("Warning") << transparent;
    }

    void alarmRowShowsFieldsAndLevelColour()
    {
        QFETCH(QString, level);
        QFETCH(QColor, colour);
        auto* row = new AlarmRowViewController;
        const std::unique_ptr<QWidget> rowView(row->view()); // and the row with it
        row->setRepresentedObject(makeAlarm(level, QStringLiteral("<b>full</b>")));

        auto* view = qobject_cast<ColorView*>(rowView.get());
        QVERIFY(view);
        QCOMPARE(view->backgroundColor(), colour);
        // Severity is also spelled out, never shown by colour alone.
        QCOMPARE(boundLabel(view, "alarmLevel")->text(), level);
        QCOMPARE(boundLabel(view, "alarmAgent")->text(), QStringLiteral("db-agent"));
        QCOMPARE(boundLabel(view, "alarmResource")->text(), QStringLiteral("srv-01"));
        QCOMPARE(boundLabel(view, "alarmDescription")->text(), QStringLiteral("<b>full</b>"));
        // Feed texts come from the network and are never read as markup.
        QCOMPARE(boundLabel(view, "alarmDescription")->textFormat(), Qt::PlainText);
        QVERIFY(view->accessibleName().contains(QStringLiteral("db-agent")));

        // Given what is no alarm the row is cleared, not left in the old alarm's colour.
        row->setRepresentedObject(std::make_shared<Item>(AlarmType::Error));
        QCOMPARE(view->backgroundColor().alpha(), 0);
        QVERIFY(boundLabel(view, "alarmAgent")->text().isEmpty());
        QVERIFY(boundLabel(view, "alarmLevel")->text().isEmpty());
    }
};

QTEST_MAIN(TestAlarmRowViewController)
#include "tst_AlarmRowViewController.moc"
