#pragma once
// What the soak's service answers on each connection, by number, and what the tray program must
// make of it: the alarms of every answer it has to take as successful, and from those the exact
// notifications of the whole run.
//
// The first answers are the same clean feed, so the silent first fetch is well defined whichever
// of them is processed first. Later successful answers may be processed in any order (requests
// overlap), so the notifications are compared as a multiset, and the schedule keeps them
// independent of that order: an alarm's texts depend on its guid alone, no feed holds more than
// 20 guids that some other feed may have shown first, and a flood feed's guids are its own.

#include "FakeService.h"

#include <QList>
#include <QString>
#include <optional>
#include <utility>

class SoakSchedule {
public:
    enum class Fault {
        None,
        Refuse,          // a valid feed, then nothing listens for a while
        ResetMidBody,    // half a feed, then a reset
        Stall,           // the request is read, nothing is answered
        Drip,            // a feed at one byte per 100 ms, past the deadline
        ServerError,     // status 500 with a feed as its page
        Garbage,         // bytes that are no HTTP answer
        HugeBody,        // 100 MB without Content-Length
        Untrusted,       // the connection gets a certificate of an unknown CA
        CookieFlood,     // a valid feed under 200 Set-Cookie lines
        HeaderFlood,     // 2 MB of header lines
        Truncate,        // a shorter body than its Content-Length
        EntityExpansion, // one 100 KB entity used 20,000 times
        CombiningMarks,  // titles and guids of 10,000-80,000 combining marks
        Flood,           // more than 20 new alarms at once
        ControlText,     // control and direction-override characters in the texts
    };
    static constexpr int faultKinds = static_cast<int>(Fault::ControlText);

    struct Alarm {
        QString agent;
        QString description;
        QString guid;
        QString key; // the same for guids that are equal as text
    };
    using Notification = std::pair<QString, QString>; // summary, body

    // The answers beyond `checkpoint` and `polls` are clean feeds as well.
    static constexpr qsizetype baselineAnswers = 10;
    static constexpr qsizetype checkpoint = 110; // memory is first sampled here
    static constexpr qsizetype quietBeforeCheckpoint = 30;
    static constexpr qsizetype quietAtEnd = 30;

    explicit SoakSchedule(qsizetype polls);

    qsizetype polls() const { return m_polls; }
    Fault fault(qsizetype connection) const;
    static QString name(Fault fault);

    FakeService::Answer answer(qsizetype connection) const;
    // The alarms the client must take from this answer; nothing when it must fail.
    std::optional<QList<Alarm>> yields(qsizetype connection) const;

    // What the first `connections` answers must raise, texts as a notification shows them.
    QList<Notification> expectedNotifications(qsizetype connections) const;
    // The guids first seen in answers [from, to), and their characters: what the client keeps.
    std::pair<qsizetype, qint64> guidsFirstSeen(qsizetype from, qsizetype to) const;
    // Empty, or why the order of successful answers could change the notifications.
    QString orderDependence(qsizetype connections) const;

private:
    qsizetype m_polls;
};
