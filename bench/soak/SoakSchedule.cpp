#include "SoakSchedule.h"

#include "app/NotificationClient.h"
#include "desktop/NotificationText.h"

#include <QHash>
#include <QSet>
#include <map>

using namespace Qt::StringLiterals;

namespace {

using SoakAlarm = SoakSchedule::Alarm; // not the product's Alarm
using Fault = SoakSchedule::Fault;

constexpr qsizetype baseAlarms = 6;
constexpr qsizetype window = 8;        // alarms that come and go with the window
constexpr qsizetype windowStep = 5;    // answers before the window moves by one
constexpr qsizetype returnAfter = 100; // window steps before an alarm comes back
constexpr qsizetype returning = 4;
constexpr qsizetype floodSize = 45;
constexpr qsizetype hugeBody = 100'000'000;

SoakAlarm plain(const QString& key)
{
    return {u"agent "_s + key, u"Alarm "_s + key + u" is open"_s, key, key};
}

// Alarms of an answer the client must not take: none of their guids appears anywhere else.
QList<SoakAlarm> lost(qsizetype connection)
{
    QList<SoakAlarm> alarms;
    for (int i = 0; i < 3; ++i)
        alarms.append(plain(u"lost-%1-%2"_s.arg(connection).arg(i)));
    return alarms;
}

QList<SoakAlarm> churn(qsizetype connection)
{
    QList<SoakAlarm> alarms;
    // The alarms of the first fetch come and go; being known, they never notify.
    for (qsizetype i = 0; i < baseAlarms; ++i) {
        if (connection % 2 == 0 || i % 2 == 0)
            alarms.append(plain(u"base-%1"_s.arg(i)));
    }
    const qsizetype step = connection / windowStep;
    for (qsizetype i = step; i < step + window; ++i)
        alarms.append(plain(u"churn-%1"_s.arg(i)));
    alarms.append(alarms.constLast()); // twice in one feed: still one alarm
    // Alarms gone for a long time come back, and stay quiet.
    for (qsizetype i = step - returnAfter; i >= 0 && i < step - returnAfter + returning; ++i)
        alarms.append(plain(u"churn-%1"_s.arg(i)));
    // Two guids that are equal as text (precomposed and decomposed) are one alarm.
    const QString key = u"cafe-%1"_s.arg(step);
    for (const QString& guid : {u"caf\u00e9-%1"_s.arg(step), u"cafe\u0301-%1"_s.arg(step)})
        alarms.append({u"agent "_s + key, u"Equal guids "_s + key, guid, key});
    return alarms;
}

QList<SoakAlarm> combiningMarks(qsizetype connection)
{
    QList<SoakAlarm> alarms;
    for (qsizetype i = 0; i < 3; ++i) {
        // "a" and k marks of two classes in the wrong canonical order: 10,000 to 80,000
        // characters.
        const qsizetype k = 5000 + (connection * 7919 + i * 12347) % 35000;
        const QString run = u"a"_s + QString(k, QChar(0x0301)) + QString(k, QChar(0x0316));
        const QString guid = u"cm-%1-%2-"_s.arg(connection).arg(i) + run;
        alarms.append(
            {u"x"_s + run, u"Combining marks %1 %2"_s.arg(connection).arg(i), guid, guid});
    }
    return alarms;
}

QList<SoakAlarm> flood(qsizetype connection)
{
    QList<SoakAlarm> alarms;
    for (qsizetype i = 0; i < floodSize; ++i)
        alarms.append(plain(u"flood-%1-%2"_s.arg(connection).arg(i)));
    alarms.append(alarms.constFirst());
    return alarms;
}

QList<SoakAlarm> controlText(qsizetype connection)
{
    // C0 and C1 controls that XML can carry, embeddings, overrides and isolates.
    static const QStringList texts = {
        u"right\u202eto left\u202c override"_s,
        u"tab\there, return\rthere, del\u007f, next line\u0085"_s,
        u"\u2066isolated\u2069 \u202aembedded\u202c \u2067rtl\u2069"_s,
    };
    QList<SoakAlarm> alarms;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString guid = u"ctl\u202e-%1-%2"_s.arg(connection).arg(i);
        alarms.append(
            {texts[i], texts[(i + 1) % texts.size()] + u" %1"_s.arg(connection), guid, guid});
    }
    return alarms;
}

