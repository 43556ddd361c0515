#include "editors/ui/GridCellEditing.h"

#include "editors/EditSession.h"
#include "editors/NumericInput.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "model/Tune.h"
#include "platform/MessageBoxService.h"
#include "platform/ui/Actions.h"

#include <QScrollBar>

#include <utility>

using namespace GridRules;

GridCellEditing::GridCellEditing(CVFuelTimingDlg &panel, EditSession &edits, MessageBoxService &messages)
    : m_panel(panel), m_edits(edits), m_messages(messages)
{
    MapGridView *grid = panel.grid();
    editGridCell = new FieldEdit(grid->viewport());
    editGridCell->setObjectName(QStringLiteral("editGridCell"));
    editGridCell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    editGridCell->setFrame(false);
    editGridCell->hide();
    editGridCell->setValidation([this] { return validateEditor(); });
    connect(editGridCell, &FieldEdit::escapePressed, this, [this] { closeEditor(true); });

    mnuCellIncrement = NewAction(&panel, QStringLiteral("&Increment"), "mnuCellIncrement");
    mnuCellDecrement = NewAction(&panel, QStringLiteral("&Decrement"), "mnuCellDecrement");
    mnuCellEdit = NewAction(&panel, QStringLiteral("&Edit Value..."), "mnuCellEdit");
    mnuCellLoop = NewAction(&panel, QStringLiteral("&Switch to closed loop"), "mnuCellLoop");
    connect(mnuCellIncrement, &QAction::triggered, this, &GridCellEditing::Increment);
    connect(mnuCellDecrement, &QAction::triggered, this, &GridCellEditing::Decrement);
    connect(mnuCellEdit, &QAction::triggered, this, &GridCellEditing::EditValue);
    connect(mnuCellLoop, &QAction::triggered, this, &GridCellEditing::SwitchLoop);

    connect(grid, &MapGridView::characterTyped, this, &GridCellEditing::TypedKey);
    connect(grid, &MapGridView::editKeyPressed, this, [this, grid] {
        if (!IsEditing() && !grid->hasMultiCellSelection())
            openEditor(EditStart::AppendToValue);
    });
    connect(grid, &QAbstractItemView::doubleClicked, this, [this] { openEditor(); });
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridCellEditing::PlaceEditor);
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, &GridCellEditing::PlaceEditor);
    connect(&panel, &CVFuelTimingDlg::currentCellChanged, this, &GridCellEditing::showLoopCaption);
}

GridCellEditing::~GridCellEditing()
{
    // The editor must not check its text while the panel is going away.
    editGridCell->setValidation({});
}

QList<QAction *> GridCellEditing::Actions() const
{
    return {mnuCellIncrement, mnuCellDecrement, mnuCellEdit, mnuCellLoop};
}

// --- Keys, steps and the loop switch -----------------------------------------

bool GridCellEditing::singleCell()
{
    if (!m_panel.grid()->hasMultiCellSelection())
        return true;
    m_messages.exclamation(m_panel.window(), QStringLiteral("Please select a single cell for this operation."));
    return false;
}

void GridCellEditing::KeyPress(int keyAscii)
{
    if (IsEditing() || !singleCell())
        return;
    if (!m_panel.CurrentMapCell())
        return; // the corner, or no map on show
    if (keyAscii == '+' || keyAscii == '-') {
        step(keyAscii == '+' ? 1 : -1);
    } else if (keyAscii == 13) {
        EditValue();
    }
}

void GridCellEditing::TypedKey(int keyAscii)
{
    const std::optional<MinusStep> stepped = std::exchange(m_minusStepped, std::nullopt);
    const std::optional<CVFuelTimingDlg::MapCell> cell = m_panel.CurrentMapCell();
    const bool number = (keyAscii >= '0' && keyAscii <= '9') || keyAscii == '.';
    if (IsEditing() || !cell || (!number && keyAscii != '-')) {
        KeyPress(keyAscii);
        return;
    }
    if (m_edits.RealTime()) {
        if (number)
            emit notice(QStringLiteral("Real-time mode is on: + and - step the value and each step is written at "
                                       "once. Switch real-time mode off to type a value."));
        else
            KeyPress(keyAscii);
        return;
    }
    const int raw = m_edits.tune().map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col));
    if (keyAscii == '-' && !TakesNegativeValues(cell->place, IsTimingMap(cell->body), raw)) {
        KeyPress(keyAscii);
        if (!m_panel.grid()->hasMultiCellSelection())
            m_minusStepped = MinusStep{cell->body, cell->row, cell->col};
        return;
    }
    if (!singleCell())
        return;
    // A number typed right after a "-" step on a cell without negative
    // numbers: the sign went into the step, and the tuner is told so.
    if (stepped && stepped->body == cell->body && stepped->row == cell->row && stepped->col == cell->col)
        emit notice(QStringLiteral("The \"-\" stepped the value down: this cell takes no negative numbers."));
    openEditor(EditStart::Typed, QString(QChar(keyAscii)));
}

