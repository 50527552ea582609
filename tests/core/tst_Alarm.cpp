#include "core/Alarm.h"

#include <QTest>

namespace {

// An alarm from "agent|resource|description|level|guid".
Alarm alarm(const QString& fields)
{
    const QStringList f = fields.split(u'|');
    return Alarm(f[0], f[1], f[2], f[3], AlarmType::Alarm, f[4]);
}

} // namespace

class tst_Alarm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equality_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");

        const QString base = u"web01|CPU|Load high|Critical|"_qs;
        QTest::newRow("guid differs") << base + u"g1"_qs << base + u"g2"_qs << true;
        QTest::newRow("agent differs") << base << u"web02|CPU|Load high|Critical|"_qs << false;
        QTest::newRow("level differs") << base << u"web01|CPU|Load high|Resolved|"_qs << false;
        QTest::newRow("case differs") << base << u"WEB01|CPU|Load high|Critical|"_qs << false;
        QTest::newRow("composed in every field")
            << u"\u00c5|\u00f1|\u1e69|\u00fc|"_qs << u"A\u030a|n\u0303|s\u0323\u0307|u\u0308|x"_qs
            << true;
        QTest::newRow("combining order normalised")
            << u"a|b|s\u0323\u0307|d|"_qs << u"a|b|s\u0307\u0323|d|"_qs << true;
        QTest::newRow("compatibility is not canonical")
            << u"a|b|\ufb01|d|"_qs << u"a|b|fi|d|"_qs << false;
    }

    void equality()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(alarm(a) == alarm(b), equal);
        QCOMPARE(alarm(b) == alarm(a), equal);
    }

    void fieldsByName()
    {
        Alarm a = alarm(u"agent|resource|description|level|guid"_qs);
        for (const char* name :
             {"alarmAgent", "alarmResource", "alarmDescription", "alarmLevel", "alarmGuid"})
            QCOMPARE(a.field(name), QString::fromLatin1(name + 5).toLower());
        QVERIFY(a.field("alarmType").isNull());
        QVERIFY(a.field("nonsense").isNull());

        QVERIFY(a.setField("alarmLevel", u"Resolved"_qs));
        QCOMPARE(a.alarmLevel(), u"Resolved"_qs);
        QVERIFY(!a.setField("alarmType", u"1"_qs));
        QCOMPARE(a.alarmType(), AlarmType::Alarm);
    }
};

QTEST_APPLESS_MAIN(tst_Alarm)
#include "tst_Alarm.moc"
