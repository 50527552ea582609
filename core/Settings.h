#pragma once
// The process-wide settings of the client, in the program's standard settings file: the account
// GUID, under the key "guid" with the empty text ("none known") as default, and the tray program's
// choice of starting at login, "on" or "off" under "startAtLogin" (empty: never made).

#include "base/SettingsFile.h"
#include "core/SettingsItem.h"

class Settings {
public:
    static Settings& common();

    SettingsItem& GUID() { return m_guid; }
    SettingsItem& startAtLogin() { return m_startAtLogin; }

private:
    Settings();

    SettingsFile m_file;
    SettingsItem m_guid;
    SettingsItem m_startAtLogin;
};
