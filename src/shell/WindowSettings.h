#pragma once

#include "platform/SettingsFields.h"

#include <vector>

class SettingsStore;

// The windows' preferences: the main window's place and size and the
// splitter position, in twips, and whether the agreement is still shown at
// start. Loaded when created; Save writes them back (not flushed).
class WindowSettings
{
public:
    explicit WindowSettings(SettingsStore &store);
    WindowSettings(const WindowSettings &) = delete;
    WindowSettings &operator=(const WindowSettings &) = delete;

    void Save();

    int WndLeftPos() const { return m_left; }
    void SetWndLeftPos(int v) { m_left = v, m_hasStoredPlace = true; }
    int WndTopPos() const { return m_top; }
    void SetWndTopPos(int v) { m_top = v, m_hasStoredPlace = true; }
    int WndWidth() const { return m_width; }
    void SetWndWidth(int v) { m_width = v, m_hasStoredPlace = true; }
    int WndHeight() const { return m_height; }
    void SetWndHeight(int v) { m_height = v, m_hasStoredPlace = true; }
    int SplitterX() const { return m_splitterX; }
    void SetSplitterX(int v) { m_splitterX = v; }
    // Whether the main window's place was ever stored (or set): a first
    // start opens at a size chosen for the screen instead, and the defaults
    // are never written for it.
    bool HasStoredPlace() const { return m_hasStoredPlace; }
    bool ShowEULADialog() const { return m_showEULADialog; }
    void SetShowEULADialog(bool v) { m_showEULADialog = v; }

private:
    std::vector<SettingsFields::Field> fields();

    SettingsStore &m_store;
    int m_left = 1000;
    int m_top = 1000;
    int m_width = 6500;
    int m_height = 6500;
    int m_splitterX = 2500;
    bool m_showEULADialog = true;
    bool m_hasStoredPlace = false;
};
