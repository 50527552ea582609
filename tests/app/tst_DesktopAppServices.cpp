// Quitting while a polling loop sleeps its long interval ends the loop at once instead of
// hanging the exit (or letting it wake into a dying application).

#include "DesktopAppServices.h"
#include "NotificationClient.h"

#include <QTest>

class tst_DesktopAppServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quitEndsASleepingLoop()
    {
        qputenv("TOVO_POLL_INTERVAL_SECONDS", "3600");
        {
            DesktopAppServices services;
            services.startNotificationTask(QStringLiteral("GUID-1"));
            // The loop is asleep for an hour; leaving the scope must not wait for it (a hang
            // here ends in the test's time-out).
        }
        QVERIFY(NotificationClient::sharedClient().backgroundQueue().waitForDone(
            std::chrono::milliseconds(0)));
    }
};

QTEST_MAIN(tst_DesktopAppServices)
#include "tst_DesktopAppServices.moc"
