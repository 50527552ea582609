#pragma once
// A settings value: a text, or a number that is an integer or a boolean.

#include <QString>
#include <QtGlobal>
#include <variant>

using SettingsValue = std::variant<QString, qint64, bool>;

// The text a value is stored as: a text itself, a number in decimal (a boolean as 1 or 0).
QString textForm(const SettingsValue& value);
