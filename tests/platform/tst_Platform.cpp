#include "platform/MainQueue.h"
#include "platform/ProcessMemory.h"
#include "platform/ServiceEndpoints.h"
#include "platform/UnicodeText.h"
#include "platform/UrlText.h"

#include <QTest>
#include <QThread>
#include <atomic>

// Main-queue dispatch, text equality, the URL text check, the service endpoints and handing the
// heap back.
class tst_Platform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Never inline, even on the main thread; in order from any thread; the delayed work, queued
    // first by the worker, still runs after the rest.
    void mainQueue()
    {
        QList<int> order;
        std::atomic<bool> allOnMain = true;
        std::atomic<bool> workerIsMain = true;
        const auto append = [&](int i) {
            allOnMain = allOnMain && MainQueue::isMainThread();
            order.append(i);
        };
        MainQueue::async([&] { append(0); });
        QVERIFY(order.isEmpty());
        std::unique_ptr<QThread> worker(QThread::create([&] {
            workerIsMain = MainQueue::isMainThread();
            MainQueue::asyncAfter(std::chrono::milliseconds(20), [&] { append(101); });
            for (int i = 1; i <= 100; ++i)
                MainQueue::async([&, i] { append(i); });
        }));
        worker->start();
        QVERIFY(worker->wait());
        QVERIFY(!workerIsMain);
        QTRY_COMPARE(order.size(), 102);
        QVERIFY(allOnMain);
        QVERIFY(std::is_sorted(order.begin(), order.end()));
    }

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
        // What must never be sent.
        row("empty", QString(), false);
        row("blank", u"https://h/rssalarms?mac2&id=a b"_qs, false);
        row("non-ascii", u"https://h/r?id=caf\u00e9"_qs, false);
        row("control", u"https://h/r?id=a\nb"_qs, false);
        row("bad escape", u"https://h/r?id=%G1"_qs, false);
        row("cut escape", u"https://h/r?id=50%"_qs, false);
        row("bracket in query", u"https://h/r?id=[1]"_qs, false);
        row("second #", u"https://h/r?id=a#b#c"_qs, false);
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

    // The build's bases stand unless the environment names an https URL or plain http on a
    // loopback host: an override must never send a password in clear text to another machine.
    void endpointOverride_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("taken");

        const auto row = [](const char* name, const char* value, bool taken) {
            QTest::newRow(name) << QByteArray(value) << taken;
        };
        row("https", "https://staging.tovo.example", true);
        row("http loopback v4", "http://127.0.0.1:8080", true);
        row("http loopback v6", "http://[::1]:8080", true);
        row("http localhost", "http://localhost:8080", true);
        row("http remote", "http://feeds.tovo.example", false);
        row("http localhost lookalike", "http://localhost.evil.example", false);
        row("http loopback as user info", "http://127.0.0.1@evil.example", false);
        row("trailing slash", "https://staging.tovo.example/", false);
        row("not a url", "staging tovo", false);
    }

    void endpointOverride()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, taken);

        qunsetenv("TOVO_WEB_BASE");
        qunsetenv("TOVO_FEED_BASE");
        const QString builtInWeb = ServiceEndpoints::webBase();
        const QString builtInFeed = ServiceEndpoints::feedBase();
        qputenv("TOVO_WEB_BASE", value);
        qputenv("TOVO_FEED_BASE", value);
        QCOMPARE(ServiceEndpoints::webBase(), taken ? QString::fromUtf8(value) : builtInWeb);
        QCOMPARE(ServiceEndpoints::feedBase(), taken ? QString::fromUtf8(value) : builtInFeed);
    }

    // Freed blocks between live ones cannot go back by shrinking the heap's end: the pages in
    // between are handed back.
    void releaseUnusedHeap()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator keeps a heap of its own");
#endif
        QList<QByteArray> blocks(64);
        for (QByteArray& block : blocks)
            block.fill('x', 64 * 1024);
        for (qsizetype i = 0; i < blocks.size(); i += 2)
            blocks[i].clear();
        QVERIFY(ProcessMemory::releaseUnusedHeap());
    }
};

QTEST_GUILESS_MAIN(tst_Platform)
#include "tst_Platform.moc"
