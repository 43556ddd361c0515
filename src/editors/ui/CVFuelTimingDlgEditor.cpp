// The map grid's in-place editor: the text box laid over the current cell,
// checked when Enter is pressed and whenever it is about to lose the focus.

#include "editors/ui/CVFuelTimingDlg.h"

#include "editors/NumericInput.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"

using namespace GridRules;

bool CVFuelTimingDlg::IsEditingMap() const
{
    return !editGridCell->isHidden();
}

void CVFuelTimingDlg::TreeReceivedFocus()
{
    if (IsEditingMap())
        editGridCell->setFocus(Qt::OtherFocusReason);
}

void CVFuelTimingDlg::openCellEditor(EditStart start, const QString &typed)
{
    if (IsEditingMap() || m_state.RealTimeEnabled)
        return;
    const std::optional<MapCell> cell = currentMapCell();
    if (!cell)
        return;

    m_editMap = cell->body;
    m_editRow = cell->row;
    m_editCol = cell->col;
    const int raw = m_state.tune.map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col));
    editGridCell->setMaxLength(EditorMaxLength(cell->place));
    editGridCell->setText(start == EditStart::Typed ? typed : CellText(cell->place, raw, IsTimingMap(cell->body)));
    MapGrid->setInputBlocked(true);
    editGridCell->show();
    placeCellEditor();
    editGridCell->raise();
    editGridCell->setFocus(Qt::OtherFocusReason);
    if (start == EditStart::SelectValue)
        editGridCell->selectAll();
    else
        editGridCell->end(false);
}

void CVFuelTimingDlg::placeCellEditor()
{
    if (!IsEditingMap())
        return;
    const QRect cell = MapGrid->visualRect(m_model->index(m_editRow, m_editCol));
    editGridCell->setGeometry(cell.x(), cell.y(), MapGrid->columnWidth(m_editCol), cell.height());
}

bool CVFuelTimingDlg::validateCellEditor()
{
    if (m_closingEditor)
        return true; // the edit is being dropped or is done

    const std::optional<double> value = NumericInput::ParseDecimalText(editGridCell->text(), true);
    if (!value) {
        m_messages.critical(window(), NumericInput::NotNumericMessage());
        editGridCell->selectAll();
        return false;
    }
    if (!setCellValueAt(m_editMap, m_editRow, m_editCol, *value, true)) {
        editGridCell->selectAll();
        return false;
    }
    const bool hadFocus = editGridCell->hasFocus();
    closeCellEditor(hadFocus);
    return true;
}

void CVFuelTimingDlg::closeCellEditor(bool giveGridFocus)
{
    // The grid takes the focus before the editor goes: hiding the box that
    // holds the focus would first pass it on to the next control of the
    // window (the tree), which may act on it.
    m_closingEditor = true;
    if (giveGridFocus)
        MapGrid->setFocus(Qt::OtherFocusReason);
    editGridCell->hide();
    m_closingEditor = false;
    MapGrid->setInputBlocked(false);
}
