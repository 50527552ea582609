#pragma once
// Turns the alarm feed into alarms as its bytes arrive: each item becomes an alarm as soon as its
// end tag is read and is then dropped, so neither the whole answer nor its whole tree is ever in
// memory. Only a document that proves well-formed to its end, and whose text stayed within the
// budget, yields its alarms; any other yields none.

#include "core/Alarm.h"

#include <QByteArrayView>
#include <memory>

class XmlDocument;

class AlarmFeedParser {
public:
    // No feed yields more text than `textBudget` bytes, whatever its entities expand to.
    explicit AlarmFeedParser(qint64 textBudget);
    ~AlarmFeedParser();
    AlarmFeedParser(const AlarmFeedParser&) = delete;
    AlarmFeedParser& operator=(const AlarmFeedParser&) = delete;

    // The next bytes of the answer, in order.
    void append(QByteArrayView bytes);
    // After the last bytes: the alarms of the feed, in document order.
    AlarmList finish();

    // Whether `alarm` is the service's report of a problem with the account, which the feed
    // hands on as an ordinary alarm: its agent is "T-O-VO Feed Exception".
    static bool isFeedException(const Alarm& alarm);

private:
    std::unique_ptr<XmlDocument> m_document;
    AlarmList m_alarms;
    std::string m_buffer;
};
