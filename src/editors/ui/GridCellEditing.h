#pragma once

#include "editors/GridRules.h"

#include <QList>
#include <QObject>
#include <QString>

class CVFuelTimingDlg;
class EditSession;
class FieldEdit;
class MessageBoxService;
class QAction;

// Editing the map grid's current cell: the keys typed on the grid, the steps
// up and down, the in-place editor (editGridCell) laid over the cell and
// checked when Enter is pressed and whenever it is about to lose the focus,
// and the open/closed-loop switch of a body cell. Each accepted value goes
// into the tune through the edit session. The cell items of the "&Cell" menu
// call the named operations.
class GridCellEditing : public QObject
{
    Q_OBJECT
signals:
    // A word for the status line about a key that did not do what it may
    // have been meant to.
    void notice(const QString &text);

public:
    GridCellEditing(CVFuelTimingDlg &panel, EditSession &edits, MessageBoxService &messages);
    ~GridCellEditing() override;

    // "&Increment", "&Decrement", "&Edit Value..." and the loop item.
    QList<QAction *> Actions() const;
    QAction *incrementAction() const { return mnuCellIncrement; }
    QAction *decrementAction() const { return mnuCellDecrement; }
    QAction *editAction() const { return mnuCellEdit; }
    QAction *loopAction() const { return mnuCellLoop; }
    FieldEdit *Editor() const { return editGridCell; }

    // The grid's key handler (the cell menu's too): "+" and "-" step the
    // current cell, Enter opens the editor.
    void KeyPress(int keyAscii);
    // A key typed on the grid: a digit or the point opens the editor holding
    // it, and so does "-" on a cell that takes negative numbers; in
    // real-time mode, where no value is typed, the status line says so.
    void TypedKey(int keyAscii);
    void Increment() { step(1); }
    void Decrement() { step(-1); }
    // Opens the in-place editor on the current cell (not in real-time mode).
    void EditValue();
    // Switches the current body cell between open and closed loop.
    void SwitchLoop();
    // Commits value to the current cell (see CVFuelTimingDlg::SetCellValue).
    bool SetCellValue(double value, bool showMessage);

    bool IsEditing() const;
    // The tree took the focus: an open editor takes it back.
    void TreeReceivedFocus();
    // Drops an open edit (the grid is refilled for another map).
    void DropEdit();
    // Lays the editor over its cell again (a resize, a scroll, a new font).
    void PlaceEditor();

private:
    // How the editor starts: with the cell's value all selected (Enter,
    // double click, the menu), with the value and the cursor behind it (F2),
    // or with the character typed on the grid.
    enum class EditStart { SelectValue, AppendToValue, Typed };
    void openEditor(EditStart start = EditStart::SelectValue, const QString &typed = QString());
    bool validateEditor();
    // giveGridFocus: the grid takes the keyboard (the user ended the edit).
    void closeEditor(bool giveGridFocus = false);
    bool setCellValueAt(MapKey body, int row, int col, double value, bool showMessage);
    void step(int delta);
    // Only a single cell can be stepped or typed into; false (with the
    // message) for a selection of several.
    bool singleCell();
    void showLoopCaption();
    // The sign typed as a step just before: the cell it stepped.
    struct MinusStep
    {
        MapKey body;
        int row, col;
    };
    std::optional<MinusStep> m_minusStepped;

    CVFuelTimingDlg &m_panel;
    EditSession &m_edits;
    MessageBoxService &m_messages;

    FieldEdit *editGridCell = nullptr;
    QAction *mnuCellIncrement = nullptr;
    QAction *mnuCellDecrement = nullptr;
    QAction *mnuCellEdit = nullptr;
    QAction *mnuCellLoop = nullptr;

    // The cell the in-place editor edits, fixed when it opens.
    MapKey m_editMap = MapKey::HOFM;
    int m_editRow = 0;
    int m_editCol = 0;
    bool m_closingEditor = false;
};
