#include "app/NotificationClient.h"

#include "Identity.h"
#include "app/AlarmSeverity.h"
#include "app/AppLog.h"
#include "base/MainQueue.h"
#include "base/UnicodeText.h"
#include "desktop/DesktopNotifications.h"
#include "desktop/ProcessMemory.h"

#include <QtGlobal>
#include <algorithm>

namespace {
std::chrono::milliseconds sharedInterval()
{
    // Fractions of a second are for benchmarks that poll many times a second.
    bool ok = false;
    const double seconds = qEnvironmentVariable("TOVO_POLL_INTERVAL_SECONDS").toDouble(&ok);
    return ok && seconds >= 0.001 && seconds <= 86400
               ? std::chrono::milliseconds(qRound64(seconds * 1000))
               : NotificationClient::defaultInterval;
}
} // namespace

NotificationClient& NotificationClient::sharedClient()
{
    static auto* const shared = new std::shared_ptr<NotificationClient>(create(sharedInterval()));
    return **shared;
}

std::shared_ptr<NotificationClient> NotificationClient::create(std::chrono::milliseconds interval,
                                                               FeedSource feed,
                                                               DesktopNotifications* notifications,
                                                               Activation activation)
{
    if (!feed) {
        feed = [](const QString& guid, APIClient::AlarmFeedCompletion completion) {
            APIClient::sharedClient().alarmFeed(guid, std::move(completion));
        };
    }
    return std::shared_ptr<NotificationClient>(
        new NotificationClient(interval, std::move(feed), notifications, std::move(activation)));
}

NotificationClient::NotificationClient(std::chrono::milliseconds interval, FeedSource feed,
                                       DesktopNotifications* notifications, Activation activation)
    : m_timeInterval(interval)
    , m_feed(std::move(feed))
    , m_ownNotifications(notifications ? nullptr
                                       : std::make_unique<DesktopNotifications>(
                                             Identity::displayName, Identity::trayId,
                                             QDBusConnection::sessionBus()))
    , m_notifications(notifications ? *notifications : *m_ownNotifications)
    , m_activation(std::move(activation))
{}

NotificationClient::~NotificationClient()
{
    m_backgroundQueue.shutdown();
    if (m_notifications.listener() == this)
        m_notifications.setListener(nullptr);
}

const QHash<QString, bool>& NotificationClient::alarmSet() const
{
    Q_ASSERT(MainQueue::isMainThread());
    return m_alarmSet;
}

void NotificationClient::setAlarmSet(const QHash<QString, bool>& alarmSet)
{
    Q_ASSERT(MainQueue::isMainThread());
    m_alarmSet = alarmSet;
    m_rememberedCharacters = 0;
    for (auto it = m_alarmSet.cbegin(); it != m_alarmSet.cend(); ++it)
        m_rememberedCharacters += it.key().size();
}

bool NotificationClient::firsttime() const
{
    Q_ASSERT(MainQueue::isMainThread());
    return m_firsttime;
}

void NotificationClient::setFirsttime(bool firsttime)
{
    Q_ASSERT(MainQueue::isMainThread());
    m_firsttime = firsttime;
}

void NotificationClient::startNotificationTask(const QString& guid)
{
    m_backgroundQueue.start([this, guid](const PollingTask& task) { poll(task, guid); });
}

void NotificationClient::stopNotificationTask()
{
    m_backgroundQueue.cancelAll();
}

void NotificationClient::poll(const PollingTask& task, const QString& guid)
{
    if (task.isCancelled())
        return;
    do {
        // False only when the process shuts the queue down.
        if (!m_backgroundQueue.sleep(m_timeInterval))
            return;
        // The request is only started here; its answer arrives on the main thread while this
        // loop already sleeps again.
        m_feed(guid, [weak = weak_from_this(), guid](const Result<AlarmList>& result) {
            // Once this answer is freed, an idle tray program hands the memory of the transfer
            // and the parse back instead of keeping it until the next poll; a failed one (a body
            // cut off at its bound) can have used as much as a good one.
            MainQueue::async(&ProcessMemory::releaseUnusedHeap);
            const auto complete = [weak, guid, result] {
                if (const auto self = weak.lock())
                    self->pollCompleted(guid, result);
            };
            // A request that cannot even be made fails at once, here on the loop's thread.
            if (MainQueue::isMainThread())
                complete();
            else
                MainQueue::async(complete);
        });
    } while (!task.isCancelled());
}

void NotificationClient::pollCompleted(const QString& guid, const Result<AlarmList>& result)
{
    // The listener first: that the service is reachable again is told before the alarms that
    // arrived with it.
    if (m_pollListener)
        m_pollListener(guid, result);
    if (result.isSuccess())
        processAlarms(result.value());
    else
        qCDebug(lcApp) << "poll failed; the next one in due time";
}

