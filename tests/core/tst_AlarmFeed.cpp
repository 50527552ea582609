#include "core/APIClient.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

// The feed document to alarms: selections, full text content and the splitting rules. Each
// expected alarm is {agent, resource, description, level, guid}.
using Alarms = QList<QStringList>;

namespace {

QByteArray rss(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
           "<title>T-O-VO alarms</title>" +
           items + "</channel></rss>";
}

QByteArray item(const QByteArray& title, const QByteArray& description, const QByteArray& guid)
{
    return "<item><title>" + title + "</title><description>" + description +
           "</description><guid>" + guid + "</guid></item>";
}

Alarms parsed(const QByteArray& body)
{
    Alarms result;
    for (const AlarmPtr& alarm : APIClient::parseAlarmFeed(body)) {
        if (alarm->alarmType() != AlarmType::Alarm)
            return {{u"<wrong type>"_qs}};
        result.append({alarm->alarmAgent(), alarm->alarmResource(), alarm->alarmDescription(),
                       alarm->alarmLevel(), alarm->alarmGuid()});
    }
    return result;
}

const QString exceptionText = u"Please go to settings to set up your account"_qs;

} // namespace

class tst_AlarmFeed : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitting_data();
    void splitting();
    void selections_data();
    void selections();
    void noAlarms_data();
    void noAlarms();
    void encodingsAndEntities_data();
    void encodingsAndEntities();
    void entityExpansionIsBounded();
    void externalEntitiesAreNotLoaded();
};

void tst_AlarmFeed::splitting_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QStringList>("expected"); // agent, resource, description, level

    const auto row = [](const char* name, const char* title, const char* description,
                        const QStringList& expected) {
        QTest::newRow(name) << QByteArray(title) << QByteArray(description) << expected;
    };
    row("worked example", "web01: Critical",
        "Resource: CPU load&lt;br&gt;Load above 95%\nsince 10:02",
        {u"web01"_qs, u"CPU load"_qs, u"Load above 95%"_qs, u"Critical"_qs});
    row("title without separator", "Critical", "Resource: r&lt;br&gt;d",
        {u"Critical"_qs, u"r"_qs, u"d"_qs, u"Critical"_qs});
    row("title with two separators", "a: b: Major", "Resource: r&lt;br&gt;d",
        {u"a"_qs, u"r"_qs, u"d"_qs, u"Major"_qs});
    row("description without break", "h: Okay", "x Resource: disk Resource: /var",
        {u"h"_qs, u"/var"_qs, u""_qs, u"Okay"_qs});
    row("resource only searched before the first break", "h: Okay",
        "r0&lt;br&gt;Resource: r1&lt;br&gt;x", {u"h"_qs, u"r0"_qs, u"Resource: r1"_qs, u"Okay"_qs});
    row("second piece without line feed, third ignored", "h: Major",
        "Resource: r&lt;br&gt;all of it&lt;br&gt;third",
        {u"h"_qs, u"r"_qs, u"all of it"_qs, u"Major"_qs});
    row("second piece starts with line feed", "h: Major", "Resource: r&lt;br&gt;\nline two",
        {u"h"_qs, u"r"_qs, u""_qs, u"Major"_qs});
    row("break as child element is no separator", "h: Major", "Resource: r<br/>d",
        {u"h"_qs, u"rd"_qs, u""_qs, u"Major"_qs});
    row("blanks are kept", " h :  Major ", "Resource:  r &lt;br&gt; d \n",
        {u" h "_qs, u" r "_qs, u" d "_qs, u" Major "_qs});
    row("CDATA", "<![CDATA[web01: Critical]]>",
        "<![CDATA[Resource: <b>CPU</b><br>Load & more\nx]]>",
        {u"web01"_qs, u"<b>CPU</b>"_qs, u"Load & more"_qs, u"Critical"_qs});
    row("nested elements and mixed content", "<b>web</b>01: <i>Crit</i>ical",
        "Resource: <span>C<![CDATA[P]]>U</span>&lt;br&gt;<p>d</p>",
        {u"web01"_qs, u"CPU"_qs, u"d"_qs, u"Critical"_qs});
    row("feed exception without break", "T-O-VO Feed Exception: Error", "no account",
        {u"T-O-VO Feed Exception"_qs, u"no account"_qs, exceptionText, u"Error"_qs});
    row("feed exception with a message line", "T-O-VO Feed Exception: Error",
        "x&lt;br&gt;Bad GUID\nmore",
        {u"T-O-VO Feed Exception"_qs, u"x"_qs, u"Bad GUID"_qs, u"Error"_qs});
    row("feed exception with an empty message line", "T-O-VO Feed Exception: Error",
        "x&lt;br&gt;\nmore", {u"T-O-VO Feed Exception"_qs, u"x"_qs, exceptionText, u"Error"_qs});
    row("feed exception is case-sensitive", "T-O-VO feed exception: Error", "",
        {u"T-O-VO feed exception"_qs, u""_qs, u""_qs, u"Error"_qs});
}

