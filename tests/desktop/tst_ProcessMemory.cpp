// Handing the heap back to the system.

#include "desktop/ProcessMemory.h"

#include <QTest>

class TestProcessMemory : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

QTEST_APPLESS_MAIN(TestProcessMemory)
#include "tst_ProcessMemory.moc"
