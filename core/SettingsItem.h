#pragma once
// One key of the program's SettingsFile with its value cached in memory. The stored value is read
// once, at construction; an assignment writes (and synchronises) only when the text form of the
// value changes, and changes the cached value only when that write worked. Takes no lock: callers
// serialise assignments to one item.

#include "core/SettingsValue.h"

#include <QString>

class SettingsFile;

class SettingsItem {
public:
    // `defaultValue` applies while nothing is stored; its kind (text or number) decides how a
    // stored text is read back.
    SettingsItem(QString key, SettingsValue defaultValue, SettingsFile& file);

    const SettingsValue& value() const { return m_value; }
    // False when the value could not be written; the item and the file then keep the old one.
    bool setValue(const SettingsValue& value);
    QString description() const { return textForm(m_value); }

private:
    SettingsValue read(const SettingsValue& defaultValue) const;

    SettingsFile& m_file;
    QString m_key;
    SettingsValue m_value;
};
