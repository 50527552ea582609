// The colour and title tables of the rows.

#include "Helper.h"

#include <QTest>

class HelperTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void colorForLevel_data();
    void colorForLevel();
    void closedLooksLikeOkay();
    void colorAndTitleForType_data();
    void colorAndTitleForType();
};

void HelperTest::colorForLevel_data()
{
    QTest::addColumn<std::optional<QString>>("key");
    QTest::addColumn<QColor>("expected");

    const auto rgb = [](float red, float green, float blue) {
        return QColor::fromRgbF(red, green, blue, 1.0f);
    };
    QTest::newRow("Critical") << std::optional(QStringLiteral("Critical")) << rgb(0.8f, 0.2f, 0.0f);
    QTest::newRow("Major") << std::optional(QStringLiteral("Major")) << rgb(0.93f, 0.61f, 0.2f);
    QTest::newRow("Minor") << std::optional(QStringLiteral("Minor")) << rgb(0.95f, 0.76f, 0.0f);
    QTest::newRow("Resolved") << std::optional(QStringLiteral("Resolved"))
                              << rgb(0.34f, 0.54f, 0.69f);
    QTest::newRow("Okay") << std::optional(QStringLiteral("Okay")) << rgb(0.54f, 0.69f, 0.34f);

    const QColor clear(Qt::transparent);
    QTest::newRow("absent") << std::optional<QString>() << clear;
    QTest::newRow("empty") << std::optional(QString()) << clear;
    QTest::newRow("lower case") << std::optional(QStringLiteral("critical")) << clear;
    QTest::newRow("upper case") << std::optional(QStringLiteral("MAJOR")) << clear;
    QTest::newRow("surrounding blank") << std::optional(QStringLiteral(" Minor")) << clear;
    QTest::newRow("unknown word") << std::optional(QStringLiteral("Warning")) << clear;
}

void HelperTest::colorForLevel()
{
    QFETCH(std::optional<QString>, key);
    QFETCH(QColor, expected);
    const QColor color = Helper::colorForKey(key);
    QCOMPARE(color.rgba(), expected.rgba());
}

void HelperTest::closedLooksLikeOkay()
{
    const QColor closed = Helper::colorForKey(QStringLiteral("Closed"));
    QCOMPARE(closed, Helper::colorForKey(QStringLiteral("Okay")));
    QCOMPARE(closed.alpha(), 255);
}

void HelperTest::colorAndTitleForType_data()
{
    QTest::addColumn<AlarmType>("type");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("title");

    QTest::newRow("NoAlarms") << AlarmType::NoAlarms << QStringLiteral("Okay")
                              << QStringLiteral("There are no alarms :-)");
    QTest::newRow("Error") << AlarmType::Error << QStringLiteral("Critical")
                           << QStringLiteral("An error occured. :-(");
    QTest::newRow("Alarm") << AlarmType::Alarm << QStringLiteral("Critical") << QString();
}

void HelperTest::colorAndTitleForType()
{
    QFETCH(AlarmType, type);
    QFETCH(QString, level);
    QFETCH(QString, title);
    QCOMPARE(Helper::colorForKey(type), Helper::colorForKey(level));
    QCOMPARE(Helper::titleForKey(type), title);
}

QTEST_GUILESS_MAIN(HelperTest)
#include "tst_Helper.moc"
