#include "widget/Helper.h"

#include "base/UnicodeText.h"

#include <array>

namespace {

struct LevelColor {
    const char16_t* word;
    float red;
    float green;
    float blue;
};

const std::array<LevelColor, 6> levelColors{{
    {u"Critical", 0.8f, 0.2f, 0.0f},
    {u"Major", 0.93f, 0.61f, 0.2f},
    {u"Minor", 0.95f, 0.76f, 0.0f},
    {u"Resolved", 0.34f, 0.54f, 0.69f},
    {u"Okay", 0.54f, 0.69f, 0.34f},
    {u"Closed", 0.54f, 0.69f, 0.34f},
}};

} // namespace

QColor Helper::colorForKey(const std::optional<QString>& key)
{
    if (!key) {
        return QColor(Qt::transparent);
    }
    for (const LevelColor& level : levelColors) {
        if (UnicodeText::equal(*key, QString::fromUtf16(level.word))) {
            return QColor::fromRgbF(level.red, level.green, level.blue, 1.0f);
        }
    }
    return QColor(Qt::transparent);
}

QColor Helper::colorForKey(AlarmType type)
{
    return colorForKey(type == AlarmType::NoAlarms ? QStringLiteral("Okay")
                                                   : QStringLiteral("Critical"));
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
