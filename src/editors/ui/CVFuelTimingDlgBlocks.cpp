// The map grid's block tools and clipboard: operations on the selected
// cells and spreadsheet copy and paste, each committed as one step.

#include "editors/ui/CVFuelTimingDlg.h"

#include "editors/EditSession.h"
#include "editors/GridClipboard.h"
#include "editors/NumericInput.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "platform/MessageBoxService.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMenu>

#include <algorithm>

using namespace GridRules;

void CVFuelTimingDlg::buildBlockMenu()
{
    using BlockOps::Op;
    struct Entry
    {
        Op op;
        const char *name;
        QKeySequence key;
    };
    const Entry entries[] = {
        {Op::Set, "mnuCellBlockSet", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
        {Op::Add, "mnuCellBlockAdd", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)},
        {Op::Subtract, "mnuCellBlockSubtract", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U)},
        {Op::Scale, "mnuCellBlockScale", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
        {Op::InterpolateRows, "mnuCellBlockInterpRows", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)},
        {Op::InterpolateColumns, "mnuCellBlockInterpCols", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J)},
        {Op::InterpolateBilinear, "mnuCellBlockInterpCorners", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B)},
        {Op::Smooth, "mnuCellBlockSmooth", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
    };
    mnuCell->addSeparator();
    for (const Entry &e : entries) {
        QAction *a = new QAction(BlockOps::Caption(e.op), this);
        a->setObjectName(QLatin1String(e.name));
        a->setShortcut(e.key);
        const Op op = e.op;
        connect(a, &QAction::triggered, this, [this, op] { BlockCommand(op); });
        m_blockActions[e.op] = a;
        mnuCell->addAction(a);
    }
    mnuCell->addSeparator();
    mnuCellCopy = mnuCell->addAction(QStringLiteral("&Copy"));
    mnuCellCopy->setObjectName(QStringLiteral("mnuCellCopy"));
    mnuCellCopy->setShortcut(QKeySequence::Copy);
    mnuCellPaste = mnuCell->addAction(QStringLiteral("&Paste"));
    mnuCellPaste->setObjectName(QStringLiteral("mnuCellPaste"));
    mnuCellPaste->setShortcut(QKeySequence::Paste);
    mnuCellCopyMap = mnuCell->addAction(QStringLiteral("Copy &Map with Axes"));
    mnuCellCopyMap->setObjectName(QStringLiteral("mnuCellCopyMap"));
    mnuCellTakeCompare = mnuCell->addAction(QStringLiteral("&Take Cells from Compared Tune"));
    mnuCellTakeCompare->setObjectName(QStringLiteral("mnuCellTakeCompare"));
    mnuCellTakeCompare->setEnabled(false);
    for (QAction *a : {mnuCellCopy, mnuCellPaste})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(mnuCellCopy, &QAction::triggered, this, [this] { CopySelection(); });
    connect(mnuCellPaste, &QAction::triggered, this, [this] { Paste(); });
    connect(mnuCellCopyMap, &QAction::triggered, this, [this] { CopyMapWithAxes(); });
    connect(mnuCellTakeCompare, &QAction::triggered, this, [this] { TakeSelectedFromCompare(); });
    // Copy and paste belong to the grid: in the other panels' text boxes the
    // keys keep their usual meaning.
    addAction(mnuCellCopy);
    addAction(mnuCellPaste);
}

QAction *CVFuelTimingDlg::blockAction(BlockOps::Op op) const
{
    const auto it = m_blockActions.find(op);
    return it == m_blockActions.end() ? nullptr : it->second;
}

BlockOps::Rect CVFuelTimingDlg::SelectionRect() const
{
    const QItemSelectionModel *sel = MapGrid->selectionModel();
    const QModelIndexList indexes = sel ? sel->selectedIndexes() : QModelIndexList();
    if (indexes.isEmpty())
        return {currentRow(), currentCol(), currentRow(), currentCol()};
    BlockOps::Rect r{GridRows, GridCols, -1, -1};
    for (const QModelIndex &i : indexes) {
        r.top = std::min(r.top, i.row());
        r.left = std::min(r.left, i.column());
        r.bottom = std::max(r.bottom, i.row());
        r.right = std::max(r.right, i.column());
    }
    return r;
}

void CVFuelTimingDlg::BlockCommand(BlockOps::Op op)
{
    using BlockOps::Op;
    if (IsEditingMap() || !shownMap())
        return;
    double value = 0;
    if (op == Op::Set || op == Op::Add || op == Op::Subtract || op == Op::Scale) {
        const QString title = BlockOps::Caption(op).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
        const QString label = op == Op::Scale ? QStringLiteral("Percentage (100 keeps the values):")
                                              : QStringLiteral("Value:");
        std::optional<double> asked;
        if (askValue) {
            asked = askValue(title, label);
        } else {
            bool ok = false;
            const QString text = QInputDialog::getText(window(), title, label, QLineEdit::Normal, QString(), &ok);
            if (!ok)
                return;
            asked = NumericInput::ParseDecimalText(text.trimmed(), true);
            if (!asked) {
                m_messages.critical(window(), NumericInput::NotNumericMessage());
                return;
            }
        }
        if (!asked)
            return;
        value = *asked;
    }
    RunBlock(op, value);
}

bool CVFuelTimingDlg::RunBlock(BlockOps::Op op, double value)
{
    const std::optional<MapKey> body = shownMap();
    if (IsEditingMap() || !body)
        return false;
    const BlockOps::Plan plan = BlockOps::PlanBlock(m_edits.tune(), *body, SelectionRect(), op, value);
    if (!plan.ok) {
        if (!plan.message.isEmpty())
            m_messages.exclamation(window(), plan.message);
        return false;
    }
    applyPlan(*body, plan);
    return true;
}

void CVFuelTimingDlg::applyPlan(MapKey body, const BlockOps::Plan &plan)
{
    if (plan.writes.empty())
        return; // nothing changes: no step, no traffic
    m_edits.CommitValues(BlockOps::ItemWrites(body, plan), plan.label, [&] {
        for (const BlockOps::CellWrite &w : plan.writes)
            showCell(body, w.row, w.col);
        markComparedCells();
    });
    UpdateCellMenu();
}

QString CVFuelTimingDlg::CopySelection()
{
    const std::optional<MapKey> body = shownMap();
    if (!body)
        return {};
    const QString text = GridClipboard::CopyText(m_edits.tune(), *body, SelectionRect());
    QGuiApplication::clipboard()->setText(text);
    return text;
}

QString CVFuelTimingDlg::CopyMapWithAxes()
{
    const std::optional<MapKey> body = shownMap();
    if (!body)
        return {};
    const QString text = GridClipboard::MapText(m_edits.tune(), *body);
    QGuiApplication::clipboard()->setText(text);
    return text;
}

bool CVFuelTimingDlg::PasteText(const QString &text)
{
    const std::optional<MapKey> body = shownMap();
    if (IsEditingMap() || !body)
        return false;
    const BlockOps::Rect at = SelectionRect();
    const BlockOps::Plan plan =
        GridClipboard::PlanPaste(m_edits.tune(), *body, at.top, at.left, GridClipboard::ParseTable(text));
    if (!plan.ok) {
        m_messages.critical(window(), plan.message);
        return false;
    }
    applyPlan(*body, plan);
    return true;
}

void CVFuelTimingDlg::Paste()
{
    PasteText(QGuiApplication::clipboard()->text());
}
