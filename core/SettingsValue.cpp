#include "core/SettingsValue.h"

QString textForm(const SettingsValue& value)
{
    if (const QString* text = std::get_if<QString>(&value))
        return *text;
    if (const qint64* number = std::get_if<qint64>(&value))
        return QString::number(*number);
    return std::get<bool>(value) ? QStringLiteral("1") : QStringLiteral("0");
}
