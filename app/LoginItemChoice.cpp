#include "app/LoginItemChoice.h"

#include "core/Settings.h"

namespace LoginItemChoice {

namespace {
const QString on = QStringLiteral("on");
const QString off = QStringLiteral("off");
} // namespace

std::optional<bool> stored()
{
    const QString* text = std::get_if<QString>(&Settings::common().startAtLogin().value());
    if (text && *text == on)
        return true;
    if (text && *text == off)
        return false;
    return std::nullopt;
}

bool store(bool startAtLogin)
{
    return Settings::common().startAtLogin().setValue(startAtLogin ? on : off);
}

} // namespace LoginItemChoice