void tst_AlarmFeed::splitting()
{
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, description);
    QFETCH(QStringList, expected);
    QCOMPARE(parsed(rss(item(title, description, "a1b2"))),
             Alarms{expected + QStringList{u"a1b2"_qs}});
}

void tst_AlarmFeed::selections_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Alarms>("expected");

    const QStringList empty = {u""_qs, u""_qs, u""_qs, u""_qs, u""_qs};
    QTest::newRow("document order and duplicates")
        << rss(item("b: Minor", "", "2") + item("a: Major", "", "1") + item("b: Minor", "", "2"))
        << Alarms{{u"b"_qs, u""_qs, u""_qs, u"Minor"_qs, u"2"_qs},
                  {u"a"_qs, u""_qs, u""_qs, u"Major"_qs, u"1"_qs},
                  {u"b"_qs, u""_qs, u""_qs, u"Minor"_qs, u"2"_qs}};
    QTest::newRow("empty item still an alarm") << rss("<item/>") << Alarms{empty};
    QTest::newRow("item without guid") << rss("<item><title>h: Major</title></item>")
                                       << Alarms{{u"h"_qs, u""_qs, u""_qs, u"Major"_qs, u""_qs}};
    QTest::newRow("first title, description and guid win")
        << rss("<item><guid>g1</guid><title>a: Major</title><title>b: Minor</title>"
               "<description>r1</description><description>r2</description><guid>g2</guid>"
               "</item>")
        << Alarms{{u"a"_qs, u"r1"_qs, u""_qs, u"Major"_qs, u"g1"_qs}};
    QTest::newRow("only the first channel")
        << QByteArray("<rss><channel><item><guid>1</guid></item></channel>"
                      "<channel><item><guid>2</guid></item></channel></rss>")
        << Alarms{{u""_qs, u""_qs, u""_qs, u""_qs, u"1"_qs}};
    QTest::newRow("items outside the channel and nested items are ignored")
        << QByteArray("<rss><item><guid>0</guid></item><channel><x><item/></x>"
                      "<item><guid>1</guid><item><guid>n</guid></item></item></channel></rss>")
        << Alarms{{u""_qs, u""_qs, u""_qs, u""_qs, u"1"_qs}};
    QTest::newRow("element names are case-sensitive")
        << QByteArray("<rss><channel><Item/><item><Title>x</Title><guid>g</guid></item>"
                      "</channel></rss>")
        << Alarms{{u""_qs, u""_qs, u""_qs, u""_qs, u"g"_qs}};
}

void tst_AlarmFeed::selections()
{
    QFETCH(QByteArray, body);
    QFETCH(Alarms, expected);
    QCOMPARE(parsed(body), expected);
}

