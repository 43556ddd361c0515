#pragma once

#include "daq/DaqSettings.h"
#include "editors/EditorSettings.h"
#include "link/LinkSettings.h"
#include "shell/WindowSettings.h"

class SettingsStore;

// The user's persistent settings for one run of the program, all in one
// store: each part is loaded when created, held in memory while the program
// runs and written back, with one flush, when released. Consumers take the
// part they need.
class CVUserPrefs
{
public:
    explicit CVUserPrefs(SettingsStore &store);
    ~CVUserPrefs();
    CVUserPrefs(const CVUserPrefs &) = delete;
    CVUserPrefs &operator=(const CVUserPrefs &) = delete;

    // Writes every stored scalar back. Called on release.
    void Save();

    SettingsStore &store() { return m_store; }

    WindowSettings window;
    LinkSettings link;
    EditorSettings editor;
    DaqSettings daq;

private:
    SettingsStore &m_store;
};
