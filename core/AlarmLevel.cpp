#include "core/AlarmLevel.h"

#include "base/UnicodeText.h"

namespace {

struct Word {
    std::string_view utf8;
    QString text;
    LevelColor color;
};

// In the order of AlarmLevel.
const std::array<Word, alarmLevels.size()>& words()
{
    static const std::array<Word, alarmLevels.size()> table{{
        {"Critical", QStringLiteral("Critical"), {0.8f, 0.2f, 0.0f}},    // red
        {"Major", QStringLiteral("Major"), {0.93f, 0.61f, 0.2f}},        // orange
        {"Minor", QStringLiteral("Minor"), {0.95f, 0.76f, 0.0f}},        // yellow
        {"Resolved", QStringLiteral("Resolved"), {0.34f, 0.54f, 0.69f}}, // blue
        {"Okay", QStringLiteral("Okay"), {0.54f, 0.69f, 0.34f}},         // green
        {"Closed", QStringLiteral("Closed"), {0.54f, 0.69f, 0.34f}},     // as Okay
    }};
    return table;
}

} // namespace

const QString& levelWord(AlarmLevel level)
{
    return words()[static_cast<std::size_t>(level)].text;
}

LevelColor levelColor(AlarmLevel level)
{
    return words()[static_cast<std::size_t>(level)].color;
}

std::optional<AlarmLevel> levelOf(const QString& text)
{
    for (const AlarmLevel level : alarmLevels) {
        if (UnicodeText::equal(text, levelWord(level)))
            return level;
    }
    return std::nullopt;
}

std::optional<AlarmLevel> levelOfUtf8(std::string_view text)
{
    for (const AlarmLevel level : alarmLevels) {
        if (text == words()[static_cast<std::size_t>(level)].utf8)
            return level;
    }
    return std::nullopt;
}
