#pragma once

#include <QObject>

class CommandEnabler;
class CVFuelTimingDlg;
class DaqSettings;
class EditSession;
class MainWindow;
class QAction;
class TraceMarks;
struct UiServices;

// The menu items that act on the editors: the grid's cell items in the
// window's "&Cell" menu, the grid's colours and font, the map copy tool, and
// the trace items of the data-logging menu (clearing the marks, the
// highlight mode).
class MapGridCommands : public QObject
{
    Q_OBJECT
public:
    MapGridCommands(MainWindow &window, CVFuelTimingDlg &grid, EditSession &edits, TraceMarks &marks,
                    DaqSettings &daqPrefs, UiServices &ui, CommandEnabler &commands);

    void GridFont();
    void MapCopy();
    // Takes the trace's marks off the maps; the panels repaint.
    void ClearTrace();
    void HighlightCurrentCell();
    void HighlightAllCells();

private:
    void addCellMenu(CommandEnabler &commands);

    MainWindow &m_window;
    CVFuelTimingDlg &m_grid;
    EditSession &m_edits;
    TraceMarks &m_marks;
    DaqSettings &m_daqPrefs;
    UiServices &m_ui;
    QAction *mnuDataLoggingCurrentCell = nullptr;
    QAction *mnuDataLoggingAllCells = nullptr;
};
