#include "editors/ui/MapGridCommands.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridFont.h"
#include "editors/ui/dlgMapCopy.h"
#include "model/ProgramState.h"
#include "platform/UiServices.h"
#include "daq/DaqSettings.h"
#include "shell/MainWindow.h"
#include "shell/Panels.h"
#include "shell/MainWindowPrefs.h"

#include <QAction>
#include <QMenu>

MapGridCommands::MapGridCommands(MainWindow &window, CVFuelTimingDlg &grid, EditSession &edits)
    : QObject(window.DialogParent()), m_window(window), m_grid(grid), m_edits(edits)
{
    const MainActions &actions = window.Actions();
    // The grid's cell items live in the window's "&Cell" menu.
    for (QAction *a : {grid.incrementAction(), grid.decrementAction(), grid.editAction(), grid.loopAction()})
        actions.mnuCell->addAction(a);

    connect(actions.mnuOptionsGridFont, &QAction::triggered, this, &MapGridCommands::GridFont);
    connect(actions.mnuToolsMapCopy, &QAction::triggered, this, &MapGridCommands::MapCopy);
    connect(actions.mnuDataLogClear, &QAction::triggered, this, &MapGridCommands::ClearTrace);
    connect(actions.mnuDataLoggingCurrentCell, &QAction::triggered, this, &MapGridCommands::HighlightCurrentCell);
    connect(actions.mnuDataLoggingAllCells, &QAction::triggered, this, &MapGridCommands::HighlightAllCells);
    // The colour choice is the grid's preference; the item shows it.
    actions.mnuViewValueColours->setChecked(grid.ValueColours());
    connect(actions.mnuViewValueColours, &QAction::toggled, this, [this](bool on) { m_grid.SetValueColours(on); });
}

void MapGridCommands::GridFont()
{
    m_grid.SetGridFontFromDialog(GridFont::SystemFontPicker());
}

void MapGridCommands::MapCopy()
{
    dlgMapCopy dialog(m_edits, m_window.Ui().messages, m_window.DialogParent());
    connect(&dialog, &dlgMapCopy::reselectCurrentPanel, this,
            [this] { m_window.SelectPanel(m_window.State().CurrentPanel); });
    dialog.exec();
}

void MapGridCommands::ClearTrace()
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

void MapGridCommands::HighlightCurrentCell()
{
    ClearTrace();
    m_window.Actions().mnuDataLoggingCurrentCell->setChecked(true);
    m_window.Actions().mnuDataLoggingAllCells->setChecked(false);
    m_window.Prefs().daq.SetHighlightMode(0);
}

void MapGridCommands::HighlightAllCells()
{
    m_window.Actions().mnuDataLoggingCurrentCell->setChecked(false);
    m_window.Actions().mnuDataLoggingAllCells->setChecked(true);
    m_window.Prefs().daq.SetHighlightMode(1);
}
