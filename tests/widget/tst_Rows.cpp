// The alarm row, the message row, the colour view they paint and the tables behind them.

#include "AlarmRowViewController.h"
#include "ColorView.h"
#include "Helper.h"
#include "ListEntry.h"
#include "MessageViewController.h"

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

QColor paintedCenter(QWidget* view)
{
    view->resize(200, 60);
    return view->grab().toImage().pixelColor(100, 30);
}

} // namespace

class RowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void alarmRowShowsFieldsAndLevelColour_data();
    void alarmRowShowsFieldsAndLevelColour();
    void closedLooksLikeOkay();
    void alarmRowGivenSomethingElseTurnsTransparent_data();
    void alarmRowGivenSomethingElseTurnsTransparent();
    void messageRow_data();
    void messageRow();
    void messageRowIgnoresNonItems();
    void colorViewRepaintsOnAssignment();
    void textKeepsContrastOnEveryRowColour_data();
    void textKeepsContrastOnEveryRowColour();
    void transparentBackgroundKeepsPaletteText();
};

void RowsTest::alarmRowShowsFieldsAndLevelColour_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("coloured");
    for (const char* level : {"Critical", "Major", "Minor", "Resolved", "Okay", "Closed"}) {
        QTest::newRow(level) << QString::fromLatin1(level) << true;
    }
    // Level words match exactly: case and blanks count.
    QTest::newRow("lower case") << QStringLiteral("critical") << false;
    QTest::newRow("leading blank") << QStringLiteral(" Minor") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("unknown word") << QStringLiteral("Warning") << false;
}

void RowsTest::alarmRowShowsFieldsAndLevelColour()
{
    QFETCH(QString, level);
    QFETCH(bool, coloured);
    auto row = std::make_shared<AlarmRowViewController>();
    row->setRepresentedObject(ListEntry::wrap(makeAlarm(level, QStringLiteral("<b>full</b>"))));

    auto* view = qobject_cast<ColorView*>(row->view());
    QVERIFY(view);
    QCOMPARE(view->backgroundColor().alpha(), coloured ? 255 : 0);
    QCOMPARE(view->backgroundColor(), Helper::colorForKey(level));
    // Severity is also spelled out, never shown by colour alone.
    QCOMPARE(boundLabel(view, "alarmLevel")->text(), level);
    QCOMPARE(boundLabel(view, "alarmAgent")->text(), QStringLiteral("db-agent"));
    QCOMPARE(boundLabel(view, "alarmResource")->text(), QStringLiteral("srv-01"));
    QCOMPARE(boundLabel(view, "alarmDescription")->text(), QStringLiteral("<b>full</b>"));
    // Feed texts come from the network and are never read as markup.
    QCOMPARE(boundLabel(view, "alarmDescription")->textFormat(), Qt::PlainText);
    QVERIFY(view->accessibleName().contains(QStringLiteral("db-agent")));
}

void RowsTest::closedLooksLikeOkay()
{
    QCOMPARE(Helper::colorForKey(QStringLiteral("Closed")),
             Helper::colorForKey(QStringLiteral("Okay")));
}

void RowsTest::alarmRowGivenSomethingElseTurnsTransparent_data()
{
    QTest::addColumn<QVariant>("object");
    QTest::newRow("message item") << ListEntry::wrap(std::make_shared<Item>(AlarmType::Error));
    QTest::newRow("text") << QVariant(QStringLiteral("Critical"));
    QTest::newRow("nothing") << QVariant();
}

void RowsTest::alarmRowGivenSomethingElseTurnsTransparent()
{
    QFETCH(QVariant, object);
    auto row = std::make_shared<AlarmRowViewController>();
    row->setRepresentedObject(ListEntry::wrap(makeAlarm(QStringLiteral("Critical"), QString())));
    row->setRepresentedObject(object);

    auto* view = qobject_cast<ColorView*>(row->view());
    QCOMPARE(view->backgroundColor().alpha(), 0);
    QVERIFY(boundLabel(view, "alarmAgent")->text().isEmpty());
    QVERIFY(boundLabel(view, "alarmLevel")->text().isEmpty());
}

