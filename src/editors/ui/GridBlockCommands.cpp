#include "editors/ui/GridBlockCommands.h"

#include "editors/ComparePlan.h"
#include "editors/EditSession.h"
#include "editors/GridClipboard.h"
#include "editors/NumericInput.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridCompareMarks.h"
#include "platform/MessageBoxService.h"
#include "platform/ui/Actions.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace GridRules;

GridBlockCommands::GridBlockCommands(CVFuelTimingDlg &panel, EditSession &edits, MessageBoxService &messages)
    : m_panel(panel), m_edits(edits), m_messages(messages)
{
    buildActions();
}

void GridBlockCommands::buildActions()
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
    for (const Entry &e : entries) {
        QAction *a = NewAction(&m_panel, BlockOps::Caption(e.op), e.name);
        a->setShortcut(e.key);
        const Op op = e.op;
        connect(a, &QAction::triggered, this, [this, op] { BlockCommand(op); });
        m_blockActions[e.op] = a;
    }
    mnuCellCopy = NewAction(&m_panel, QStringLiteral("&Copy"), "mnuCellCopy");
    mnuCellCopy->setShortcut(QKeySequence::Copy);
    mnuCellPaste = NewAction(&m_panel, QStringLiteral("&Paste"), "mnuCellPaste");
    mnuCellPaste->setShortcut(QKeySequence::Paste);
    mnuCellCopyMap = NewAction(&m_panel, QStringLiteral("Copy &Map with Axes"), "mnuCellCopyMap");
    mnuCellTakeCompare = NewAction(&m_panel, QStringLiteral("&Take Cells from Compared Tune"), "mnuCellTakeCompare");
    for (QAction *a : {mnuCellCopy, mnuCellPaste})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(mnuCellCopy, &QAction::triggered, this, [this] { CopySelection(); });
    connect(mnuCellPaste, &QAction::triggered, this, [this] { Paste(); });
    connect(mnuCellCopyMap, &QAction::triggered, this, [this] { CopyMapWithAxes(); });
    connect(mnuCellTakeCompare, &QAction::triggered, this, [this] { TakeSelectedFromCompare(); });
    // Copy and paste belong to the grid: in the other panels' text boxes the
    // keys keep their usual meaning.
    m_panel.addAction(mnuCellCopy);
    m_panel.addAction(mnuCellPaste);
}

QList<QAction *> GridBlockCommands::BlockActions() const
{
    QList<QAction *> actions;
    for (const auto &[op, action] : m_blockActions)
        actions << action;
    return actions;
}

QList<QAction *> GridBlockCommands::ClipboardActions() const
{
    return {mnuCellCopy, mnuCellPaste, mnuCellCopyMap, mnuCellTakeCompare};
}

QAction *GridBlockCommands::blockAction(BlockOps::Op op) const
{
    const auto it = m_blockActions.find(op);
    return it == m_blockActions.end() ? nullptr : it->second;
}

void GridBlockCommands::BlockCommand(BlockOps::Op op)
{
    using BlockOps::Op;
    if (m_panel.IsEditingMap() || !m_panel.ShownMap())
        return;
    double value = 0;
    if (op == Op::Set || op == Op::Add || op == Op::Subtract || op == Op::Scale) {
        const QString title = BlockOps::Caption(op).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
        const QString label = op == Op::Scale ? QStringLiteral("Percentage (100 keeps the values):")
                                              : QStringLiteral("Value:");
        const std::optional<QString> text = m_messages.askText(m_panel.window(), title, label);
        if (!text)
            return;
        const std::optional<double> asked = NumericInput::ParseDecimalText(text->trimmed(), true);
        if (!asked) {
            m_messages.critical(m_panel.window(), NumericInput::NotNumericMessage());
            return;
        }
        value = *asked;
    }
    RunBlock(op, value);
}

bool GridBlockCommands::RunBlock(BlockOps::Op op, double value)
{
    const std::optional<MapKey> body = m_panel.ShownMap();
    if (m_panel.IsEditingMap() || !body)
        return false;
    const BlockOps::Plan plan = BlockOps::PlanBlock(m_edits.tune(), *body, m_panel.SelectionRect(), op, value);
    if (!plan.ok) {
        if (!plan.message.isEmpty())
            m_messages.exclamation(m_panel.window(), plan.message);
        return false;
    }
    applyPlan(*body, plan);
    return true;
}

void GridBlockCommands::applyPlan(MapKey body, const BlockOps::Plan &plan)
{
    if (plan.writes.empty())
        return; // nothing changes: no step, no traffic
    m_edits.CommitValues(BlockOps::ItemWrites(body, plan), plan.label, [&] {
        for (const BlockOps::CellWrite &w : plan.writes)
            m_panel.ShowCell(body, w.row, w.col);
        m_panel.compareMarks().Mark();
    });
    emit m_panel.currentCellChanged();
}

QString GridBlockCommands::CopySelection()
{
    const std::optional<MapKey> body = m_panel.ShownMap();
    if (!body)
        return {};
    QString text = GridClipboard::CopyText(m_edits.tune(), *body, m_panel.SelectionRect());
    QGuiApplication::clipboard()->setText(text);
    return text;
}

QString GridBlockCommands::CopyMapWithAxes()
{
    const std::optional<MapKey> body = m_panel.ShownMap();
    if (!body)
        return {};
    QString text = GridClipboard::MapText(m_edits.tune(), *body);
    QGuiApplication::clipboard()->setText(text);
    return text;
}

bool GridBlockCommands::PasteText(const QString &text)
{
    const std::optional<MapKey> body = m_panel.ShownMap();
    if (m_panel.IsEditingMap() || !body)
        return false;
    const BlockOps::Rect at = m_panel.SelectionRect();
    const BlockOps::Plan plan =
        GridClipboard::PlanPaste(m_edits.tune(), *body, at.top, at.left, GridClipboard::ParseTable(text));
    if (!plan.ok) {
        m_messages.critical(m_panel.window(), plan.message);
        return false;
    }
    applyPlan(*body, plan);
    return true;
}

void GridBlockCommands::Paste()
{
    PasteText(QGuiApplication::clipboard()->text());
}

bool GridBlockCommands::TakeSelectedFromCompare()
{
    const GridCompareMarks &marks = m_panel.compareMarks();
    const std::optional<MapKey> body = m_panel.ShownMap();
    if (!marks.ComparedTune() || m_panel.IsEditingMap() || !body)
        return false;
    applyPlan(*body, ComparePlan::TakeCells(m_edits.tune(), *marks.ComparedTune(), *body, m_panel.SelectionRect(),
                                            marks.ComparedName()));
    return true;
}
