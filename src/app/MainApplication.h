#pragma once

#include "app/CVUserPrefs.h"
#include "commands/CommandEnabling.h"
#include "daq/sim/SimulationOptions.h"
#include "link/LinkSession.h"
#include "model/ProgramState.h"
#include "model/TraceMarks.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"

#include <QString>
#include <memory>

class AcquisitionCommands;
class AnalysisCommands;
class PlaybackCommands;
class CommandEnabler;
class CompareCommands;
class ConnectionCommands;
class CVDAQSetupDlg;
class CVDataAcquisition;
class CVFuelTimingDlg;
class CVGlobalDlg;
class CVIgnitionDwellDlg;
class CVInjectorDlg;
class CVScalingCalculator;
class CVTTPDlg;
class CVVQTableDlg;
class DaqDriver;
class DialogRealTimeSender;
class EditSession;
class FileCommands;
class GaugesCommands;
class GaugesWindow;
class HelpCommands;
class ImageCommands;
class Map3DViewCommands;
class MapGridCommands;
class SerialPort;
class UndoCommands;
class frmMain;
class HistoryCommands;
class HistoryStore;
class JournalledSender;
class TuneJournal;

// What the program is started with.
struct StartOptions
{
    QString projectPath; // double quotes removed by the window
    QString portName;    // --port DEVICE: the device for this run
    bool simulatedDaq = false;
    EngineSimulation simulation; // the simulated unit's engine (--sim-* options)
    bool fastHandshake = false; // 100 ms instead of 2 s steps (tests)
    QString journalFolder;      // empty: the user's data folder
    QString historyFolder;      // empty: the user's data folder
};

// Creates the program's objects and connects them, in one place: the states
// and their owners (the tune and its flags, the link session, the trace
// marks), the preferences, the user-facing services, the main window, its
// panels and the features that put their commands into it.
class MainApplication
{
public:
    // prefs outlives the application object; releasing it writes it back.
    MainApplication(CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files,
                    const StartOptions &options);
    ~MainApplication();

    frmMain &window() { return *m_window; }
    ProgramState &state() { return m_state; }
    LinkSession &link() { return m_link; }
    TraceMarks &marks() { return m_marks; }
    CVUserPrefs &prefs() { return m_prefs; }
    CommandEnabler &commands() { return *m_commands; }
    FileCommands &fileCommands() { return *m_fileCommands; }
    HelpCommands &helpCommands() { return *m_helpCommands; }
    ConnectionCommands &connectionCommands() { return *m_connectionCommands; }
    ImageCommands &imageCommands() { return *m_imageCommands; }
    MapGridCommands &mapGridCommands() { return *m_mapGridCommands; }
    UndoCommands &undo() { return *m_undo; }
    CompareCommands &compare() { return *m_compare; }
    EditSession &edits() { return *m_edits; }
    SerialPort &port() { return *m_port; }
    CVFuelTimingDlg &grid() { return *m_grid; }
    Map3DViewCommands &map3DView() { return *m_map3DView; }
    GaugesWindow &gauges();
    CVDAQSetupDlg &daqSetup() { return *m_daqSetup; }
    AcquisitionCommands &acquisitionCommands() { return *m_acquisitionCommands; }
    AnalysisCommands &analysisCommands() { return *m_analysisCommands; }
    PlaybackCommands &playback() { return *m_playback; }
    DaqDriver &daqDriver() { return *m_daqDriver; }
    HistoryCommands &historyCommands() { return *m_historyCommands; }
    TuneJournal &journal() { return *m_journal; }
    CVDataAcquisition &daq() { return *m_daq; }

    // The window's load steps with the command-line project.
    void load();
    // load(), then the window is shown and logs a crash left behind are
    // offered.
    void start();

private:
    void createPanels();
    void createFeatures();
    void connectViews();
    void addWaysIn();
    void connectHistory();
    // What command availability depends on, from each state's owner.
    CommandStates commandStates() const;

    ProgramState m_state;
    LinkSession m_link;
    TraceMarks m_marks;
    CVUserPrefs &m_prefs;
    UiServices m_ui;
    StartOptions m_options;
    QString m_savedPortName;
    std::unique_ptr<SerialPort> m_port; // commVantrelle
    std::unique_ptr<DialogRealTimeSender> m_realTime;
    std::unique_ptr<TuneJournal> m_journal;
    std::unique_ptr<JournalledSender> m_journalled; // what goes to the box goes to the journal first
    std::unique_ptr<HistoryStore> m_history;
    std::unique_ptr<EditSession> m_edits; // every change to the tune
    std::unique_ptr<DaqDriver> m_daqDriver;
    std::unique_ptr<CVScalingCalculator> m_calculator;
    std::unique_ptr<CVDataAcquisition> m_daq;
    std::unique_ptr<frmMain> m_window;
    // The rest are children of the window (or of its containers).
    CommandEnabler *m_commands = nullptr;
    CVGlobalDlg *m_general = nullptr;
    CVInjectorDlg *m_injector = nullptr;
    CVTTPDlg *m_ttp = nullptr;
    CVIgnitionDwellDlg *m_dwell = nullptr;
    CVFuelTimingDlg *m_grid = nullptr;
    CVVQTableDlg *m_vq = nullptr;
    CVDAQSetupDlg *m_daqSetup = nullptr;
    FileCommands *m_fileCommands = nullptr;
    HelpCommands *m_helpCommands = nullptr;
    AcquisitionCommands *m_acquisitionCommands = nullptr;
    ConnectionCommands *m_connectionCommands = nullptr;
    ImageCommands *m_imageCommands = nullptr;
    UndoCommands *m_undo = nullptr;
    HistoryCommands *m_historyCommands = nullptr;
    CompareCommands *m_compare = nullptr;
    MapGridCommands *m_mapGridCommands = nullptr;
    Map3DViewCommands *m_map3DView = nullptr;
    GaugesCommands *m_gauges = nullptr;
    AnalysisCommands *m_analysisCommands = nullptr;
    PlaybackCommands *m_playback = nullptr;
};
