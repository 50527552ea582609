#include "platform/UrlText.h"

#include <QTest>

class tst_UrlText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void isValid_data();
    void isValid();
};

void tst_UrlText::isValid_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    // What the client sends.
    QTest::newRow("feed") << u"https://feeds.tovo.example/rssalarms?mac2&id=a1b2-C3"_qs << true;
    QTest::newRow("empty guid") << u"https://feeds.tovo.example/rssalarms?mac2&id="_qs << true;
    QTest::newRow("sign-in")
        << u"https://w.example/resolveGUID?email=a+b@c.d&password=p!$'()*,;="_qs << true;
    QTest::newRow("escapes") << u"https://w.example/x?id=%41%7e%2F%25"_qs << true;
    QTest::newRow("query with / and ?") << u"http://127.0.0.1:8080/a?b=/c?d"_qs << true;
    QTest::newRow("ipv6 host") << u"http://[::1]:80/x"_qs << true;
    QTest::newRow("one fragment") << u"https://h/p?q#frag?/"_qs << true;

    // What must never be sent.
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blank in guid") << u"https://h/rssalarms?mac2&id=a b"_qs << false;
    QTest::newRow("blank in password") << u"https://h/r?email=a&password=p w"_qs << false;
    QTest::newRow("non-ascii") << u"https://h/r?id=caf\u00e9"_qs << false;
    QTest::newRow("control") << u"https://h/r?id=a\nb"_qs << false;
    QTest::newRow("lone percent") << u"https://h/r?id=50%"_qs << false;
    QTest::newRow("bad escape") << u"https://h/r?id=%G1"_qs << false;
    QTest::newRow("bracket in query") << u"https://h/r?id=[1]"_qs << false;
    QTest::newRow("second #") << u"https://h/r?id=a#b#c"_qs << false;
    QTest::newRow("angle") << u"https://h/r?id=<x>"_qs << false;
    QTest::newRow("caret, pipe, braces") << u"https://h/r?id=^|{}"_qs << false;
    QTest::newRow("no scheme") << u"/rssalarms?mac2&id=x"_qs << false;
    QTest::newRow("unclosed ipv6") << u"https://[::1/"_qs << false;
}

void tst_UrlText::isValid()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(UrlText::isValid(text), valid);
}

QTEST_APPLESS_MAIN(tst_UrlText)
#include "tst_UrlText.moc"
