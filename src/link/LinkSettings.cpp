#include "link/LinkSettings.h"

LinkSettings::LinkSettings(SettingsStore &store) : m_store(store)
{
    SettingsFields::Load(m_store, fields());
}

void LinkSettings::Save()
{
    SettingsFields::Save(m_store, fields());
}

std::vector<SettingsFields::Field> LinkSettings::fields()
{
    const char *const settings = SettingsFields::SettingsSection;
    return {
        {settings, "COMPort", &m_comPort, 1, 8},
        {settings, "PortName", &m_portName},
        {settings, "ShowRTWarning", &m_showRTWarning},
    };
}
