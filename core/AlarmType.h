#pragma once
// The kind of an entry in an alarm list: an alarm from the feed, or one of two message rows.

#include <cstddef>

enum class AlarmType { Alarm = 0, Error = 1, NoAlarms = 2 };

// The number of the case, which is also what hashing uses.
constexpr std::size_t hashValue(AlarmType type)
{
    return static_cast<std::size_t>(type);
}
