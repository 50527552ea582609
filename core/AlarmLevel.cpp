#include "core/AlarmLevel.h"

#include "base/UnicodeText.h"

namespace {

struct Word {
    std::string_view utf8;
    QString text;
};

// In the order of AlarmLevel.
const std::array<Word, alarmLevels.size()>& words()
{
    static const std::array<Word, alarmLevels.size()> table{{
        {"Critical", QStringLiteral("Critical")},
        {"Major", QStringLiteral("Major")},
        {"Minor", QStringLiteral("Minor")},
        {"Resolved", QStringLiteral("Resolved")},
        {"Okay", QStringLiteral("Okay")},
        {"Closed", QStringLiteral("Closed")},
    }};
    return table;
}

} // namespace

const QString& levelWord(AlarmLevel level)
{
    return words()[static_cast<std::size_t>(level)].text;
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
