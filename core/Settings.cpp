#include "core/Settings.h"

Settings& Settings::common()
{
    // Created on first use, safely from any thread, and never destroyed.
    static Settings* const instance = new Settings();
    return *instance;
}

Settings::Settings()
    : m_file(SettingsFile::standardPath())
    , m_guid(QStringLiteral("guid"), QString(), m_file)
    , m_startAtLogin(QStringLiteral("startAtLogin"), QString(), m_file)
{}
