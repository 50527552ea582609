#pragma once
// Polls the alarm feed of one account and raises a desktop notification for every alarm whose
// guid this process has not seen before (up to 20 a fetch, then one for the rest). The first
// successful fetch only records what is open. Each notification carries the alarm's level as its
// urgency and image (AlarmSeverity). Clicking one of its notifications (where the notification
// server offers that) opens the Today panel.
//
// Threads: each polling loop runs on a worker of its own queue and blocks there in its sleep.
// alarmSet and firsttime belong to the main thread, where every successful fetch is processed.

#include "core/APIClient.h"
#include "desktop/NotificationListener.h"
#include "desktop/PollingThreads.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class DesktopNotifications;

class NotificationClient : public NotificationListener,
                           public std::enable_shared_from_this<NotificationClient> {
    Q_DECLARE_TR_FUNCTIONS(NotificationClient)
public:
    using FeedSource = std::function<void(const QString& guid, APIClient::AlarmFeedCompletion)>;
    // What a click on one of our notifications does, with the activation token the notification
    // server handed over for it (empty when it sent none).
    using Activation = std::function<void(const QString& activationToken)>;
    // Told of every completed poll, on the main thread, before its alarms are processed: the
    // GUID it was for and its outcome.
    using PollListener = std::function<void(const QString& guid, const Result<AlarmList>& result)>;

    // The label of that click, for servers that show it.
    static inline const QString showAlarmsAction = QStringLiteral("Show alarms");

    static constexpr std::chrono::milliseconds defaultInterval{std::chrono::seconds(60)};
    // New alarms of one fetch beyond this many share one summary notification.
    static constexpr qsizetype maxNotificationsPerPoll = 20;
    // More guids, and more of their characters, than an ordinary account ever has open; see
    // processAlarms.
    static constexpr qsizetype maxRememberedAlarms = 100000;
    static constexpr qsizetype maxRememberedCharacters = 8 * 1024 * 1024;

    // The process-wide client: default interval (or TOVO_POLL_INTERVAL_SECONDS, for tests and
    // benchmarks; fractions allowed), the service's feed, the session's desktop notifications.
    // Never destroyed.
    static NotificationClient& sharedClient();

    // A separate client (tests). An empty feed means APIClient::sharedClient(); without
    // `notifications` the client sends its own on the session bus.
    static std::shared_ptr<NotificationClient> create(std::chrono::milliseconds interval,
                                                      FeedSource feed = {},
                                                      DesktopNotifications* notifications = nullptr,
                                                      Activation activation = {});
    ~NotificationClient() override;
    NotificationClient(const NotificationClient&) = delete;
    NotificationClient& operator=(const NotificationClient&) = delete;

    const QHash<QString, bool>& alarmSet() const;
    void setAlarmSet(const QHash<QString, bool>& alarmSet);
    bool firsttime() const;
    void setFirsttime(bool firsttime);
    // What a click on a notification does; none does nothing (the program's services set it).
    void setActivation(Activation activation);
    void setPollListener(PollListener listener);

    // Adds one polling loop for `guid` and returns at once; loops already running go on.
    void startNotificationTask(const QString& guid);
    // Cancels every loop without waiting. A loop notices it only before its first sleep and
    // after each request, so a sleeping loop still makes one more request.
    void stopNotificationTask();
    void processAlarms(const AlarmList& alarms);
    // Queues one notification for the main thread and returns at once. With the `level` of an
    // alarm it shows that level; without one it is a notice of normal urgency.
    void postNotification(const QString& title, const QString& text,
                          const std::optional<QString>& level = std::nullopt);

    PollingThreads& backgroundQueue() { return m_backgroundQueue; }

    bool shouldPresentNotification(DesktopNotifications& notifications,
                                   const DesktopNotification& notification) override;
    void didActivateNotification(DesktopNotifications& notifications,
                                 const DesktopNotification& notification) override;

private:
    NotificationClient(std::chrono::milliseconds interval, FeedSource feed,
                       DesktopNotifications* notifications, Activation activation);
    void poll(const PollingTask& task, const QString& guid);
    void pollCompleted(const QString& guid, const Result<AlarmList>& result);
    void deliver(const QString& title, const QString& text, const std::optional<QString>& level);
    // Marks the known guids of a fetch as seen, having made room for its new ones.
    void markSeen(const QStringList& guids);
    void remember(const QString& guid);

    const std::chrono::milliseconds m_timeInterval;
    const FeedSource m_feed;
    const std::unique_ptr<DesktopNotifications> m_ownNotifications; // when none was handed in
    DesktopNotifications& m_notifications;
    Activation m_activation;
    PollListener m_pollListener;
    QHash<QString, bool> m_alarmSet;
    qsizetype m_rememberedCharacters = 0; // of all keys of m_alarmSet
    bool m_firsttime = true;
    // Last, so it is shut down (loops ended) before anything they use goes away.
    PollingThreads m_backgroundQueue;
};
