#pragma once
// The level words the service ends an alarm's title with and the client knows: the feed shares one
// string per word, and the panel's rows and the notifications show each in its colour. Any other
// text is a level all the same, just not one of these.

#include <QString>
#include <array>
#include <optional>
#include <string_view>

enum class AlarmLevel { Critical, Major, Minor, Resolved, Okay, Closed };

inline constexpr std::array<AlarmLevel, 6> alarmLevels{AlarmLevel::Critical, AlarmLevel::Major,
                                                       AlarmLevel::Minor,    AlarmLevel::Resolved,
                                                       AlarmLevel::Okay,     AlarmLevel::Closed};

// The word of `level`; every call hands out the same shared string.
const QString& levelWord(AlarmLevel level);
// The colour of `level`, components in 0..1.
struct LevelColor {
    float red;
    float green;
    float blue;
};
LevelColor levelColor(AlarmLevel level);
// The level whose word `text` is (canonically equal, case-sensitive, untrimmed), if any.
std::optional<AlarmLevel> levelOf(const QString& text);
// The same for UTF-8 bytes, compared byte for byte: for the feed's parser, before converting.
std::optional<AlarmLevel> levelOfUtf8(std::string_view text);