// XML text: markup escaped, and a carriage return as a reference, or the parser would make it a
// line feed.
QString escaped(const QString& text)
{
    return text.toHtmlEscaped().replace(u'\r', u"&#13;"_s);
}

QByteArray feed(const QList<SoakAlarm>& alarms, const QByteArray& declarations = {},
                const QByteArray& extraDescription = {})
{
    QString items;
    for (const SoakAlarm& alarm : alarms) {
        items += u"<item><title>%1: Major</title><description>Resource: web01&lt;br&gt;%2\n"
                 u"since 10:02</description><guid>%3</guid></item>\n"_s.arg(
                     escaped(alarm.agent), escaped(alarm.description), escaped(alarm.guid));
    }
    QByteArray document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + declarations +
                          "<rss version=\"2.0\"><channel><title>soak</title>\n" + items.toUtf8() +
                          "</channel></rss>\n";
    if (!extraDescription.isEmpty())
        document.replace("<description>", "<description>" + extraDescription);
    return document;
}

QByteArray entityExpansion(qsizetype connection)
{
    const QByteArray declarations =
        "<!DOCTYPE rss [<!ENTITY e \"" + QByteArray(100 * 1024, 'e') + "\">]>\n";
    return feed({plain(u"entity-%1"_s.arg(connection))}, declarations,
                QByteArray("&e;").repeated(20000));
}

bool inRange(qsizetype value, qsizetype from, qsizetype to)
{
    return value >= from && value < to;
}

} // namespace

SoakSchedule::SoakSchedule(qsizetype polls)
    : m_polls(polls)
{}

SoakSchedule::Fault SoakSchedule::fault(qsizetype connection) const
{
    // Clean feeds first, around the memory checkpoint and at the end, so both samples of the
    // program's memory are taken with no fault in flight.
    if (connection < baselineAnswers ||
        inRange(connection, checkpoint - quietBeforeCheckpoint, checkpoint + 5) ||
        connection >= m_polls - quietAtEnd || connection % 4 != 2)
        return Fault::None;
    // Every kind in turn, each within the first 100 answers.
    return static_cast<Fault>(1 + (connection / 4) % faultKinds);
}

QString SoakSchedule::name(Fault fault)
{
    static const QStringList names = {
        u"none"_s,      u"refused"_s,         u"reset mid-body"_s,  u"stall"_s,
        u"drip"_s,      u"500 page"_s,        u"garbage"_s,         u"100 MB body"_s,
        u"untrusted"_s, u"cookie flood"_s,    u"header flood"_s,    u"truncated"_s,
        u"entities"_s,  u"combining marks"_s, u"flood of alarms"_s, u"control text"_s,
    };
    return names.value(static_cast<int>(fault));
}

FakeService::Answer SoakSchedule::answer(qsizetype connection) const
{
    using Behaviour = FakeService::Behaviour;
    const Fault kind = fault(connection);
    // An answer the client must fail still carries alarms: they must never show.
    FakeService::Answer answer(200, kind == Fault::EntityExpansion
                                        ? entityExpansion(connection)
                                        : feed(yields(connection).value_or(lost(connection))));
    static const std::map<Fault, Behaviour> behaviours = {
        {Fault::ResetMidBody, Behaviour::ResetMidBody},
        {Fault::Stall, Behaviour::Stall},
        {Fault::Drip, Behaviour::Drip},
        {Fault::Garbage, Behaviour::Garbage},
        {Fault::HugeBody, Behaviour::Oversized},
        {Fault::HeaderFlood, Behaviour::HeaderFlood},
        {Fault::Truncate, Behaviour::Truncate},
    };
    if (const auto found = behaviours.find(kind); found != behaviours.end())
        answer.behaviour = found->second;
    answer.oversizedSize = hugeBody;
    if (kind == Fault::ServerError)
        answer.status = 500;
    for (int i = 0; kind == Fault::CookieFlood && i < 200; ++i) {
        answer.headers.append(
            {"Set-Cookie", "c" + QByteArray::number(i) + "=" + QByteArray(200, 'c') + "; Path=/"});
    }
    return answer;
}

