// The map grid's cell menu and keys: stepping, typing and loop switching of
// the current cell, committed through the edit session.

#include "editors/ui/CVFuelTimingDlg.h"

#include "editors/EditSession.h"
#include "editors/NumericInput.h"
#include "editors/ui/MapGridView.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"

#include <QAction>
#include <QMenu>

using namespace GridRules;

void CVFuelTimingDlg::buildCellMenu()
{
    mnuCell = new QMenu(QStringLiteral("&Cell"), this);
    mnuCell->setObjectName(QStringLiteral("mnuCell"));
    mnuCellIncrement = mnuCell->addAction(QStringLiteral("&Increment"));
    mnuCellIncrement->setObjectName(QStringLiteral("mnuCellIncrement"));
    mnuCellDecrement = mnuCell->addAction(QStringLiteral("&Decrement"));
    mnuCellDecrement->setObjectName(QStringLiteral("mnuCellDecrement"));
    mnuCellEdit = mnuCell->addAction(QStringLiteral("&Edit Value..."));
    mnuCellEdit->setObjectName(QStringLiteral("mnuCellEdit"));
    mnuCellLoop = mnuCell->addAction(QStringLiteral("&Switch to closed loop"));
    mnuCellLoop->setObjectName(QStringLiteral("mnuCellLoop"));
    connect(mnuCellIncrement, &QAction::triggered, this, [this] { m_MapGrid_KeyPress('+'); });
    connect(mnuCellDecrement, &QAction::triggered, this, [this] { m_MapGrid_KeyPress('-'); });
    connect(mnuCellEdit, &QAction::triggered, this, [this] { m_MapGrid_KeyPress(13); });
    connect(mnuCellLoop, &QAction::triggered, this, [this] { CellLoop(); });
}

bool CVFuelTimingDlg::SetCellValue(double value, bool showMessage)
{
    const std::optional<MapKey> body = shownMap();
    return body && setCellValueAt(*body, currentRow(), currentCol(), value, showMessage);
}

bool CVFuelTimingDlg::setCellValueAt(MapKey body, int row, int col, double value, bool showMessage)
{
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(body, place);
    if (!key)
        return false;
    const int entry = EntryIndexOf(row, col);
    const CellCommit commit = CommitCellValue(place, IsTimingMap(body), m_state.tune.map(*key).MapValue(entry), value);
    if (!commit.accepted) {
        if (showMessage)
            m_messages.critical(window(), NumericInput::RangeMessage(commit.low, commit.high));
        return false;
    }
    m_edits.CommitValue(ItemOfMap(*key), entry, commit.newRaw, [&] { showCell(body, row, col); });
    UpdateCellMenu();
    return true;
}

void CVFuelTimingDlg::m_MapGrid_KeyPress(int keyAscii)
{
    if (IsEditingMap())
        return;
    if (MapGrid->hasMultiCellSelection()) {
        m_messages.exclamation(window(), QStringLiteral("Please select a single cell for this operation."));
        return;
    }
    const std::optional<MapCell> cell = currentMapCell();
    if (!cell)
        return; // the corner, or no map on show

    if (keyAscii == '+' || keyAscii == '-') {
        const int raw = m_state.tune.map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col));
        setCellValueAt(cell->body, cell->row, cell->col, StepValue(cell->place, raw, keyAscii == '+' ? 1 : -1),
                       false);
    } else if (keyAscii == 13) {
        if (!m_state.RealTimeEnabled)
            openCellEditor();
    } else if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == '.') {
        // Typing a number starts the editor with what was typed ("-" keeps
        // its step; a negative value is typed after Enter or F2).
        if (!m_state.RealTimeEnabled)
            openCellEditor(EditStart::Typed, QString(QChar(keyAscii)));
    }
}

void CVFuelTimingDlg::CellLoop()
{
    if (IsEditingMap())
        return;
    const std::optional<MapKey> body = shownMap();
    const int row = currentRow();
    const int col = currentCol();
    if (!body || PlaceOf(row, col) != CellPlace::Body)
        return;
    const int entry = EntryIndexOf(row, col);
    const int raw = LoopSwitchedRaw(m_state.tune.map(*body).MapValue(entry), IsTimingMap(*body));
    m_edits.CommitValue(ItemOfMap(*body), entry, raw, [&] {
        mnuCellLoop->setText(LoopCaption(raw));
        showCell(*body, row, col);
    });
}

void CVFuelTimingDlg::UpdateCellMenu()
{
    const std::optional<MapCell> cell = currentMapCell();
    if (!cell) {
        mnuCellIncrement->setEnabled(false);
        mnuCellDecrement->setEnabled(false);
        mnuCellEdit->setEnabled(false);
        mnuCellLoop->setEnabled(false);
        return;
    }
    mnuCellIncrement->setEnabled(true);
    mnuCellDecrement->setEnabled(true);
    mnuCellEdit->setEnabled(!m_state.RealTimeEnabled);
    mnuCellLoop->setEnabled(false);
    if (cell->place == CellPlace::Body) {
        mnuCellLoop->setEnabled(true);
        mnuCellLoop->setText(LoopCaption(m_state.tune.map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col))));
    }
}

void CVFuelTimingDlg::popUpCellMenu(const QPoint &globalPos)
{
    if (!currentMapCell())
        return;
    mnuCell->popup(globalPos);
}
