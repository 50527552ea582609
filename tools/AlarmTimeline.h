#pragma once
// What the demo account's feed holds at a given moment.
//
// Scripted: alarms appear, change level and resolve over a twelve-minute cycle that repeats with
// fresh guids, so a client keeps seeing new alarms. Growing: the first answer holds `count`
// alarms and every later answer exactly one more (a deterministic script for end-to-end tests).
// Fixed: every answer holds the same `count` alarms (footprint measurements).

#include "DemoAlarm.h"

#include <QList>
#include <optional>

class AlarmTimeline {
public:
    enum class Mode { Scripted, Growing, Fixed };

    static constexpr int cycleSeconds = 720;

    AlarmTimeline(Mode mode, int count);

    static std::optional<Mode> modeNamed(const QString& name);

    // The feed of the `answer`-th request (1 for the first), `elapsedSeconds` after the start.
    QList<DemoAlarm> alarms(int answer, qint64 elapsedSeconds) const;

private:
    static QList<DemoAlarm> scripted(qint64 elapsedSeconds);
    static QList<DemoAlarm> numbered(int count);

    Mode mode;
    int count;
};
