#include "editors/EditorSettings.h"

EditorSettings::EditorSettings(SettingsStore &store) : m_store(store)
{
    SettingsFields::Load(m_store, fields());
}

void EditorSettings::Save()
{
    SettingsFields::Save(m_store, fields());
}

std::vector<SettingsFields::Field> EditorSettings::fields()
{
    const char *const settings = SettingsFields::SettingsSection;
    return {
        {settings, "GridFontName", &m_gridFontName},
        {settings, "GridFontSize", &m_gridFontSize, 1, 999},
        {settings, "GridFontBold", &m_gridFontBold},
        {settings, "GridFontItalic", &m_gridFontItalic},
        {settings, "GridColourScheme", &m_gridColourScheme, 0, 1},
        {settings, "GridColourOwnRange", &m_gridColourOwnRange},
    };
}