void GridCellEditing::step(int delta)
{
    if (IsEditing() || !singleCell())
        return;
    const std::optional<CVFuelTimingDlg::MapCell> cell = m_panel.CurrentMapCell();
    if (!cell)
        return;
    const int raw = m_edits.tune().map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col));
    setCellValueAt(cell->body, cell->row, cell->col, StepValue(cell->place, raw, delta), false);
}

void GridCellEditing::EditValue()
{
    if (!IsEditing() && singleCell() && !m_edits.RealTime())
        openEditor();
}

void GridCellEditing::SwitchLoop()
{
    if (IsEditing())
        return;
    const std::optional<CVFuelTimingDlg::MapCell> cell = m_panel.CurrentMapCell();
    if (!cell || cell->place != CellPlace::Body)
        return;
    const int entry = EntryIndexOf(cell->row, cell->col);
    const int raw = LoopSwitchedRaw(m_edits.tune().map(cell->body).MapValue(entry), IsTimingMap(cell->body));
    m_edits.CommitValue(ItemOfMap(cell->body), entry, raw, [&] {
        mnuCellLoop->setText(LoopCaption(raw));
        m_panel.ShowCell(cell->body, cell->row, cell->col);
    });
}

bool GridCellEditing::SetCellValue(double value, bool showMessage)
{
    const std::optional<MapKey> body = m_panel.ShownMap();
    return body && setCellValueAt(*body, m_panel.currentRow(), m_panel.currentCol(), value, showMessage);
}

bool GridCellEditing::setCellValueAt(MapKey body, int row, int col, double value, bool showMessage)
{
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(body, place);
    if (!key)
        return false;
    const int entry = EntryIndexOf(row, col);
    const CellCommit commit = CommitCellValue(place, IsTimingMap(body), m_edits.tune().map(*key).MapValue(entry), value);
    if (!commit.accepted) {
        if (showMessage)
            m_messages.critical(m_panel.window(), NumericInput::RangeMessage(commit.low, commit.high));
        return false;
    }
    m_edits.CommitValue(ItemOfMap(*key), entry, commit.newRaw, [&] { m_panel.ShowCell(body, row, col); });
    showLoopCaption();
    return true;
}

void GridCellEditing::showLoopCaption()
{
    const std::optional<CVFuelTimingDlg::MapCell> cell = m_panel.CurrentMapCell();
    if (cell && cell->place == CellPlace::Body)
        mnuCellLoop->setText(LoopCaption(m_edits.tune().map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col))));
}

// --- The in-place editor ---------------------------------------------------------

bool GridCellEditing::IsEditing() const
{
    return !editGridCell->isHidden();
}

void GridCellEditing::TreeReceivedFocus()
{
    if (IsEditing())
        editGridCell->setFocus(Qt::OtherFocusReason);
}

void GridCellEditing::DropEdit()
{
    if (IsEditing())
        closeEditor();
}

void GridCellEditing::openEditor(EditStart start, const QString &typed)
{
    if (IsEditing() || m_edits.RealTime())
        return;
    const std::optional<CVFuelTimingDlg::MapCell> cell = m_panel.CurrentMapCell();
    if (!cell)
        return;

    m_editMap = cell->body;
    m_editRow = cell->row;
    m_editCol = cell->col;
    const int raw = m_edits.tune().map(cell->map).MapValue(EntryIndexOf(cell->row, cell->col));
    editGridCell->setMaxLength(EditorMaxLength(cell->place));
    editGridCell->setText(start == EditStart::Typed ? typed : CellText(cell->place, raw, IsTimingMap(cell->body)));
    m_panel.grid()->setInputBlocked(true);
    editGridCell->show();
    PlaceEditor();
    editGridCell->raise();
    editGridCell->setFocus(Qt::OtherFocusReason);
    if (start == EditStart::SelectValue)
        editGridCell->selectAll();
    else
        editGridCell->end(false);
}

void GridCellEditing::PlaceEditor()
{
    if (!IsEditing())
        return;
    MapGridView *grid = m_panel.grid();
    const QRect cell = grid->visualRect(m_panel.gridModel()->index(m_editRow, m_editCol));
    editGridCell->setGeometry(cell.x(), cell.y(), grid->columnWidth(m_editCol), cell.height());
}

bool GridCellEditing::validateEditor()
{
    if (m_closingEditor)
        return true; // the edit is being dropped or is done

    const std::optional<double> value = NumericInput::ParseDecimalText(editGridCell->text(), true);
    if (!value) {
        m_messages.critical(m_panel.window(), NumericInput::NotNumericMessage());
        editGridCell->selectAll();
        return false;
    }
    if (!setCellValueAt(m_editMap, m_editRow, m_editCol, *value, true)) {
        editGridCell->selectAll();
        return false;
    }
    const bool hadFocus = editGridCell->hasFocus();
    closeEditor(hadFocus);
    return true;
}

void GridCellEditing::closeEditor(bool giveGridFocus)
{
    // The grid takes the focus before the editor goes: hiding the box that
    // holds the focus would first pass it on to the next control of the
    // window (the tree), which may act on it.
    m_closingEditor = true;
    if (giveGridFocus)
        m_panel.grid()->setFocus(Qt::OtherFocusReason);
    editGridCell->hide();
    m_closingEditor = false;
    m_panel.grid()->setInputBlocked(false);
}