void RowsTest::messageRow_data()
{
    QTest::addColumn<AlarmType>("type");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("text");
    QTest::newRow("Error") << AlarmType::Error << QStringLiteral("Critical")
                           << QStringLiteral("An error occured. :-(");
    QTest::newRow("NoAlarms") << AlarmType::NoAlarms << QStringLiteral("Okay")
                              << QStringLiteral("There are no alarms :-)");
    QTest::newRow("Alarm") << AlarmType::Alarm << QStringLiteral("Critical") << QString();
}

void RowsTest::messageRow()
{
    QFETCH(AlarmType, type);
    QFETCH(QString, level);
    QFETCH(QString, text);
    auto row = std::make_shared<MessageViewController>();
    row->setRepresentedObject(ListEntry::wrap(std::make_shared<Item>(type)));

    auto* view = qobject_cast<ColorView*>(row->view());
    QVERIFY(view);
    QCOMPARE(view->backgroundColor(), Helper::colorForKey(level));
    QCOMPARE(view->findChild<QLabel*>(QStringLiteral("textFieldLabel"))->text(), text);
}

void RowsTest::messageRowIgnoresNonItems()
{
    auto row = std::make_shared<MessageViewController>();
    row->setRepresentedObject(ListEntry::wrap(std::make_shared<Item>(AlarmType::NoAlarms)));
    row->setRepresentedObject(QVariant(42));

    auto* view = qobject_cast<ColorView*>(row->view());
    QCOMPARE(view->backgroundColor(), Helper::colorForKey(QStringLiteral("Okay")));
    QCOMPARE(view->findChild<QLabel*>(QStringLiteral("textFieldLabel"))->text(),
             QStringLiteral("There are no alarms :-)"));
}

void RowsTest::colorViewRepaintsOnAssignment()
{
    ColorView view;
    QCOMPARE(view.backgroundColor().alpha(), 0);
    view.setBackgroundColor(Qt::red);
    QCOMPARE(paintedCenter(&view), QColor(Qt::red));
    view.setBackgroundColor(Qt::blue);
    QCOMPARE(paintedCenter(&view), QColor(Qt::blue));
}

void RowsTest::textKeepsContrastOnEveryRowColour_data()
{
    QTest::addColumn<QColor>("background");
    for (const char* level : {"Critical", "Major", "Minor", "Resolved", "Okay"}) {
        QTest::newRow(level) << Helper::colorForKey(QString::fromLatin1(level));
    }
    QTest::newRow("mid grey") << QColor(119, 119, 119);
    QTest::newRow("pure blue") << QColor(Qt::blue);
    QTest::newRow("half transparent red") << QColor(204, 51, 0, 128);
}

void RowsTest::textKeepsContrastOnEveryRowColour()
{
    QFETCH(QColor, background);
    QWidget window;
    auto* view = new ColorView(&window);
    auto* label = new QLabel(QStringLiteral("Major"), view);
    view->setBackgroundColor(background);

    const QColor text = label->palette().color(label->foregroundRole());
    // What the label is drawn on: the view's colour over the window.
    view->resize(40, 40);
    window.resize(40, 40);
    const QColor shown = window.grab().toImage().pixelColor(39, 39);
    QVERIFY2(ColorView::contrastRatio(text, shown) >= 4.5,
             qPrintable(QStringLiteral("%1 on %2").arg(text.name(), shown.name())));
}

void RowsTest::transparentBackgroundKeepsPaletteText()
{
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::WindowText, QColor(10, 20, 30));
    window.setPalette(palette);
    auto* view = new ColorView(&window);
    auto* label = new QLabel(view);

    view->setBackgroundColor(Helper::colorForKey(QStringLiteral("Critical")));
    view->setBackgroundColor(Helper::colorForKey(QStringLiteral("Unknown")));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(10, 20, 30));
}

QTEST_MAIN(RowsTest)
#include "tst_Rows.moc"
