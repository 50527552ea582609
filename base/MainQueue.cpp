#include "base/MainQueue.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace MainQueue {

void async(std::function<void()> work)
{
    QCoreApplication* app = QCoreApplication::instance();
    Q_ASSERT_X(app, "MainQueue::async", "needs a QCoreApplication");
    if (!app)
        return;
    // Queued to the application object, so it runs in the main thread's event loop. Events
    // posted from one thread to one receiver keep their order.
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void asyncAfter(std::chrono::milliseconds delay, std::function<void()> work)
{
    // The timer is started from the main thread: a single-shot timer started on a worker thread
    // would need an event loop there.
    async([delay, work = std::move(work)]() mutable {
        QTimer::singleShot(delay, QCoreApplication::instance(), std::move(work));
    });
}

bool isMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace MainQueue
