#include "shell/WindowSettings.h"

#include "platform/SettingsStore.h"

WindowSettings::WindowSettings(SettingsStore &store) : m_store(store)
{
    SettingsFields::Load(m_store, fields());
    QString width;
    m_hasStoredPlace = m_store.ReadText(SettingsFields::SettingsSection, "MainWidth", width) == SettingsStore::Ok;
}

void WindowSettings::Save()
{
    std::vector<SettingsFields::Field> stored = fields();
    if (!m_hasStoredPlace)
        stored.erase(stored.begin(), stored.begin() + 4);
    SettingsFields::Save(m_store, stored);
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