void tst_AlarmFeed::noAlarms_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("empty body") << QByteArray();
    QTest::newRow("not xml") << QByteArray("Service Unavailable");
    QTest::newRow("html page") << QByteArray(
        "<html><head><title>Error</title></head><body><p>Oops<br></body></html>");
    QTest::newRow("no channel") << QByteArray("<rss><item><guid>g</guid></item></rss>");
    QTest::newRow("channel without items") << rss("");
    QTest::newRow("truncated") << rss(item("h: Major", "d", "g")).left(60);
}

void tst_AlarmFeed::noAlarms()
{
    QFETCH(QByteArray, body);
    QCOMPARE(parsed(body), Alarms());
}

void tst_AlarmFeed::encodingsAndEntities_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("agent");

    const QString cafe = u"Caf\u00e9 \u2603"_qs;
    const QString feed = u"<?xml version=\"1.0\" encoding=\"%1\"?><rss><channel><item>"
                         u"<title>%2: Major</title></item></channel></rss>"_qs;

    QTest::newRow("utf-8") << feed.arg(u"UTF-8"_qs, cafe).toUtf8() << cafe;
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("utf-16 with bom") << QByteArray(utf16(feed.arg(u"UTF-16"_qs, cafe))) << cafe;
    QStringEncoder latin1(QStringEncoder::Latin1);
    QTest::newRow("iso-8859-1") << QByteArray(
                                       latin1(feed.arg(u"ISO-8859-1"_qs, u"Caf\u00e9 \u00bd"_qs)))
                                << u"Caf\u00e9 \u00bd"_qs;
    QTest::newRow("character references")
        << feed.arg(u"UTF-8"_qs, u"Caf&#233; &#x2603; &amp; &lt;x&gt; &quot;&apos;"_qs).toUtf8()
        << u"Caf\u00e9 \u2603 & <x> \"'"_qs;
    QTest::newRow("internal entity")
        << QByteArray("<!DOCTYPE rss [<!ENTITY host \"web01\">]><rss><channel><item>"
                      "<title>&host;: Major</title></item></channel></rss>")
        << u"web01"_qs;
    QTest::newRow("entity used first where nothing is read")
        << QByteArray("<!DOCTYPE rss [<!ENTITY host \"web01\">]><rss><x>&host;</x><channel>"
                      "<pubDate>&host;</pubDate><item><guid>&host;</guid>"
                      "<title>&host;: Major</title></item></channel></rss>")
        << u"web01"_qs;
}

void tst_AlarmFeed::encodingsAndEntities()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, agent);
    const Alarms alarms = parsed(body);
    QCOMPARE(alarms.size(), 1);
    QCOMPARE(alarms[0][0], agent);
    QCOMPARE(alarms[0][3], u"Major"_qs);
}

// A "billion laughs" document must neither hang nor blow up: libxml2's limits stay on.
void tst_AlarmFeed::entityExpansionIsBounded()
{
    QByteArray body = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 12; ++i)
        body += "<!ENTITY l" + QByteArray::number(i) + " \"" +
                QByteArray("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    body += "]><rss><channel><item><title>&l11;: Major</title></item></channel></rss>";
    const Alarms alarms = parsed(body);
    qsizetype total = 0;
    for (const QStringList& alarm : alarms)
        total += alarm.join(QString()).size();
    QVERIFY2(total < 10 * 1024 * 1024, qPrintable(QString::number(total)));
}

void tst_AlarmFeed::externalEntitiesAreNotLoaded()
{
    const QByteArray body =
        "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>"
        "<rss><channel><item><title>&secret;: Major</title><guid>g</guid></item></channel></rss>";
    const Alarms alarms = parsed(body);
    for (const QStringList& alarm : alarms)
        QVERIFY2(!alarm.join(u'|').contains(u"root:"_qs), "an external entity was read");
}

QTEST_APPLESS_MAIN(tst_AlarmFeed)
#include "tst_AlarmFeed.moc"
