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
        return tr("There are no alarms :-)");
    case AlarmType::Error:
        return tr("An error occured. :-(");
    case AlarmType::Alarm:
        break;
    }
    return QString();
}

QString Helper::levelTitle(const QString& level)
{
    const std::optional<AlarmLevel> known = levelOf(level);
    if (!known) {
        return level;
    }
    switch (*known) {
    case AlarmLevel::Critical:
        return tr("Critical", "alarm level");
    case AlarmLevel::Major:
        return tr("Major", "alarm level");
    case AlarmLevel::Minor:
        return tr("Minor", "alarm level");
    case AlarmLevel::Resolved:
        return tr("Resolved", "alarm level");
    case AlarmLevel::Okay:
        return tr("Okay", "alarm level");
    case AlarmLevel::Closed:
        return tr("Closed", "alarm level");
    }
    return level;
}
