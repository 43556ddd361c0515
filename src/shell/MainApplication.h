#pragma once

#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "shell/prefs/CVUserPrefs.h"

#include <QString>
#include <memory>

class frmMain;
class FileCommands;
class HelpCommands;

// What the program is started with.
struct StartOptions
{
    QString projectPath; // double quotes removed by the window
    QString portName;    // --port DEVICE: the device for this run
    bool simulatedDaq = false;
};

// Creates the program's objects and connects them, in one place: the shared
// state, the preferences, the user-facing services, the main window, its
// panels and the commands behind its menus.
class MainApplication
{
public:
    // prefs outlives the application object; releasing it writes it back.
    MainApplication(CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files,
                    const StartOptions &options);
    ~MainApplication();

    frmMain &window() { return *m_window; }
    ProgramState &state() { return m_state; }
    CVUserPrefs &prefs() { return m_prefs; }
    FileCommands &fileCommands() { return *m_fileCommands; }
    HelpCommands &helpCommands() { return *m_helpCommands; }

    // The window's load steps with the command-line project, then show it.
    void start();

private:
    ProgramState m_state;
    CVUserPrefs &m_prefs;
    UiServices m_ui;
    StartOptions m_options;
    QString m_savedPortName;
    std::unique_ptr<frmMain> m_window;
    FileCommands *m_fileCommands = nullptr;
    HelpCommands *m_helpCommands = nullptr;
};
