#pragma once

#include <QObject>

class CVFuelTimingDlg;
class EditSession;
class MainWindow;

// The menu items that act on the editors: the "&Cell" menu, the grid font,
// the map copy tool, and the trace items of the data-logging menu.
class MapGridCommands : public QObject
{
    Q_OBJECT
public:
    MapGridCommands(MainWindow &window, CVFuelTimingDlg &grid, EditSession &edits);

    void GridFont();
    void MapCopy();
    // Takes the trace off the maps and the panels.
    void ClearTrace();
    void HighlightCurrentCell();
    void HighlightAllCells();

private:
    MainWindow &m_window;
    CVFuelTimingDlg &m_grid;
    EditSession &m_edits;
};