std::optional<QList<SoakAlarm>> SoakSchedule::yields(qsizetype connection) const
{
    if (connection < baselineAnswers)
        return churn(0);
    switch (fault(connection)) {
    case Fault::None:
    case Fault::Refuse:
    case Fault::CookieFlood:
        return churn(connection);
    case Fault::CombiningMarks:
        return combiningMarks(connection);
    case Fault::Flood:
        return flood(connection);
    case Fault::ControlText:
        return controlText(connection);
    case Fault::EntityExpansion:
        return QList<SoakAlarm>(); // text beyond any budget: a malformed document
    default:
        return std::nullopt;
    }
}

QList<SoakSchedule::Notification> SoakSchedule::expectedNotifications(qsizetype connections) const
{
    QList<Notification> expected;
    QSet<QString> seen;
    bool first = true;
    for (qsizetype connection = 0; connection < connections; ++connection) {
        const std::optional<QList<SoakAlarm>> alarms = yields(connection);
        if (!alarms)
            continue;
        qsizetype fresh = 0;
        for (const SoakAlarm& alarm : *alarms) {
            if (seen.contains(alarm.key))
                continue;
            seen.insert(alarm.key);
            if (!first && ++fresh <= NotificationClient::maxNotificationsPerPoll) {
                expected.append(
                    {NotificationText::displayed(alarm.agent, NotificationText::maxSummaryLength),
                     NotificationText::displayed(alarm.description,
                                                 NotificationText::maxBodyLength)});
            }
        }
        if (const qsizetype more = fresh - NotificationClient::maxNotificationsPerPoll; more > 0) {
            expected.append({more == 1 ? u"1 more new alarm"_s : u"%1 more new alarms"_s.arg(more),
                             u"Too many at once to show each."_s});
        }
        first = false;
    }
    return expected;
}

std::pair<qsizetype, qint64> SoakSchedule::guidsFirstSeen(qsizetype from, qsizetype to) const
{
    QSet<QString> seen;
    qsizetype count = 0;
    qint64 characters = 0;
    for (qsizetype connection = 0; connection < to; ++connection) {
        for (const SoakAlarm& alarm : yields(connection).value_or(QList<SoakAlarm>())) {
            if (seen.contains(alarm.key))
                continue;
            seen.insert(alarm.key);
            if (connection >= from) {
                ++count;
                characters += alarm.guid.size();
            }
        }
    }
    return {count, characters};
}

QString SoakSchedule::orderDependence(qsizetype connections) const
{
    QHash<QString, qsizetype> answersWith;
    QSet<QString> baseline;
    for (const SoakAlarm& alarm : churn(0))
        baseline.insert(alarm.key);
    for (qsizetype connection = 0; connection < connections; ++connection) {
        QSet<QString> keys;
        for (const SoakAlarm& alarm : yields(connection).value_or(QList<SoakAlarm>()))
            keys.insert(alarm.key);
        for (const QString& key : keys)
            ++answersWith[key];
    }
    for (qsizetype connection = baselineAnswers; connection < connections; ++connection) {
        QSet<QString> keys;
        for (const SoakAlarm& alarm : yields(connection).value_or(QList<SoakAlarm>()))
            keys.insert(alarm.key);
        keys.subtract(baseline);
        if (keys.size() <= NotificationClient::maxNotificationsPerPoll)
            continue;
        for (const QString& key : keys) {
            if (answersWith.value(key) > 1)
                return u"answer %1 shares guid %2"_s.arg(connection).arg(key.left(40));
        }
    }
    return {};
}
