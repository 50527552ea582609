#pragma once
// The notifications that wait to be shown, as many as a notification server is fit to take at
// once: past the capacity the oldest give way, and one summary in their place says how many went.

#include "desktop/DesktopNotification.h"

#include <QCoreApplication>
#include <QList>

class NotificationQueue {
    Q_DECLARE_TR_FUNCTIONS(NotificationQueue)
public:
    struct Entry {
        DesktopNotification notification;
        // Of a summary: how many notifications it stands for; 0 for any other.
        qsizetype givenWay = 0;
        // When the notification was raised, counted up: failed sends come back in any order,
        // and the queue keeps the order they were raised in.
        quint64 raised = 0;
    };

    explicit NotificationQueue(qsizetype capacity);

    bool isEmpty() const { return m_waiting.isEmpty() && m_givenWay == 0; }
    void append(const Entry& entry);
    // An entry taken that could not be shown after all; a summary's count adds to those that gave
    // way.
    void putBack(const Entry& entry);
    // Everything, oldest first: the summary of those that gave way (with the sound and click of
    // the last of them and the most urgent one's urgency), then the rest. Empties the queue.
    QList<Entry> takeAll();

private:
    void giveWay(const DesktopNotification& notification, qsizetype count);

    const qsizetype m_capacity;
    QList<Entry> m_waiting; // by `raised`
    qsizetype m_givenWay = 0;
    DesktopNotification m_summary;
};
