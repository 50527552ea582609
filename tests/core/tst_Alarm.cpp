#include "core/Alarm.h"

#include <QTest>

class tst_Alarm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equality_data();
    void equality();
    void fieldsByName();
};

namespace {

Alarm alarm(const QString& agent, const QString& resource, const QString& description,
            const QString& level, const QString& guid = u"g"_qs)
{
    return Alarm(agent, resource, description, level, AlarmType::Alarm, guid);
}

} // namespace

void tst_Alarm::equality_data()
{
    QTest::addColumn<QStringList>("a"); // agent, resource, description, level, guid
    QTest::addColumn<QStringList>("b");
    QTest::addColumn<bool>("equal");

    const QStringList base = {u"web01"_qs, u"CPU"_qs, u"Load high"_qs, u"Critical"_qs, u"g1"_qs};
    auto with = [&](qsizetype index, const QString& value) {
        QStringList changed = base;
        changed[index] = value;
        return changed;
    };
    QTest::newRow("guid differs") << base << with(4, u"g2"_qs) << true;
    QTest::newRow("agent differs") << base << with(0, u"web02"_qs) << false;
    QTest::newRow("level differs") << base << with(3, u"Resolved"_qs) << false;
    QTest::newRow("case differs") << base << with(0, u"WEB01"_qs) << false;
    QTest::newRow("precomposed vs decomposed")
        << with(0, u"caf\u00e9"_qs) << with(0, u"cafe\u0301"_qs) << true;
    QTest::newRow("composed in every field")
        << QStringList{u"\u00c5"_qs, u"\u00f1"_qs, u"\u1e69"_qs, u"\u00fc"_qs, u""_qs}
        << QStringList{u"A\u030a"_qs, u"n\u0303"_qs, u"s\u0323\u0307"_qs, u"u\u0308"_qs, u"x"_qs}
        << true;
    QTest::newRow("combining order normalised")
        << with(2, u"s\u0323\u0307"_qs) << with(2, u"s\u0307\u0323"_qs) << true;
    QTest::newRow("compatibility is not canonical")
        << with(2, u"\ufb01"_qs) << with(2, u"fi"_qs) << false;
}

void tst_Alarm::equality()
{
    QFETCH(QStringList, a);
    QFETCH(QStringList, b);
    QFETCH(bool, equal);
    const Alarm first = alarm(a[0], a[1], a[2], a[3], a[4]);
    const Alarm second = alarm(b[0], b[1], b[2], b[3], b[4]);
    QCOMPARE(first == second, equal);
    QCOMPARE(second == first, equal);
}

void tst_Alarm::fieldsByName()
{
    Alarm a = alarm(u"agent"_qs, u"resource"_qs, u"description"_qs, u"Major"_qs, u"guid"_qs);
    QCOMPARE(a.field("alarmAgent"), u"agent"_qs);
    QCOMPARE(a.field("alarmResource"), u"resource"_qs);
    QCOMPARE(a.field("alarmDescription"), u"description"_qs);
    QCOMPARE(a.field("alarmLevel"), u"Major"_qs);
    QCOMPARE(a.field("alarmGuid"), u"guid"_qs);
    QVERIFY(a.field("alarmType").isNull());
    QVERIFY(a.field("nonsense").isNull());

    QVERIFY(a.setField("alarmLevel", u"Resolved"_qs));
    QCOMPARE(a.alarmLevel(), u"Resolved"_qs);
    QVERIFY(!a.setField("alarmType", u"1"_qs));
    QCOMPARE(a.alarmType(), AlarmType::Alarm);
}

QTEST_APPLESS_MAIN(tst_Alarm)
#include "tst_Alarm.moc"
