#include "widget/Helper.h"

#include "core/AlarmLevel.h"

QColor Helper::colorForKey(const std::optional<QString>& key)
{
    const std::optional<AlarmLevel> level = key ? levelOf(*key) : std::nullopt;
    if (!level) {
        return QColor(Qt::transparent);
    }
    const LevelColor color = levelColor(*level);
    return QColor::fromRgbF(color.red, color.green, color.blue);
}

QColor Helper::colorForKey(AlarmType type)
{
    return colorForKey(
        levelWord(type == AlarmType::NoAlarms ? AlarmLevel::Okay : AlarmLevel::Critical));
}

QString Helper::titleForKey(AlarmType type)
{
    switch (type) {
    case AlarmType::NoAlarms:
        return QStringLiteral("There are no alarms :-)");
    case AlarmType::Error:
        return QStringLiteral("An error occured. :-(");
    case AlarmType::Alarm:
        break;
    }
    return QString();
}
