#pragma once

#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "app/CVUserPrefs.h"

#include <QString>
#include <memory>

class frmMain;
class FileCommands;
class HelpCommands;
class ConnectionCommands;
class ImageCommands;
class MapGridCommands;
class UndoAndCompareCommands;
class SerialPort;
class DialogRealTimeSender;
class EditSession;
class CVFuelTimingDlg;
class CVGlobalDlg;
class CVInjectorDlg;
class CVTTPDlg;
class CVIgnitionDwellDlg;
class CVVQTableDlg;
class CVDAQSetupDlg;
class AcquisitionCommands;
class DaqDriver;
class CVScalingCalculator;
class CVDataAcquisition;
class Map3DViewCommands;
class GaugesWindow;
class AnalysisCommands;

// What the program is started with.
struct StartOptions
{
    QString projectPath; // double quotes removed by the window
    QString portName;    // --port DEVICE: the device for this run
    bool simulatedDaq = false;
    bool fastHandshake = false; // 100 ms instead of 2 s steps (tests)
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
    ConnectionCommands &connectionCommands() { return *m_connectionCommands; }
    ImageCommands &imageCommands() { return *m_imageCommands; }
    MapGridCommands &mapGridCommands() { return *m_mapGridCommands; }
    UndoAndCompareCommands &undoCompare() { return *m_undoCompare; }
    EditSession &edits() { return *m_edits; }
    SerialPort &port() { return *m_port; }
    CVFuelTimingDlg &grid() { return *m_grid; }
    Map3DViewCommands &map3DView() { return *m_map3DView; }
    GaugesWindow &gauges() { return *m_gauges; }
    CVDAQSetupDlg &daqSetup() { return *m_daqSetup; }
    AcquisitionCommands &acquisitionCommands() { return *m_acquisitionCommands; }
    AnalysisCommands &analysisCommands() { return *m_analysisCommands; }
    DaqDriver &daqDriver() { return *m_daqDriver; }
    CVDataAcquisition &daq() { return *m_daq; }

    // The window's load steps with the command-line project, then show it.
    void start();

private:
    ProgramState m_state;
    CVUserPrefs &m_prefs;
    UiServices m_ui;
    StartOptions m_options;
    QString m_savedPortName;
    std::unique_ptr<SerialPort> m_port;                  // commVantrelle
    std::unique_ptr<DialogRealTimeSender> m_realTime;
    std::unique_ptr<EditSession> m_edits;             // every change to the tune
    std::unique_ptr<DaqDriver> m_daqDriver;
    std::unique_ptr<CVScalingCalculator> m_calculator;
    std::unique_ptr<CVDataAcquisition> m_daq;
    std::unique_ptr<frmMain> m_window;
    // Panels are children of the window's containers.
    CVGlobalDlg *m_general = nullptr;
    CVInjectorDlg *m_injector = nullptr;
    CVTTPDlg *m_ttp = nullptr;
    CVIgnitionDwellDlg *m_dwell = nullptr;
    CVFuelTimingDlg *m_grid = nullptr;
    CVVQTableDlg *m_vq = nullptr;
    FileCommands *m_fileCommands = nullptr;
    HelpCommands *m_helpCommands = nullptr;
    ConnectionCommands *m_connectionCommands = nullptr;
    ImageCommands *m_imageCommands = nullptr;
    MapGridCommands *m_mapGridCommands = nullptr;
    UndoAndCompareCommands *m_undoCompare = nullptr;
    Map3DViewCommands *m_map3DView = nullptr; // child of the window
    GaugesWindow *m_gauges = nullptr;           // a window owned by the main window
    CVDAQSetupDlg *m_daqSetup = nullptr;
    AcquisitionCommands *m_acquisitionCommands = nullptr;
    AnalysisCommands *m_analysisCommands = nullptr; // child of the window
};
