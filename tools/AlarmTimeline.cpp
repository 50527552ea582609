#include "AlarmTimeline.h"

#include <array>

namespace {

struct Phase {
    int at; // seconds into the cycle
    const char* level;
    const char* text;
};

struct ScriptedAlarm {
    const char* key;
    const char* agent;
    const char* resource;
    int closesAt;                // gone from the feed from here on
    std::array<Phase, 3> phases; // unused phases repeat the last one
};

// Alarms open at their first phase; a level change keeps the guid (it is the same alarm),
// so clients notify once per alarm and show the new level in their lists.
const std::array<ScriptedAlarm, 7> script{{
    {"cpu",
     "web01",
     "CPU load",
     420,
     {{{0, "Critical", "Load above 95%"},
       {240, "Major", "Load above 80%"},
       {360, "Resolved", "Load back to normal"}}}},
    {"disk",
     "db01",
     "Disk /var",
     540,
     {{{0, "Major", "92% of the disk used"},
       {180, "Critical", "98% of the disk used"},
       {480, "Resolved", "Old logs removed, 61% used"}}}},
    {"queue",
     "mail01",
     "Mail queue",
     360,
     {{{0, "Minor", "312 messages waiting"},
       {200, "Okay", "Queue drained"},
       {300, "Closed", "Queue drained"}}}},
    {"backup",
     "backup01",
     "Nightly backup",
     660,
     {{{90, "Major", "Backup did not finish"},
       {270, "Critical", "Backup failed twice"},
       {600, "Resolved", "Backup completed"}}}},
    {"https",
     "web02",
     "HTTPS check",
     390,
     {{{150, "Critical", "GET /health answered 503 <Service Unavailable> & took 12 s"},
       {330, "Resolved", "GET /health answered 200"},
       {330, "Resolved", "GET /health answered 200"}}}},
    {"dns",
     "dns01",
     "Name service",
     510,
     {{{210, "Minor", "Slow answers (350 ms)"},
       {450, "Okay", "Answers within 20 ms"},
       {450, "Okay", "Answers within 20 ms"}}}},
    {"vpn",
     "vpn01",
     "Tunnel to branch office",
     630,
     {{{390, "Major", "Tunnel down"},
       {570, "Resolved", "Tunnel up again"},
       {570, "Resolved", "Tunnel up again"}}}},
}};

const std::array<const char*, 3> numberedLevels{"Critical", "Major", "Minor"};

} // namespace

AlarmTimeline::AlarmTimeline(Mode mode_, int count_)
    : mode(mode_)
    , count(count_)
{}

std::optional<AlarmTimeline::Mode> AlarmTimeline::modeNamed(const QString& name)
{
    if (name == QLatin1String("scripted"))
        return Mode::Scripted;
    if (name == QLatin1String("growing"))
        return Mode::Growing;
    if (name == QLatin1String("fixed"))
        return Mode::Fixed;
    return std::nullopt;
}

QList<DemoAlarm> AlarmTimeline::alarms(int answer, qint64 elapsedSeconds) const
{
    switch (mode) {
    case Mode::Scripted:
        return scripted(elapsedSeconds);
    case Mode::Growing:
        return numbered(count + qMax(answer, 1) - 1);
    case Mode::Fixed:
        return numbered(count);
    }
    return {};
}

QList<DemoAlarm> AlarmTimeline::scripted(qint64 elapsedSeconds)
{
    const qint64 elapsed = qMax<qint64>(elapsedSeconds, 0);
    const qint64 cycle = elapsed / cycleSeconds;
    const int second = static_cast<int>(elapsed % cycleSeconds);
    QList<DemoAlarm> open;
    for (const ScriptedAlarm& alarm : script) {
        if (second < alarm.phases[0].at || second >= alarm.closesAt)
            continue;
        const Phase* current = &alarm.phases[0];
        for (const Phase& phase : alarm.phases) {
            if (phase.at <= second)
                current = &phase;
        }
        const int minutesOpen = (second - alarm.phases[0].at) / 60;
        open.append({QString::fromUtf8(alarm.agent), QString::fromUtf8(alarm.resource),
                     QString::fromUtf8(current->text),
                     QStringLiteral("Open for %1 min").arg(minutesOpen),
                     QString::fromUtf8(current->level),
                     QStringLiteral("demo-%1-%2").arg(cycle).arg(QString::fromUtf8(alarm.key))});
    }
    return open;
}

QList<DemoAlarm> AlarmTimeline::numbered(int total)
{
    QList<DemoAlarm> list;
    list.reserve(qMax(total, 0));
    for (int i = 1; i <= total; ++i) {
        list.append({QStringLiteral("host%1").arg(i, 4, 10, QLatin1Char('0')),
                     QStringLiteral("Service check %1").arg(i),
                     QStringLiteral("Check %1 failed 3 times in a row").arg(i),
                     QStringLiteral("Last answer after 30 s"),
                     QString::fromUtf8(numberedLevels[static_cast<std::size_t>(i) % 3]),
                     QStringLiteral("alarm-%1").arg(i)});
    }
    return list;
}
