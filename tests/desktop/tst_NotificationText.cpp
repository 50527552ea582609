// What a notification shows of a text from the feed: no controls but line feeds, no direction
// overrides, and no more than fits, cut at a grapheme boundary.

#include "desktop/NotificationText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestNotificationText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textIsPreparedForDisplay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // at most 8 code units
        const QString e = u"e\u0301"_s;
        QTest::newRow("ordinary") << u"a b\nc"_s << u"a b\nc"_s;
        QTest::newRow("controls but line feed") << u"a\tb\0c\r\x7f\x85\n"_s << u"abc\n"_s;
        QTest::newRow("embeddings, overrides, isolates")
            << u"\u202ad\u202bi\u202cr\u202d\u202e\u2066\u2067\u2068\u2069\u200f"_s
            << u"dir\u200f"_s;
        QTest::newRow("at the limit after stripping") << u"12345678\a\a"_s << u"12345678"_s;
        QTest::newRow("over it") << u"123456789"_s << u"1234567\u2026"_s;
        QTest::newRow("grapheme kept whole") << u"123456"_s + e + e << u"123456\u2026"_s;
        QTest::newRow("surrogate pair kept whole") << u"123456\U0001F600x"_s << u"123456\u2026"_s;
        QTest::newRow("one endless grapheme")
            << u"x"_s + QString(100000, QChar(0x301)) << u"\u2026"_s;
    }

    void textIsPreparedForDisplay()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(NotificationText::displayed(text, 8), shown);
    }
};

QTEST_APPLESS_MAIN(TestNotificationText)
#include "tst_NotificationText.moc"
