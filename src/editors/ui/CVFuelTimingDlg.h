#pragma once

#include "editors/BlockOperations.h"
#include "editors/CellColours.h"
#include "editors/ui/GridFont.h"
#include "editors/GridRules.h"
#include "shell/Panels.h"

#include <QWidget>
#include <functional>
#include <map>
#include <optional>

class EditorSettings;
class EditSession;
class FieldEdit;
class MapGridModel;
class MapGridView;
class MessageBoxService;
class QAction;
class QLabel;
class QMenu;
class Tune;
struct ProgramState;

// The editing panel of the six 16 x 16 maps (panel indexes 7..12): the map
// of the current panel index in a 17 x 17 grid with its RPM axis in column 0
// and its TP axis in row 0, every body cell coloured by its raw byte, and the
// live trace of the engine's operating point in green. The widget itself is
// the panel's container; the main window places it and adds the "&Cell" menu
// (cellMenu()) to its menu bar.
//
// Every accepted change is committed through the edit session: it goes
// straight into the tune, in real-time mode to the box at once as well.
//
// The class's work is spread over files by job: the panel itself (this
// header's .cpp: layout, fill, live trace), its cell menu and keys, the
// in-place editor, the block tools and clipboard, and the compare marks.
class CVFuelTimingDlg : public QWidget, public GridPanel
{
    Q_OBJECT
public:
    CVFuelTimingDlg(EditSession &edits, EditorSettings &prefs, MessageBoxService &messages,
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
    // Clears the trace points of the three traced maps (HOFM, HOHGFM, HOTM)
    // and refills the grid when one of them is on screen.
    void ClearRTState() override;

    // The grid's key handler ('+', '-', 13 for Enter); the cell menu calls it.
    void m_MapGrid_KeyPress(int keyAscii);
    // Switches the current body cell between open and closed loop.
    void CellLoop();
    // Refills the grid so cleared trace points lose their green.
    void ClearDataPoints();
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

    // "Set &Fuel/Timing Grid Font...": asks for a font, stores it in the
    // preferences and applies it while a map panel is shown.
    void SetGridFontFromDialog(const GridFont::FontPicker &pick);

    // The main window's "&Cell" menu and its items.
    QMenu *cellMenu() const { return mnuCell; }
    QAction *incrementAction() const { return mnuCellIncrement; }
    QAction *decrementAction() const { return mnuCellDecrement; }
    QAction *editAction() const { return mnuCellEdit; }
    QAction *loopAction() const { return mnuCellLoop; }

    // Block tools on the selected cells (the current cell when none is
    // selected): one undo step each, every changed run of adjacent entries one
    // real-time frame. False (with a message) when the selection does not
    // suit the operation.
    bool RunBlock(BlockOps::Op op, double value = 0);
    // The menu command: asks for the number first where the operation needs one.
    void BlockCommand(BlockOps::Op op);
    // Asks for a block operation's number; nothing when the user cancels.
    std::function<std::optional<double>(const QString &title, const QString &label)> askValue;
    // The selection's bounding rectangle in grid rows and columns.
    BlockOps::Rect SelectionRect() const;

    // The selection (or the whole map with its axes) as tab-separated values
    // on the clipboard; paste of tab- or comma-separated text at the top-left
    // selected cell, refused as a whole with a message naming the first bad cell.
    QString CopySelection();
    QString CopyMapWithAxes();
    bool PasteText(const QString &text);
    void Paste();

    // A second tune to compare with: cells whose raw value differs are
    // outlined and show the other tune's value in their tooltip. nullptr ends it.
    void SetCompareTune(const Tune *other, const QString &name = QString());
    bool IsComparing() const { return m_compare != nullptr; }
    // Takes the selected cells' values from the compared tune (one undo step).
    bool TakeSelectedFromCompare();

    QAction *blockAction(BlockOps::Op op) const;
    QAction *copyAction() const { return mnuCellCopy; }
    QAction *pasteAction() const { return mnuCellPaste; }
    QAction *copyMapAction() const { return mnuCellCopyMap; }
    QAction *takeCompareAction() const { return mnuCellTakeCompare; }

    MapGridView *grid() const { return MapGrid; }
    MapGridModel *gridModel() const { return m_model; }
    FieldEdit *cellEditor() const { return editGridCell; }
    QLabel *labelX() const { return LabelX; }
    QLabel *labelY() const { return LabelY; }
    QWidget *legend() const { return picLegend; }
    // The cell width w of the last fill or resize, in twips.
    int cellWidthTwips() const { return m_w; }

    int currentRow() const;
    int currentCol() const;
    void setCurrentCell(int row, int col);

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The body map of the current panel index; nothing away from the maps.
    std::optional<MapKey> shownMap() const;
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
    std::optional<MapCell> currentMapCell() const;

    void buildLegend();
    void paintLegend();
    CellColours::Scheme scheme() const;
    QColor cellColour(int raw, bool timing) const;
    QColor traceColour() const;
    void buildCellMenu();
    void layoutPanel();
    void recomputeCellWidth();
    void applyColumnWidths();
    int labelYWidth() const;

    // How the editor starts: with the cell's value all selected (Enter,
    // double click, the menu), with the value and the cursor behind it (F2),
    // or with the character typed on the grid.
    enum class EditStart { SelectValue, AppendToValue, Typed };
    void openCellEditor(EditStart start = EditStart::SelectValue, const QString &typed = QString());
    void placeCellEditor();
    bool validateCellEditor();
    // giveGridFocus: the grid takes the keyboard (the user ended the edit).
    void closeCellEditor(bool giveGridFocus = false);

    bool setCellValueAt(MapKey body, int row, int col, double value, bool showMessage);
    // Shows a cell's new value while body is on show.
    void showCell(MapKey body, int row, int col);
    void UpdateCellMenu();
    void popUpCellMenu(const QPoint &globalPos);
    void buildBlockMenu();
    void markComparedCells();
    // Commits the planned cell values as one step and refreshes the grid.
    void applyPlan(MapKey body, const BlockOps::Plan &plan);

    EditSession &m_edits;
    ProgramState &m_state;
    EditorSettings &m_prefs;
    MessageBoxService &m_messages;

    int m_w = 0;

    QLabel *LabelX = nullptr;
    QLabel *LabelY = nullptr;
    MapGridView *MapGrid = nullptr;
    MapGridModel *m_model = nullptr;
    FieldEdit *editGridCell = nullptr;
    QWidget *picLegend = nullptr;

    QMenu *mnuCell = nullptr;
    QAction *mnuCellIncrement = nullptr;
    QAction *mnuCellDecrement = nullptr;
    QAction *mnuCellEdit = nullptr;
    QAction *mnuCellLoop = nullptr;
    std::map<BlockOps::Op, QAction *> m_blockActions;
    QAction *mnuCellCopy = nullptr;
    QAction *mnuCellPaste = nullptr;
    QAction *mnuCellCopyMap = nullptr;
    QAction *mnuCellTakeCompare = nullptr;

    const Tune *m_compare = nullptr;
    QString m_compareName;

    // The cell the in-place editor edits, fixed when it opens.
    MapKey m_editMap = MapKey::HOFM;
    int m_editRow = 0;
    int m_editCol = 0;
    bool m_closingEditor = false;
};
