#pragma once

#include "editors/BlockOperations.h"
#include "editors/CellColours.h"
#include "editors/GridRules.h"
#include "editors/ui/GridFont.h"
#include "shell/Panels.h"

#include <QWidget>
#include <memory>
#include <optional>

class EditorSettings;
class EditSession;
class FieldEdit;
class GridBlockCommands;
class GridCellEditing;
class GridCompareMarks;
class GridLegend;
class MapGridModel;
class MapGridView;
class MessageBoxService;
class QLabel;
class QMenu;
class TraceMarks;

// The editing panel of the six 16 x 16 maps (panel indexes 7..12): the map
// of the current panel index in a 17 x 17 grid with its RPM axis in column 0
// and its TP axis in row 0, every body cell coloured by its raw byte, and the
// live trace of the engine's operating point in green. The widget itself is
// the panel's container.
//
// The panel shows; its jobs live in classes of their own, each over the
// same grid: GridCellEditing (typing, stepping, the in-place editor and the
// loop switch of the current cell), GridBlockCommands (block operations,
// clipboard, taking cells from a compared tune) and GridCompareMarks (the
// cells that differ from a compared tune). Every accepted change is
// committed through the edit session.
class CVFuelTimingDlg : public QWidget, public GridPanel
{
    Q_OBJECT
public:
    CVFuelTimingDlg(EditSession &edits, const TraceMarks &marks, EditorSettings &prefs, MessageBoxService &messages,
                    QWidget *parent = nullptr);
    ~CVFuelTimingDlg() override;

    // TunePanel / GridPanel
    QWidget *widget() override { return this; }
    // Sets the axis title for the current panel index, applies the grid font
    // and refills the grid. An open in-place edit is dropped.
    void UpdateData() override;
    void PopGrid() override;
    void UpdateGridFont() override;
    // Paints the traced cell of the map on screen green; in highlight mode
    // "Current cell" the cell traced before gets its scale colour back.
    void ShowTrace(const AcquisitionSample &sample) override;
    // The trace marks were cleared: the grid loses its green cells.
    void ClearRTState() override;

    // The grid's key handler ('+', '-', 13 for Enter, digits and the point).
    void m_MapGrid_KeyPress(int keyAscii);
    // Switches the current body cell between open and closed loop.
    void CellLoop();
    // Refills the grid so cleared trace points lose their green.
    void ClearDataPoints() { PopGrid(); }
    bool IsEditingMap() const;
    // The tree took the focus: an open in-place editor takes it back.
    void TreeReceivedFocus();
    // Commits value to the current cell under the cell's range and rounding
    // rules; false (and the tune unchanged) when refused. The refusal names
    // the cell's limits when showMessage is true.
    bool SetCellValue(double value, bool showMessage);

    // The cells shaded by value instead of the loop colours (a preference);
    // the legend follows.
    bool ValueColours() const;
    void SetValueColours(bool on);
    // The value scale over each map's own range rather than the full one.
    bool OwnRangeColours() const;
    void SetOwnRangeColours(bool on);
    // The colours a body map is shown in now.
    CellColours::ColourScale ColourScaleOf(MapKey body) const;

    // "Set &Fuel/Timing Grid Font...": asks for a font, stores it in the
    // preferences and applies it while a map panel is shown.
    void SetGridFontFromDialog(const GridFont::FontPicker &pick);

    GridCellEditing &editing() const { return *m_editing; }
    GridBlockCommands &blocks() const { return *m_blocks; }
    GridCompareMarks &compareMarks() const { return *m_compareMarks; }
    // The grid's own popup of the cell commands.
    QMenu *cellMenu() const { return mnuCell; }

    // What the jobs share: the map on show and its current cell.
    std::optional<MapKey> ShownMap() const;
    // The current cell of the map on show and the map that holds its value
    // (the body or one of its axes); nothing for the corner or no map.
    struct MapCell
    {
        MapKey body;
        int row = 0;
        int col = 0;
        GridRules::CellPlace place;
        MapKey map;
    };
    std::optional<MapCell> CurrentMapCell() const;
    // The selection's bounding rectangle in grid rows and columns (the
    // current cell when nothing is selected).
    BlockOps::Rect SelectionRect() const;
    // Shows a cell's new value while body is on show; a body cell also takes
    // the scale colour of its value (a trace point's green is replaced).
    void ShowCell(MapKey body, int row, int col);

    MapGridView *grid() const { return MapGrid; }
    MapGridModel *gridModel() const { return m_model; }
    FieldEdit *cellEditor() const;
    QLabel *labelX() const { return LabelX; }
    QLabel *labelY() const { return LabelY; }
    QWidget *legend() const;
    // The cell width w of the last fill or resize, in twips.
    int cellWidthTwips() const { return m_w; }

    int currentRow() const;
    int currentCol() const;
    void setCurrentCell(int row, int col);

    QSize sizeHint() const override;

signals:
    // The current cell or the selection moved (the cell commands follow).
    void currentCellChanged();
    // The colour scheme or its range was chosen anew.
    void coloursChanged();
    // A word for the status line (a key that did not do what it may have
    // been meant to).
    void notice(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    CellColours::Scheme scheme() const;
    void coloursChosen();
    QColor cellColour(int raw, bool timing) const;
    QColor traceColour() const;
    void layoutPanel();
    void recomputeCellWidth();
    void applyColumnWidths();
    void applyRowHeights();
    int labelYWidth() const;
    void popUpCellMenu(const QPoint &globalPos);

    EditSession &m_edits;
    const TraceMarks &m_marks;
    EditorSettings &m_prefs;

    int m_w = 0;

    QLabel *LabelX = nullptr;
    QLabel *LabelY = nullptr;
    MapGridView *MapGrid = nullptr;
    MapGridModel *m_model = nullptr;
    GridLegend *picLegend = nullptr;
    CellColours::ColourScale m_scale;
    QMenu *mnuCell = nullptr;

    std::unique_ptr<GridCompareMarks> m_compareMarks;
    std::unique_ptr<GridCellEditing> m_editing;
    std::unique_ptr<GridBlockCommands> m_blocks;
};
