// Work handed to the main thread: never inline, in order from any thread, delayed work too.

#include "base/MainQueue.h"

#include <QTest>
#include <QThread>
#include <atomic>

class TestMainQueue : public QObject {
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
};

QTEST_GUILESS_MAIN(TestMainQueue)
#include "tst_MainQueue.moc"
