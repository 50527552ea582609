#include "widget/Helper.h"

#include "core/AlarmLevel.h"

QColor Helper::colorForKey(const std::optional<QString>& key)
{
    const std::optional<AlarmLevel> level = key ? levelOf(*key) : std::nullopt;
    if (!level) {
        return QColor(Qt::transparent);
    }
    switch (*level) {
    case AlarmLevel::Critical:
        return QColor::fromRgbF(0.8f, 0.2f, 0.0f);
    case AlarmLevel::Major:
        return QColor::fromRgbF(0.93f, 0.61f, 0.2f);
    case AlarmLevel::Minor:
        return QColor::fromRgbF(0.95f, 0.76f, 0.0f);
    case AlarmLevel::Resolved:
        return QColor::fromRgbF(0.34f, 0.54f, 0.69f);
    case AlarmLevel::Okay:
    case AlarmLevel::Closed:
        return QColor::fromRgbF(0.54f, 0.69f, 0.34f);
    }
    return QColor(Qt::transparent);
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
