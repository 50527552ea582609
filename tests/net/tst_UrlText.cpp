// The strict URL check: what may be sent and what never.

#include "net/UrlText.h"

#include <QTest>

class TestUrlText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void urlText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");

        const auto row = [](const char* name, const QString& text, bool valid) {
            QTest::newRow(name) << text << valid;
        };
        // The client's own URLs, and what its calls reject, are checked through the client.
        row("escapes", u"https://w.example/x?id=%41%7e%2F%25"_qs, true);
        row("query with / and ?", u"http://127.0.0.1:8080/a?b=/c?d"_qs, true);
        row("ipv6 host", u"http://[::1]:80/x"_qs, true);
        row("one fragment", u"https://h/p?q#frag?/"_qs, true);
        // What must never be sent; the fuzz corpus has more (controls, cut escapes, two '#').
        row("empty", QString(), false);
        row("blank", u"https://h/rssalarms?mac2&id=a b"_qs, false);
        row("bad escape", u"https://h/r?id=%G1"_qs, false);
        row("bracket in query", u"https://h/r?id=[1]"_qs, false);
        row("angle", u"https://h/r?id=<x>"_qs, false);
        row("caret, pipe, braces", u"https://h/r?id=^|{}"_qs, false);
        row("no scheme", u"/rssalarms?mac2&id=x"_qs, false);
        row("unclosed ipv6", u"https://[::1/"_qs, false);
    }

    void urlText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(UrlText::isValid(text), valid);
    }
};

QTEST_GUILESS_MAIN(TestUrlText)
#include "tst_UrlText.moc"
