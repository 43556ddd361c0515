#pragma once

#include "analysis/ApplyCorrection.h"
#include "analysis/FuelCorrection.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class CVFuelTimingDlg;
class CVRTLogger;
class DatalogViewer;
class GridLogMarks;
class EditSession;
class FuelCorrectionDialog;
class MapOverlayDialog;
class LogScatterWindow;
class MainWindow;
class ProgramState;
class SettingsStore;
struct UiServices;

// The Tools menu's log commands: "Datalog &Viewer...", "Map &Overlay from
// Log..." and "&Fuel Correction from Log...", the viewer window they share
// and the marks the logs leave on the map grid.
class AnalysisCommands : public QObject
{
    Q_OBJECT
public:
    // The cells corrected so far (the history fills it at the start).
    FuelCorrection::AppliedCells &appliedCorrections() { return m_appliedCorrections; }
    // runningLog: the log being recorded now, which the viewer's "Open
    // &Running Session Log" reads.
    AnalysisCommands(MainWindow &window, ProgramState &state, SettingsStore &store, UiServices &ui,
                     CVFuelTimingDlg &grid, EditSession &edits, const CVRTLogger &runningLog);
    ~AnalysisCommands() override;

    // Shows the viewer (created on first use).
    DatalogViewer &ShowViewer();
    // Opens the overlay / correction dialog over the viewer's log; when no
    // log is loaded yet the user is asked for one first. Null when there is
    // still none.
    MapOverlayDialog *ShowMapOverlay();
    FuelCorrectionDialog *ShowFuelCorrection();
    // The viewer's "X-Y &Scatter..." over its log.
    LogScatterWindow *ShowScatter();

    DatalogViewer *viewer() const;
    GridLogMarks &marks() { return *m_marks; }

    // Writes a correction into the tune as one edit and refreshes the grid.
    int ApplyFuelCorrection(MapKey map, const std::vector<ApplyCorrection::CellChange> &changes);

signals:
    // The viewer window was made (once, on first use).
    void viewerCreated(DatalogViewer *viewer);

private:
    bool ensureLog();

    MainWindow &m_window;
    ProgramState &m_state;
    SettingsStore &m_store;
    UiServices &m_ui;
    CVFuelTimingDlg &m_grid;
    EditSession &m_edits;
    const CVRTLogger &m_runningLog;
    QPointer<DatalogViewer> m_viewer;
    std::unique_ptr<GridLogMarks> m_marks;
    QPointer<MapOverlayDialog> m_overlayDialog;
    QPointer<FuelCorrectionDialog> m_correctionDialog;
    QPointer<LogScatterWindow> m_scatter;
    // Outlives the dialog and the log shown, so that closing and opening
    // either again never makes spent samples propose a cell a second time.
    FuelCorrection::AppliedCells m_appliedCorrections;
};
