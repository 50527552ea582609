#pragma once
// The process-wide settings of the client: just the account GUID, under the key "guid" with the
// empty text ("none known") as default.

#include "core/SettingsItem.h"

class Settings {
public:
    static Settings& common();

    SettingsItem& GUID() { return m_guid; }

private:
    Settings();

    SettingsItem m_guid;
};
