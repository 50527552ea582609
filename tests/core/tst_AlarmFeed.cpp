#include "core/APIClient.h"

#include <QStringEncoder>
#include <QTest>

// Alarms and the feed document to alarms: equality, selections, full text content and the
// splitting rules. Each alarm is written "agent|resource|description|level|guid".
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

// The alarms of a feed document, one a line.
QString parsed(const QByteArray& body)
{
    QStringList result;
    for (const AlarmPtr& alarm : APIClient::parseAlarmFeed(body))
        result.append(QStringList{alarm->alarmAgent(), alarm->alarmResource(),
                                  alarm->alarmDescription(), alarm->alarmLevel(),
                                  alarm->alarmGuid()}
                          .join(u'|') +
                      (alarm->alarmType() == AlarmType::Alarm ? u""_qs : u" <wrong type>"_qs));
    return result.join(u'\n');
}

Alarm alarm(const QString& fields)
{
    const QStringList f = fields.split(u'|');
    return Alarm(f[0], f[1], f[2], f[3], AlarmType::Alarm, f[4]);
}

} // namespace

class TestAlarmFeed : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equality_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");

        const QString base = u"web01|cpu|load high|critical|"_qs;
        QTest::newRow("guid differs") << base + u"g1"_qs << base + u"g2"_qs << true;
        for (qsizetype field = 0; field < 4; ++field) {
            QStringList other = base.split(u'|');
            other[field] = other[field].toUpper();
            QTest::addRow("case of field %d", int(field)) << base << other.join(u'|') << false;
        }
        QTest::newRow("composed in every field, combining marks in any order")
            << u"\u00c5|\u00f1|\u1e69|\u00fc|"_qs << u"A\u030a|n\u0303|s\u0307\u0323|u\u0308|x"_qs
            << true;
    }

    void equality()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(alarm(a) == alarm(b), equal);
        QCOMPARE(alarm(b) == alarm(a), equal);
    }

    void documents_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        // The splitting rules, on one item: "agent|resource|description|level".
        const auto split = [](const char* name, const char* title, const char* description,
                              const char* expected) {
            QTest::newRow(name) << rss(item(title, description, "g"))
                                << QString::fromUtf8(expected) + u"|g"_qs;
        };
        split("worked example", "web01: Critical",
              "Resource: CPU load&lt;br&gt;Load above 95%\nsince 10:02",
              "web01|CPU load|Load above 95%|Critical");
        split("title without separator", "Critical", "Resource: r&lt;br&gt;d",
              "Critical|r|d|Critical");
        split("title with two separators", "a: b: Major", "Resource: r&lt;br&gt;d", "a|r|d|Major");
        split("description without break", "h: Okay", "x Resource: disk Resource: /var",
              "h|/var||Okay");
        split("resource only searched before the first break", "h: Okay",
              "r0&lt;br&gt;Resource: r1&lt;br&gt;x", "h|r0|Resource: r1|Okay");
        split("second piece without line feed, third ignored", "h: Major",
              "Resource: r&lt;br&gt;all of it&lt;br&gt;third", "h|r|all of it|Major");
        split("break as child element is no separator", "h: Major", "Resource: r<br/>d",
              "h|rd||Major");
        split("blanks are kept", " h :  Major ", "Resource:  r &lt;br&gt; d \n",
              " h | r | d | Major ");
        split("CDATA", "<![CDATA[web01: Critical]]>",
              "<![CDATA[Resource: <b>CPU</b><br>Load & more\nx]]>",
              "web01|<b>CPU</b>|Load & more|Critical");
        split("nested elements and mixed content", "<b>web</b>01: <i>Crit</i>ical",
              "Resource: <span>C<![CDATA[P]]>U</span>&lt;br&gt;<p>d</p>", "web01|CPU|d|Critical");
        const char* const exception = "T-O-VO Feed Exception: Error";
        split(
            "feed exception without break", exception, "no account",
            "T-O-VO Feed Exception|no account|Please go to settings to set up your account|Error");
        split("feed exception with a message line", exception, "x&lt;br&gt;Bad GUID\nmore",
              "T-O-VO Feed Exception|x|Bad GUID|Error");
        split("feed exception with an empty message line", exception, "x&lt;br&gt;\nmore",
              "T-O-VO Feed Exception|x|Please go to settings to set up your account|Error");
        split("feed exception is case-sensitive", "T-O-VO feed exception: Error", "",
              "T-O-VO feed exception|||Error");

        QTest::newRow("document order and duplicates")
            << rss(item("b: Minor", "", "2") + item("a: Major", "", "1") +
                   item("b: Minor", "", "2"))
            << u"b|||Minor|2\na|||Major|1\nb|||Minor|2"_qs;
        QTest::newRow("empty item still an alarm") << rss("<item/>") << u"||||"_qs;
        QTest::newRow("first title, description and guid win")
            << rss("<item><guid>g1</guid><title>a: Major</title><title>b: Minor</title>"
                   "<description>r1</description><description>r2</description><guid>g2</guid>"
                   "</item>")
            << u"a|r1||Major|g1"_qs;
        QTest::newRow("items outside the first channel and nested items are ignored")
            << QByteArray("<rss><item><guid>0</guid></item><channel><x><item/></x>"
                          "<item><guid>1</guid><item><guid>n</guid></item></item></channel>"
                          "<channel><item><guid>2</guid></item></channel></rss>")
            << u"||||1"_qs;
        QTest::newRow("element names are case-sensitive")
            << QByteArray("<rss><channel><Item/><item><Title>x</Title><guid>g</guid></item>"
                          "</channel></rss>")
            << u"||||g"_qs;

        const auto none = [](const char* name, const QByteArray& body) {
            QTest::newRow(name) << body << QString();
        };
        none("not xml", "Service Unavailable");
        none("no channel", "<rss><item><guid>g</guid></item></rss>");
        none("channel without items", rss(""));
        none("truncated", rss(item("h: Major", "d", "g")).left(60));

        // Declared encodings and entities.
        const QString cafe = u"Caf\u00e9 \u2603"_qs;
        const QString feed = u"<?xml version=\"1.0\" encoding=\"%1\"?><rss><channel><item>"
                             u"<title>%2: Major</title></item></channel></rss>"_qs;
        QTest::newRow("utf-8") << feed.arg(u"UTF-8"_qs, cafe).toUtf8() << cafe + u"|||Major|"_qs;
        QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("utf-16 with bom")
            << QByteArray(utf16(feed.arg(u"UTF-16"_qs, cafe))) << cafe + u"|||Major|"_qs;
        QStringEncoder latin1(QStringEncoder::Latin1);
        QTest::newRow("iso-8859-1")
            << QByteArray(latin1(feed.arg(u"ISO-8859-1"_qs, u"Caf\u00e9 \u00bd"_qs)))
            << u"Caf\u00e9 \u00bd|||Major|"_qs;
        QTest::newRow("internal entity, also used first where nothing is read")
            << QByteArray("<!DOCTYPE rss [<!ENTITY host \"web01\">]><rss><x>&host;</x><channel>"
                          "<pubDate>&host;</pubDate><item><guid>&host;</guid>"
                          "<title>&host;: Major</title></item></channel></rss>")
            << u"web01|||Major|web01"_qs;
        QTest::newRow("external entity is not loaded")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY secret SYSTEM "
                          "\"file:///etc/passwd\">]><rss><channel><item><title>&secret;: Major"
                          "</title><guid>g</guid></item></channel></rss>")
            << u"|||Major|g"_qs;
        // "Billion laughs": libxml2's expansion limits stay on, so the document is refused.
        QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY l0 \"lol\">";
        for (int i = 1; i < 12; ++i)
            laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" +
                      QByteArray("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
        laughs += "]><rss><channel><item><title>&l11;: Major</title></item></channel></rss>";
        none("entity expansion is bounded", laughs);
        // One 10 KB entity in 2,000 items: 20 MB of text from a 30 KB feed, over its size cap.
        none("text from entities is bounded per document",
             "<!DOCTYPE rss [<!ENTITY e \"" + QByteArray(10000, 'x') + "\">]><rss><channel>" +
                 QByteArray("<item><title>&e;</title></item>").repeated(2000) + "</channel></rss>");
    }

    void documents()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QCOMPARE(parsed(body), expected);
    }

    // The sign-in answer's text has a budget of its own, far smaller than the feed's.
    void signInAnswer_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("guid"); // or the failure's description

        const QByteArray entity = "<!DOCTYPE guid [<!ENTITY e \"" + QByteArray(1000, 'g') + "\">";
        QTest::newRow("entities expanded") << entity + "]><guid>&e;-<![CDATA[c]]><b>&e;</b></guid>"
                                           << QString(1000, u'g') + u"-c"_qs + QString(1000, u'g');
        QTest::newRow("entities expanding past the cap")
            << entity + "]><guid>" + QByteArray("&e;").repeated(100) + "</guid>" << u"Error"_qs;
        QTest::newRow("references to empty entities past the cap")
            << "<!DOCTYPE guid [<!ENTITY e \"\"><!ENTITY f \"" + QByteArray("&e;").repeated(1000) +
                   "\">]><guid>" + QByteArray("&f;").repeated(100) + "</guid>"
            << u"Error"_qs;
    }

    void signInAnswer()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, guid);
        const Result<QString> result = APIClient::parseGuid(body);
        QCOMPARE(result.isSuccess() ? result.value() : result.error().localizedDescription(), guid);
    }
};

QTEST_APPLESS_MAIN(TestAlarmFeed)
#include "tst_AlarmFeed.moc"
