#pragma once

class DaqSettings;
class EditorSettings;
class LinkSettings;
class SettingsStore;
class WindowSettings;

// The preferences the main window and the commands reaching it use, each
// part kept by the subsystem it belongs to; the composition root owns them
// all and the store they share.
struct MainWindowPrefs
{
    SettingsStore &store;
    WindowSettings &window;
    LinkSettings &link;
    EditorSettings &editor;
    DaqSettings &daq;
};