void NotificationClient::processAlarms(const AlarmList& alarms)
{
    Q_ASSERT(MainQueue::isMainThread());
    // Guids that are equal as text are one key.
    QStringList guids;
    guids.reserve(alarms.size());
    for (const AlarmPtr& alarm : alarms)
        guids.append(UnicodeText::canonical(alarm->alarmGuid()));
    markSeen(guids);
    qsizetype fresh = 0;
    // The most urgent level of those beyond the bound, for their summary.
    QString restLevel;
    for (qsizetype i = 0; i < alarms.size(); ++i) {
        const AlarmPtr& alarm = alarms.at(i);
        // Membership, not the value, decides: a guid seen once never notifies again.
        if (!m_firsttime && !m_alarmSet.contains(guids.at(i))) {
            if (++fresh <= maxNotificationsPerPoll)
                postNotification(alarm->alarmAgent(), alarm->alarmDescription(),
                                 alarm->alarmLevel());
            else if (restLevel.isNull() || AlarmSeverity::urgency(alarm->alarmLevel()) >
                                               AlarmSeverity::urgency(restLevel))
                restLevel = alarm->alarmLevel();
        }
        remember(guids.at(i));
    }
    qCDebug(lcApp) << "poll:" << alarms.size() << "alarms," << fresh << "new,"
                   << std::min(fresh, maxNotificationsPerPoll) << "notified one by one"
                   << (m_firsttime ? "(the first answer only records)" : "");
    // A feed that makes thousands of alarms new at once gets one line for the rest, not a
    // notification each.
    if (const qsizetype more = fresh - maxNotificationsPerPoll; more > 0) {
        postNotification(more == 1 ? tr("1 more new alarm")
                                   : tr("%n more new alarms", nullptr, int(more)),
                         tr("Too many at once to show each."), restLevel);
    }
    m_firsttime = false;
}

void NotificationClient::markSeen(const QStringList& guids)
{
    for (auto it = m_alarmSet.begin(); it != m_alarmSet.end(); ++it)
        it.value() = false;
    qsizetype unknown = 0;
    qsizetype unknownCharacters = 0;
    for (const QString& guid : guids) {
        if (const auto it = m_alarmSet.find(guid); it != m_alarmSet.end()) {
            it.value() = true;
        } else {
            ++unknown;
            unknownCharacters += guid.size();
        }
    }
    // A feed that keeps sending new guids, or ever longer ones, must not grow the set for ever:
    // when the new ones would take it past either bound, the guids missing from this fetch are
    // forgotten first (one that comes back notifies again).
    if (m_alarmSet.size() + unknown <= maxRememberedAlarms &&
        m_rememberedCharacters + unknownCharacters <= maxRememberedCharacters)
        return;
    m_alarmSet.removeIf([this](const auto& entry) {
        if (entry.value())
            return false;
        m_rememberedCharacters -= entry.key().size();
        return true;
    });
}

void NotificationClient::remember(const QString& guid)
{
    if (const auto it = m_alarmSet.find(guid); it != m_alarmSet.end()) {
        it.value() = true;
        return;
    }
    // A fetch that alone holds more than the bounds allow has its surplus guids not remembered;
    // they count as new again next time, within the flood bound.
    if (m_alarmSet.size() >= maxRememberedAlarms ||
        m_rememberedCharacters + guid.size() > maxRememberedCharacters)
        return;
    // A copy of its own: the feed's string sits among the answer's other texts, and would keep
    // their heap pages from going back once the answer is freed.
    m_alarmSet.insert(QString(guid.constData(), guid.size()), true);
    m_rememberedCharacters += guid.size();
}

void NotificationClient::postNotification(const QString& title, const QString& text,
                                          const std::optional<QString>& level)
{
    MainQueue::async([weak = weak_from_this(), title, text, level] {
        if (const auto self = weak.lock())
            self->deliver(title, text, level);
    });
}

void NotificationClient::deliver(const QString& title, const QString& text,
                                 const std::optional<QString>& level)
{
    DesktopNotification notification;
    notification.summary = title;
    notification.body = text;
    notification.soundName = DesktopNotification::defaultSoundName;
    notification.defaultAction = showAlarmsAction;
    if (level) {
        notification.urgency = AlarmSeverity::urgency(*level);
        notification.image = AlarmSeverity::image(*level);
    }
    m_notifications.setListener(this);
    m_notifications.notify(notification);
}

bool NotificationClient::shouldPresentNotification(DesktopNotifications& /*notifications*/,
                                                   const DesktopNotification& /*notification*/)
{
    // Shown even while our own window (the alert) has the focus.
    return true;
}

void NotificationClient::didActivateNotification(DesktopNotifications& /*notifications*/,
                                                 const DesktopNotification& notification)
{
    // The alarms themselves are in the panel; the notification only names one.
    qCDebug(lcApp) << "notification clicked: the alarms are shown"
                   << (notification.activationToken.isEmpty() ? "" : "(with a token)");
    if (m_activation)
        m_activation(notification.activationToken);
}

void NotificationClient::setActivation(Activation activation)
{
    Q_ASSERT(MainQueue::isMainThread());
    m_activation = std::move(activation);
}

void NotificationClient::setPollListener(PollListener listener)
{
    Q_ASSERT(MainQueue::isMainThread());
    m_pollListener = std::move(listener);
}
