#include "analysis/ui/AnalysisCommands.h"

#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/GridLogMarks.h"
#include "analysis/ui/FuelCorrectionDialog.h"
#include "analysis/ui/MapOverlayDialog.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowPrefs.h"

#include <QAction>

AnalysisCommands::AnalysisCommands(MainWindow &window, CVFuelTimingDlg &grid, EditSession &edits)
    : QObject(window.DialogParent()), m_window(window), m_grid(grid), m_edits(edits)
{
    m_marks = std::make_unique<GridLogMarks>(window.State(), *grid.grid());
    connect(&window.Events(), &MainWindowEvents::panelSelected, this, [this] { m_marks->refresh(); });
    const MainActions &actions = window.Actions();
    connect(actions.mnuToolsDatalogViewer, &QAction::triggered, this, [this] { ShowViewer(); });
    connect(actions.mnuToolsMapOverlay, &QAction::triggered, this, [this] { ShowMapOverlay(); });
    connect(actions.mnuToolsFuelCorrection, &QAction::triggered, this, [this] { ShowFuelCorrection(); });
}

AnalysisCommands::~AnalysisCommands()
{
    delete m_overlayDialog;
    delete m_correctionDialog;
    delete m_viewer;
}

DatalogViewer *AnalysisCommands::viewer() const
{
    return m_viewer.data();
}

DatalogViewer &AnalysisCommands::ShowViewer()
{
    if (!m_viewer) {
        m_viewer = new DatalogViewer(m_window.Ui(), m_window.DialogParent());
        m_viewer->runningLogPath = [this] { return runningLogPath ? runningLogPath() : QString(); };
        connect(m_viewer, &DatalogViewer::cursorMoved, this, [this](float rpm, float tp) { m_marks->setCursor(rpm, tp); });
        connect(m_viewer, &DatalogViewer::closed, this, [this] { m_marks->clearCursor(); });
        connect(m_viewer, &DatalogViewer::overlayRequested, this, [this] { ShowMapOverlay(); });
        connect(m_viewer, &DatalogViewer::correctionRequested, this, [this] { ShowFuelCorrection(); });
        connect(m_viewer, &DatalogViewer::logLoaded, this, [this] {
            // An overlay of the previous log would no longer match.
            m_marks->clearOverlay();
            delete m_overlayDialog;
            delete m_correctionDialog;
        });
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
        m_overlayDialog = new MapOverlayDialog(m_window.State(), m_window.Prefs().store, *m_viewer, *m_marks, m_viewer);
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
            m_window.State(), m_window.Prefs().store, *m_viewer, m_appliedCorrections,
            [this](MapKey map, const std::vector<ApplyCorrection::CellChange> &changes) {
                return ApplyFuelCorrection(map, changes);
            },
            m_viewer);
        m_correctionDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_correctionDialog->show();
    m_correctionDialog->raise();
    return m_correctionDialog;
}

int AnalysisCommands::ApplyFuelCorrection(MapKey map, const std::vector<ApplyCorrection::CellChange> &changes)
{
    // The whole correction is one edit of the tune.
    const int changed = ApplyCorrection::Apply(m_edits, map, changes);
    if (changed > 0 && m_window.State().CurrentPanel == MapPanels::PanelOfMap(map))
        m_grid.PopGrid();
    return changed;
}
