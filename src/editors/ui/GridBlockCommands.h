#pragma once

#include "editors/BlockOperations.h"

#include <QList>
#include <QObject>
#include <QString>
#include <map>

class CVFuelTimingDlg;
class EditSession;
class MessageBoxService;
class QAction;

// The map grid's commands on the selected cells: the block operations (set,
// add, subtract, scale, interpolate, smooth), spreadsheet copy and paste, and
// taking cells from a compared tune. Each is one undo step, every changed
// run of adjacent entries one real-time frame.
class GridBlockCommands : public QObject
{
    Q_OBJECT
public:
    GridBlockCommands(CVFuelTimingDlg &panel, EditSession &edits, MessageBoxService &messages);

    QList<QAction *> BlockActions() const;
    // Copy, Paste, Copy Map with Axes, Take Cells from Compared Tune.
    QList<QAction *> ClipboardActions() const;
    QAction *blockAction(BlockOps::Op op) const;
    QAction *copyAction() const { return mnuCellCopy; }
    QAction *pasteAction() const { return mnuCellPaste; }
    QAction *copyMapAction() const { return mnuCellCopyMap; }
    QAction *takeCompareAction() const { return mnuCellTakeCompare; }

    // A block operation on the selected cells (the current cell when none is
    // selected); false (with a message) when the selection does not suit it.
    bool RunBlock(BlockOps::Op op, double value = 0);
    // The menu command: asks for the number first where the operation needs one.
    void BlockCommand(BlockOps::Op op);

    // The selection (or the whole map with its axes) as tab-separated values
    // on the clipboard; paste of tab- or comma-separated text at the top-left
    // selected cell, refused as a whole with a message naming the first bad
    // cell.
    QString CopySelection();
    QString CopyMapWithAxes();
    bool PasteText(const QString &text);
    void Paste();
    // Takes the selected cells' values from the compared tune (one undo step).
    bool TakeSelectedFromCompare();

private:
    void buildActions();
    // Commits the planned cell values as one step and refreshes the grid.
    void applyPlan(MapKey body, const BlockOps::Plan &plan);

    CVFuelTimingDlg &m_panel;
    EditSession &m_edits;
    MessageBoxService &m_messages;

    std::map<BlockOps::Op, QAction *> m_blockActions;
    QAction *mnuCellCopy = nullptr;
    QAction *mnuCellPaste = nullptr;
    QAction *mnuCellCopyMap = nullptr;
    QAction *mnuCellTakeCompare = nullptr;
};
