#include "shell/WindowSettings.h"

WindowSettings::WindowSettings(SettingsStore &store) : m_store(store)
{
    SettingsFields::Load(m_store, fields());
}

void WindowSettings::Save()
{
    SettingsFields::Save(m_store, fields());
}

std::vector<SettingsFields::Field> WindowSettings::fields()
{
    const char *const settings = SettingsFields::SettingsSection;
    return {
        {settings, "MainLeft", &m_left},
        {settings, "MainTop", &m_top},
        {settings, "MainWidth", &m_width},
        {settings, "MainHeight", &m_height},
        {settings, "SplitterX", &m_splitterX},
        {settings, "ShowEULADialog", &m_showEULADialog},
    };
}
