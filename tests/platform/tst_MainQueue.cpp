#include "platform/MainQueue.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>

class tst_MainQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsLaterOnMainThreadInOrder();
    void fromWorkerThread();
    void asyncAfterFromWorkerThread();
};

void tst_MainQueue::runsLaterOnMainThreadInOrder()
{
    QList<int> order;
    MainQueue::async([&] { order.append(1); });
    MainQueue::async([&] { order.append(2); });
    QVERIFY(order.isEmpty()); // never inline, even on the main thread
    QTRY_COMPARE(order, (QList<int>{1, 2}));
}

void tst_MainQueue::fromWorkerThread()
{
    QList<int> order;
    std::atomic<bool> allOnMain = true;
    std::atomic<bool> workerIsMain = true;
    QThread* worker = QThread::create([&] {
        workerIsMain = MainQueue::isMainThread();
        for (int i = 0; i < 100; ++i) {
            MainQueue::async([&, i] {
                allOnMain = allOnMain && MainQueue::isMainThread();
                order.append(i);
            });
        }
    });
    worker->start();
    QVERIFY(worker->wait());
    delete worker;
    QVERIFY(!workerIsMain);
    QTRY_COMPARE(order.size(), 100);
    QVERIFY(allOnMain);
    QVERIFY(std::is_sorted(order.begin(), order.end()));
}

void tst_MainQueue::asyncAfterFromWorkerThread()
{
    bool ranOnMain = false;
    bool ran = false;
    QThread* worker = QThread::create([&] {
        MainQueue::asyncAfter(std::chrono::milliseconds(20), [&] {
            ranOnMain = MainQueue::isMainThread();
            ran = true;
        });
    });
    worker->start();
    QVERIFY(worker->wait());
    delete worker;
    QTRY_VERIFY(ran);
    QVERIFY(ranOnMain);
}

QTEST_GUILESS_MAIN(tst_MainQueue)
#include "tst_MainQueue.moc"
