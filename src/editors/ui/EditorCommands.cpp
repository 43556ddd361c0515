#include "editors/ui/EditorCommands.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridFont.h"
#include "editors/ui/dlgMapCopy.h"
#include "model/ProgramState.h"
#include "platform/UiServices.h"
#include "shell/frmMain.h"
#include "daq/DaqSettings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

EditorCommands::EditorCommands(frmMain &window, CVFuelTimingDlg &grid)
    : QObject(&window), m_window(window), m_grid(grid)
{
    // The grid's cell items live in the window's "&Cell" menu.
    QMenu *cell = window.menuBar()->findChild<QMenu *>("mnuCell");
    for (QAction *a : {grid.incrementAction(), grid.decrementAction(), grid.editAction(), grid.loopAction()})
        cell->addAction(a);

    connect(window.Action("mnuOptionsGridFont"), &QAction::triggered, this, &EditorCommands::GridFont);
    connect(window.Action("mnuToolsMapCopy"), &QAction::triggered, this, &EditorCommands::MapCopy);
    connect(window.Action("mnuDataLogClear"), &QAction::triggered, this, &EditorCommands::ClearTrace);
    connect(window.Action("mnuDataLoggingCurrentCell"), &QAction::triggered, this,
            &EditorCommands::HighlightCurrentCell);
    connect(window.Action("mnuDataLoggingAllCells"), &QAction::triggered, this, &EditorCommands::HighlightAllCells);
}

void EditorCommands::GridFont()
{
    m_grid.SetGridFontFromDialog(GridFont::SystemFontPicker());
}

void EditorCommands::MapCopy()
{
    dlgMapCopy dialog(m_window.State(), m_window.Ui().messages, &m_window);
    connect(&dialog, &dlgMapCopy::reselectCurrentPanel, this,
            [this] { m_window.SelectPanel(m_window.State().CurrentPanel); });
    dialog.exec();
}

void EditorCommands::ClearTrace()
{
    Tune &tune = m_window.State().tune;
    for (MapKey key : {MapKey::HOFM, MapKey::HOHGFM, MapKey::HOTM})
        tune.map(key).ClearRTState();
    const int current = m_window.State().CurrentPanel;
    if (current == PanelIndex::HOFM || current == PanelIndex::HOHGFM || current == PanelIndex::HOTM)
        m_grid.ClearDataPoints();
    for (int index : {PanelIndex::TTPMaps, PanelIndex::IgnitionDuty, PanelIndex::VQ})
        m_window.Panels().ClearRTState(index);
}

void EditorCommands::HighlightCurrentCell()
{
    ClearTrace();
    m_window.Action("mnuDataLoggingCurrentCell")->setChecked(true);
    m_window.Action("mnuDataLoggingAllCells")->setChecked(false);
    m_window.Prefs().daq.SetHighlightMode(0);
}

void EditorCommands::HighlightAllCells()
{
    m_window.Action("mnuDataLoggingCurrentCell")->setChecked(false);
    m_window.Action("mnuDataLoggingAllCells")->setChecked(true);
    m_window.Prefs().daq.SetHighlightMode(1);
}
