// The row of an alarm: its fields as plain text, its background in its level's colour and its
// text in the colour that reads on it.

#include "RowColours.h"
#include "core/Alarm.h"
#include "widget/AlarmRowViewController.h"
#include "widget/ColorView.h"
#include "widget/RowLabel.h"

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

// The text colour of the window the rows are in.
const QColor windowText(10, 20, 30);

} // namespace

class TestAlarmRowViewController : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void alarmRowShowsFieldsAndLevelColour_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("text");
        for (const RowColour& row : rowColours)
            QTest::newRow(qPrintable(row.level)) << row.level << row.background << row.text;
        // Level words match exactly: case and blanks count. Unknown words are transparent, with
        // the window's own text colour.
        const QColor transparent(Qt::transparent);
        QTest::newRow("lower case") << QStringLiteral("critical") << transparent << windowText;
        QTest::newRow("leading blank") << QStringLiteral(" Minor") << transparent << windowText;
        QTest::newRow("unknown word") << QStringLiteral("Warning") << transparent << windowText;
    }

    void alarmRowShowsFieldsAndLevelColour()
    {
        QFETCH(QString, level);
        QFETCH(QColor, colour);
        QFETCH(QColor, text);
        QWidget window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::WindowText, windowText);
        window.setPalette(palette);
        auto* row = new AlarmRowViewController;
        QWidget* rowView = row->view(); // the window's, and the row with it
        rowView->setParent(&window);
        row->setRepresentedObject(makeAlarm(level, QStringLiteral("<b>full</b>")));

        auto* view = qobject_cast<ColorView*>(rowView);
        QVERIFY(view);
        QCOMPARE(view->backgroundColor(), colour);
        QCOMPARE(boundLabel(view, "alarmAgent")->palette().color(QPalette::WindowText), text);
        if (colour.alpha() == 255) // painted: the corner is in the row's margin
            QCOMPARE(view->grab().toImage().pixelColor(0, 0).name(), colour.name());
        // Severity is also spelled out, never shown by colour alone.
        QCOMPARE(boundLabel(view, "alarmLevel")->text(), level);
        QCOMPARE(boundLabel(view, "alarmAgent")->text(), QStringLiteral("db-agent"));
        QCOMPARE(boundLabel(view, "alarmResource")->text(), QStringLiteral("srv-01"));
        QCOMPARE(boundLabel(view, "alarmDescription")->text(), QStringLiteral("<b>full</b>"));
        // Feed texts come from the network and are never read as markup.
        QCOMPARE(boundLabel(view, "alarmDescription")->textFormat(), Qt::PlainText);
        // Screen readers hear the level first.
        QCOMPARE(view->accessibleName(), level + QStringLiteral(": db-agent, srv-01, <b>full</b>"));

        // Given what is no alarm the row is cleared, not left in the old alarm's colours.
        row->setRepresentedObject(std::make_shared<Item>(AlarmType::Error));
        QCOMPARE(view->backgroundColor().alpha(), 0);
        QCOMPARE(boundLabel(view, "alarmAgent")->palette().color(QPalette::WindowText), windowText);
        QVERIFY(boundLabel(view, "alarmAgent")->text().isEmpty());
        QVERIFY(boundLabel(view, "alarmLevel")->text().isEmpty());
    }

    // Feed texts follow the notifications' rules (line feeds read as blanks), and whatever their
    // length the row fits the panel with its level word whole.
    void feedTexts_data()
    {
        QTest::addColumn<QString>("agent");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("description");
        // Agent, level word ("whole" or "cut" as painted) and description, with "|" between.
        QTest::addColumn<QString>("shown");
        const QString longWord(600, u'x');
        QTest::newRow("direction override")
            << u"\u202Eevil\u202C gnp.exe"_qs << u"Critical"_qs << u"a\u0007b\u009Bc\nd"_qs
            << u"evil gnp.exe|whole|abc d"_qs;
        QTest::newRow("long unbroken texts")
            << longWord << u"Major"_qs << longWord
            << QString(99, u'x') + u"\u2026|whole|"_qs + QString(499, u'x') + u"\u2026"_qs;
        QTest::newRow("long level") << u"a"_qs << longWord << u"d"_qs << u"a|cut|d"_qs;
    }

    void feedTexts()
    {
        QFETCH(QString, agent);
        QFETCH(QString, level);
        QFETCH(QString, description);
        QFETCH(QString, shown);
        auto* row = new AlarmRowViewController;
        const std::unique_ptr<QWidget> view(row->view()); // and the row with it
        row->setRepresentedObject(
            std::make_shared<Alarm>(agent, u"r"_qs, description, level, AlarmType::Alarm, u"g"_qs));
        view->resize(360, view->heightForWidth(360));
        view->show();
        QVERIFY(view->minimumSizeHint().width() <= 360);
        auto* levelLabel = qobject_cast<RowLabel*>(boundLabel(view.get(), "alarmLevel"));
        QVERIFY(levelLabel);
        const bool whole = levelLabel->linesAt(levelLabel->contentsRect().width()) ==
                           QStringList{levelLabel->text()};
        QCOMPARE(QStringList({boundLabel(view.get(), "alarmAgent")->text(),
                              whole ? u"whole"_qs : u"cut"_qs,
                              boundLabel(view.get(), "alarmDescription")->text()})
                     .join(u'|'),
                 shown);
    }
};

QTEST_MAIN(TestAlarmRowViewController)
#include "tst_AlarmRowViewController.moc"
