#include "editors/ui/MapGridCommands.h"

#include "commands/ui/CommandEnabler.h"
#include "daq/DaqSettings.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridBlockCommands.h"
#include "editors/ui/GridCellEditing.h"
#include "editors/ui/GridFont.h"
#include "editors/ui/dlgMapCopy.h"
#include "model/TraceMarks.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

#include <QMenu>

MapGridCommands::MapGridCommands(MainWindow &window, CVFuelTimingDlg &grid, EditSession &edits, TraceMarks &marks,
                                 DaqSettings &daqPrefs, UiServices &ui, CommandEnabler &commands)
    : QObject(window.DialogParent()), m_window(window), m_grid(grid), m_edits(edits), m_marks(marks),
      m_daqPrefs(daqPrefs), m_ui(ui)
{
    addCellMenu(commands);

    // The colour choice is the grid's preference; the item shows it.
    QAction *valueColours = NewAction(this, "Colour Map Cells by &Value", "mnuViewValueColours", true);
    valueColours->setChecked(grid.ValueColours());
    window.AddAction(MenuPlace::ViewGrid, valueColours);
    QAction *ownRange = NewAction(this, "Colours Over Each Map's Own &Range", "mnuViewOwnRangeColours", true);
    ownRange->setChecked(grid.OwnRangeColours());
    ownRange->setEnabled(grid.ValueColours());
    window.AddAction(MenuPlace::ViewGrid, ownRange);
    connect(valueColours, &QAction::toggled, this, [this, ownRange](bool on) {
        m_grid.SetValueColours(on);
        ownRange->setEnabled(on);
    });
    connect(ownRange, &QAction::toggled, this, [this](bool on) { m_grid.SetOwnRangeColours(on); });

    connect(&grid, &CVFuelTimingDlg::notice, this,
            [this](const QString &text) { m_window.ShowStatusMessage(text, StatusLine::StatusMessageMs); });

    QAction *font = NewAction(this, "Set &Fuel/Timing Grid Font...", "mnuOptionsGridFont");
    window.AddAction(MenuPlace::OptionsGrid, font);
    connect(font, &QAction::triggered, this, &MapGridCommands::GridFont);

    QAction *copy = NewAction(this, "Co&py Fuel / Timing Maps...", "mnuToolsMapCopy");
    window.AddAction(MenuPlace::ToolsMaps, copy);
    commands.Register(Command::MapCopy, copy);
    connect(copy, &QAction::triggered, this, &MapGridCommands::MapCopy);

    QAction *clear = NewAction(this, "&Clear Real-Time Data Points", "mnuDataLogClear");
    window.AddAction(MenuPlace::DataLoggingTrace, clear);
    connect(clear, &QAction::triggered, this, &MapGridCommands::ClearTrace);
    QMenu *highlight = window.AddSubmenu(MenuPlace::DataLoggingTrace, "&Highlight Mode", "mnuDataLoggingHighlight");
    mnuDataLoggingCurrentCell = NewAction(this, "&Current cell", "mnuDataLoggingCurrentCell", true);
    mnuDataLoggingAllCells = NewAction(this, "&All cells", "mnuDataLoggingAllCells", true);
    highlight->addActions({mnuDataLoggingCurrentCell, mnuDataLoggingAllCells});
    connect(mnuDataLoggingCurrentCell, &QAction::triggered, this, &MapGridCommands::HighlightCurrentCell);
    connect(mnuDataLoggingAllCells, &QAction::triggered, this, &MapGridCommands::HighlightAllCells);
    // The mode the preferences hold, as choosing it does.
    if (daqPrefs.HighlightMode() == 1)
        HighlightAllCells();
    else
        HighlightCurrentCell();
}

void MapGridCommands::addCellMenu(CommandEnabler &commands)
{
    const auto separator = [this] {
        auto *s = new QAction(this);
        s->setSeparator(true);
        return s;
    };
    GridCellEditing &editing = m_grid.editing();
    GridBlockCommands &blocks = m_grid.blocks();
    for (QAction *a : editing.Actions())
        m_window.AddAction(MenuPlace::Cell, a);
    m_window.AddAction(MenuPlace::Cell, separator());
    for (QAction *a : blocks.BlockActions())
        m_window.AddAction(MenuPlace::Cell, a);
    m_window.AddAction(MenuPlace::Cell, separator());
    for (QAction *a : blocks.ClipboardActions())
        m_window.AddAction(MenuPlace::Cell, a);

    commands.Register(Command::CellMenu, m_window.CellMenu()->menuAction());
    commands.Register(Command::CellStep, editing.incrementAction());
    commands.Register(Command::CellStep, editing.decrementAction());
    commands.Register(Command::CellEdit, editing.editAction());
    commands.Register(Command::CellLoop, editing.loopAction());
    commands.Register(Command::TakeComparedCells, blocks.takeCompareAction());
}

void MapGridCommands::GridFont()
{
    m_grid.SetGridFontFromDialog(GridFont::SystemFontPicker());
}

void MapGridCommands::MapCopy()
{
    dlgMapCopy dialog(m_edits, m_ui.messages, m_window.DialogParent());
    connect(&dialog, &dlgMapCopy::reselectCurrentPanel, this, [this] { m_window.RefreshPanel(); });
    dialog.exec();
}

void MapGridCommands::ClearTrace()
{
    m_marks.Clear();
}

void MapGridCommands::HighlightCurrentCell()
{
    ClearTrace();
    mnuDataLoggingCurrentCell->setChecked(true);
    mnuDataLoggingAllCells->setChecked(false);
    m_daqPrefs.SetHighlightMode(0);
}

void MapGridCommands::HighlightAllCells()
{
    mnuDataLoggingCurrentCell->setChecked(false);
    mnuDataLoggingAllCells->setChecked(true);
    m_daqPrefs.SetHighlightMode(1);
}
