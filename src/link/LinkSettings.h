#pragma once

#include "platform/SettingsFields.h"

#include <QString>
#include <vector>

class SettingsStore;

// The link's preferences: which port the box is on and whether the
// real-time warning is still shown. Loaded when created; Save writes them
// back (not flushed). The connection's state is the link session's.
class LinkSettings
{
public:
    explicit LinkSettings(SettingsStore &store);
    LinkSettings(const LinkSettings &) = delete;
    LinkSettings &operator=(const LinkSettings &) = delete;

    void Save();

    int COMPort() const { return m_comPort; }
    void SetCOMPort(int v) { m_comPort = v; }
    // A device path naming the port instead of COMPort (USB-serial adapters);
    // empty means the COMPort number decides.
    QString PortName() const { return m_portName; }
    void SetPortName(const QString &v) { m_portName = v; }
    bool ShowRTWarning() const { return m_showRTWarning; }
    void SetShowRTWarning(bool v) { m_showRTWarning = v; }

private:
    std::vector<SettingsFields::Field> fields();

    SettingsStore &m_store;
    int m_comPort = 1;
    QString m_portName;
    bool m_showRTWarning = true;
};
