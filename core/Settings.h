#pragma once
// The process-wide settings of the client: just the account GUID, under the key "guid" with the
// empty text ("none known") as default, in the program's standard settings file.

#include "base/SettingsFile.h"
#include "core/SettingsItem.h"

class Settings {
public:
    static Settings& common();

    SettingsItem& GUID() { return m_guid; }

private:
    Settings();

    SettingsFile m_file;
    SettingsItem m_guid;
};
