#include "desktop/NotificationQueue.h"

#include <algorithm>

NotificationQueue::NotificationQueue(qsizetype capacity)
    : m_capacity(std::max<qsizetype>(capacity, 1))
{}

void NotificationQueue::append(const Entry& entry)
{
    const auto later = std::upper_bound(
        m_waiting.cbegin(), m_waiting.cend(), entry.raised,
        [](quint64 raised, const Entry& waiting) { return raised < waiting.raised; });
    m_waiting.insert(later, entry);
    if (m_waiting.size() > m_capacity)
        giveWay(m_waiting.takeFirst().notification, 1);
}

void NotificationQueue::putBack(const Entry& entry)
{
    if (entry.givenWay > 0)
        giveWay(entry.notification, entry.givenWay);
    else
        append(entry);
}

void NotificationQueue::giveWay(const DesktopNotification& notification, qsizetype count)
{
    const auto urgency =
        m_givenWay == 0 ? notification.urgency : std::max(m_summary.urgency, notification.urgency);
    m_summary = notification;
    m_summary.urgency = urgency;
    m_givenWay += count;
}

QList<NotificationQueue::Entry> NotificationQueue::takeAll()
{
    QList<Entry> all;
    if (m_givenWay > 0) {
        DesktopNotification summary = m_summary;
        // English has no catalog to make the singular from the plural.
        summary.summary = m_givenWay == 1 ? tr("1 more notification")
                                          : tr("%n more notifications", nullptr, int(m_givenWay));
        summary.body = tr("They could not be shown when they arrived.");
        summary.image = QImage();
        summary.id = 0;
        summary.activationToken.clear();
        all.append({summary, std::exchange(m_givenWay, 0)});
    }
    all.append(std::exchange(m_waiting, {}));
    return all;
}
