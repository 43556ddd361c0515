#include "analysis/ui/AnalysisCommands.h"

#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/GridLogMarks.h"
#include "analysis/ui/LogScatterWindow.h"
#include "analysis/ui/FuelCorrectionDialog.h"
#include "analysis/ui/MapOverlayDialog.h"
#include "daq/CVRTLogger.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

AnalysisCommands::AnalysisCommands(MainWindow &window, ProgramState &state, SettingsStore &store, UiServices &ui,
                                   CVFuelTimingDlg &grid, EditSession &edits, const CVRTLogger &runningLog)
    : QObject(window.DialogParent()), m_window(window), m_state(state), m_store(store), m_ui(ui), m_grid(grid),
      m_edits(edits), m_runningLog(runningLog)
{
    m_marks = std::make_unique<GridLogMarks>(state, *grid.grid());
    connect(&window.Events(), &MainWindowEvents::panelSelected, this, [this] { m_marks->refresh(); });
    // Logs: the viewer and what it computes.
    QAction *viewer = NewAction(this, "Datalog &Viewer...", "mnuToolsDatalogViewer");
    QAction *overlay = NewAction(this, "Map &Overlay from Log...", "mnuToolsMapOverlay");
    QAction *correction = NewAction(this, "&Fuel Correction from Log...", "mnuToolsFuelCorrection");
    for (QAction *a : {viewer, overlay, correction})
        window.AddAction(MenuPlace::ToolsLogs, a);
    connect(viewer, &QAction::triggered, this, [this] { ShowViewer(); });
    connect(overlay, &QAction::triggered, this, [this] { ShowMapOverlay(); });
    connect(correction, &QAction::triggered, this, [this] { ShowFuelCorrection(); });
}

AnalysisCommands::~AnalysisCommands()
{
    delete m_overlayDialog;
    delete m_correctionDialog;
    delete m_scatter;
    delete m_viewer;
}

DatalogViewer *AnalysisCommands::viewer() const
{
    return m_viewer.data();
}

DatalogViewer &AnalysisCommands::ShowViewer()
{
    if (!m_viewer) {
        m_viewer = new DatalogViewer(m_ui, [this] { return m_runningLog.LogFileName(); }, m_window.DialogParent());
        connect(m_viewer, &DatalogViewer::cursorMoved, this, [this](float rpm, float tp) { m_marks->setCursor(rpm, tp); });
        connect(m_viewer, &DatalogViewer::closed, this, [this] { m_marks->clearCursor(); });
        connect(m_viewer, &DatalogViewer::overlayRequested, this, [this] { ShowMapOverlay(); });
        connect(m_viewer, &DatalogViewer::correctionRequested, this, [this] { ShowFuelCorrection(); });
        connect(m_viewer, &DatalogViewer::scatterRequested, this, [this] { ShowScatter(); });
        connect(m_viewer, &DatalogViewer::logLoaded, this, [this] {
            // An overlay of the previous log would no longer match.
            m_marks->clearOverlay();
            delete m_overlayDialog;
            delete m_correctionDialog;
            delete m_scatter;
        });
        emit viewerCreated(m_viewer);
    }
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
    return *m_viewer;
}

bool AnalysisCommands::ensureLog()
{
    DatalogViewer &viewer = ShowViewer();
    if (!viewer.hasLog())
        viewer.chooseAndOpenLog();
    return viewer.hasLog();
}

MapOverlayDialog *AnalysisCommands::ShowMapOverlay()
{
    if (!ensureLog())
        return nullptr;
    if (!m_overlayDialog) {
        m_overlayDialog = new MapOverlayDialog(m_state, m_store, *m_viewer, *m_marks, m_viewer);
        m_overlayDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_overlayDialog->show();
    m_overlayDialog->raise();
    return m_overlayDialog;
}

FuelCorrectionDialog *AnalysisCommands::ShowFuelCorrection()
{
    if (!ensureLog())
        return nullptr;
    if (!m_correctionDialog) {
        m_correctionDialog = new FuelCorrectionDialog(
            m_state, m_store, *m_viewer, m_appliedCorrections,
            [this](MapKey map, const std::vector<ApplyCorrection::CellChange> &changes) {
                return ApplyFuelCorrection(map, changes);
            },
            [this] { return m_runningLog.IsRecording() ? m_runningLog.LogFileName() : QString(); }, m_viewer);
        m_correctionDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_correctionDialog->show();
    m_correctionDialog->raise();
    return m_correctionDialog;
}

LogScatterWindow *AnalysisCommands::ShowScatter()
{
    if (!ensureLog())
        return nullptr;
    if (!m_scatter) {
        m_scatter = new LogScatterWindow(*m_viewer, m_viewer);
        m_scatter->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_scatter->show();
    m_scatter->raise();
    return m_scatter;
}

int AnalysisCommands::ApplyFuelCorrection(MapKey map, const std::vector<ApplyCorrection::CellChange> &changes)
{
    // The whole correction is one edit of the tune.
    const int changed = ApplyCorrection::Apply(m_edits, map, changes);
    if (changed > 0 && m_state.CurrentPanel == MapPanels::PanelOfMap(map))
        m_grid.PopGrid();
    return changed;
}
