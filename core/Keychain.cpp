#include "core/Keychain.h"

#include "core/Settings.h"

std::optional<QString> Keychain::storedToken() const
{
    const SettingsValue& value = Settings::common().GUID().value();
    const QString* text = std::get_if<QString>(&value);
    if (!text || text->isEmpty())
        return std::nullopt;
    return *text;
}

bool Keychain::storeToken(const std::optional<QString>& token)
{
    if (!token)
        return true;
    return Settings::common().GUID().setValue(*token);
}
