// Text equality by canonical equivalence, and the keys built from it.

#include "base/UnicodeText.h"

#include <QTest>

class TestUnicodeText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Equality and the keys built from it agree, with an ASCII word on either side, on short
    // runs of marks and on long ones. A key holds no spare room: it may be kept for good.
    void textEquality_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");

        const auto row = [](const char* name, const QString& a, const QString& b, bool equal) {
            QTest::newRow(name) << a << b << equal;
        };
        const auto marks = [](char16_t mark, int count) { return QString(count, QChar(mark)); };
        row("precomposed and decomposed", u"\u00c5ngstr\u00f6m"_qs, u"A\u030angstro\u0308m"_qs,
            true);
        row("case differs", u"\u00c5"_qs, u"\u00e5"_qs, false);
        row("kelvin sign and K", u"\u212a"_qs, u"K"_qs, true);
        row("greek question mark and semicolon", u"a\u037e"_qs, u"a;"_qs, true);
        row("accented letter and its base", u"\u00e9"_qs, u"e"_qs, false);
        row("word with a mark and the word", u"Critical\u0301"_qs, u"Critical"_qs, false);
        row("compatibility is not canonical", u"\ufb01"_qs, u"fi"_qs, false);
        row("marks of different classes in any order", u"a\u0301\u0316"_qs, u"a\u0316\u0301"_qs,
            true);
        row("marks of one class in their order", u"a\u0301\u0300"_qs, u"a\u0300\u0301"_qs, false);
        row("long runs in any order", u"a"_qs + marks(0x301, 40) + marks(0x316, 40),
            u"a"_qs + marks(0x316, 40) + marks(0x301, 40), true);
        row("long runs of one class in their order",
            u"a"_qs + marks(0x301, 20) + u"\u0300"_qs + marks(0x301, 20),
            u"a\u0300"_qs + marks(0x301, 40), false);
        row("precomposed letter before a long run", u"\u00e9"_qs + marks(0x316, 40),
            u"e"_qs + marks(0x316, 40) + u"\u0301"_qs, true);
        row("hangul syllable and its letters", u"\uac01"_qs, u"\u1100\u1161\u11a8"_qs, true);
        row("outside the basic plane", u"\U0001d15f"_qs, u"\U0001d158\U0001d165"_qs, true);
    }

    void textEquality()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(UnicodeText::equal(a, b), equal);
        QCOMPARE(UnicodeText::equal(b, a), equal);
        QCOMPARE(UnicodeText::canonical(a) == UnicodeText::canonical(b), equal);
        for (const QString& key : {UnicodeText::canonical(a), UnicodeText::canonical(b)})
            QVERIFY2(key.capacity() <= key.size(), qPrintable(QString::number(key.capacity())));
    }
};

QTEST_GUILESS_MAIN(TestUnicodeText)
#include "tst_UnicodeText.moc"
