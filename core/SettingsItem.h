#pragma once
// One key of the program's UserDefaults with its value cached in memory. The stored value is read
// once, at construction; an assignment writes (and synchronises) only when the text form of the
// value changes. Takes no lock: callers serialise assignments to one item.

#include "SettingsValue.h"

#include <QString>

class UserDefaults;

class SettingsItem {
public:
    // `defaultValue` applies while nothing is stored; its kind (text or number) decides how a
    // stored text is read back.
    SettingsItem(QString key, SettingsValue defaultValue);
    SettingsItem(QString key, SettingsValue defaultValue, UserDefaults& defaults);

    const SettingsValue& value() const { return m_value; }
    void setValue(const SettingsValue& value);
    QString description() const { return textForm(m_value); }

private:
    SettingsValue read(const SettingsValue& defaultValue) const;

    UserDefaults& m_defaults;
    QString m_key;
    SettingsValue m_value;
};
