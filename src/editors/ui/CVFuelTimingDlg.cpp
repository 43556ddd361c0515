#include "editors/ui/CVFuelTimingDlg.h"

#include "daq/AcquisitionSample.h"
#include "editors/CVMapColorInfo.h"
#include "editors/ui/FieldEdit.h"
#include "editors/GridClipboard.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "editors/NumericInput.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "model/TuneItems.h"
#include "platform/MessageBoxService.h"
#include "platform/ui/ScreenUnits.h"
#include "editors/EditorSettings.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

using namespace GridRules;

namespace {

QColor toQColor(std::uint32_t c)
{
    return QColor(VntRed(c), VntGreen(c), VntBlue(c));
}

QColor scaleColor(int raw)
{
    return toQColor(CVMapColorInfo::Shared().GetBackColor(raw));
}

QColor traceColor()
{
    return toQColor(CVMapColorInfo::TraceColor);
}

QFrame *legendBox(QWidget *parent, std::uint32_t color, const char *name)
{
    auto *box = new QFrame(parent);
    box->setObjectName(QLatin1String(name));
    box->setFrameShape(QFrame::Box);
    box->setFixedSize(14, 14);
    box->setAutoFillBackground(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, toQColor(color));
    box->setPalette(pal);
    return box;
}

} // namespace

CVFuelTimingDlg::CVFuelTimingDlg(ProgramState &state, EditorSettings &prefs, RealTimeSender &sender,
                                 MessageBoxService &messages, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_prefs(prefs)
    , m_sender(sender)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("picFuelTimingGrid"));

    LabelX = new QLabel(QStringLiteral("Load"), this);
    LabelX->setObjectName(QStringLiteral("LabelX"));
    LabelX->setAlignment(Qt::AlignCenter);

    // A narrow word-wrapped label stacks the letters of "R P M".
    LabelY = new QLabel(QStringLiteral("R P M"), this);
    LabelY->setObjectName(QStringLiteral("LabelY"));
    LabelY->setWordWrap(true);
    LabelY->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_model = new MapGridModel(this);
    MapGrid = new MapGridView(this);
    MapGrid->setObjectName(QStringLiteral("MapGrid"));
    MapGrid->setModel(m_model);

    editGridCell = new FieldEdit(MapGrid->viewport());
    editGridCell->setObjectName(QStringLiteral("editGridCell"));
    editGridCell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    editGridCell->setFrame(false);
    editGridCell->hide();
    editGridCell->setValidation([this] { return validateCellEditor(); });
    connect(editGridCell, &FieldEdit::escapePressed, this, [this] {
        closeCellEditor();
        MapGrid->setFocus(Qt::OtherFocusReason);
    });

    buildLegend();

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
    buildBlockMenu();

    connect(MapGrid, &MapGridView::characterTyped, this, [this](int code) { m_MapGrid_KeyPress(code); });
    connect(MapGrid, &MapGridView::rightButtonReleased, this, &CVFuelTimingDlg::popUpCellMenu);
    connect(MapGrid, &QAbstractItemView::doubleClicked, this, [this] { openCellEditor(); });
    connect(MapGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { UpdateCellMenu(); });
    connect(MapGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateCellMenu(); });
    connect(MapGrid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellEditor(); });
    connect(MapGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeCellEditor(); });

    setCurrentCell(1, 1);
    UpdateGridFont();
    UpdateCellMenu();
}

CVFuelTimingDlg::~CVFuelTimingDlg()
{
    // The editor must not check its text while the panel is going away.
    editGridCell->setValidation({});
}

QSize CVFuelTimingDlg::sizeHint() const
{
    return {640, 480};
}

void CVFuelTimingDlg::buildLegend()
{
    picLegend = new QWidget(this);
    picLegend->setObjectName(QStringLiteral("picLegend"));
    auto *row = new QHBoxLayout(picLegend);
    row->setContentsMargins(0, 2, 0, 2);
    const struct
    {
        std::uint32_t color;
        const char *boxName;
        const char *caption;
    } entries[] = {
        {CVMapColorInfo::OpenLoopColor, "legendOpenLoop", "Open Loop"},
        {CVMapColorInfo::ClosedLoopColor, "legendClosedLoop", "Closed Loop"},
        {CVMapColorInfo::TraceColor, "legendRealTime", "Real-Time Access"},
    };
    for (const auto &e : entries) {
        row->addWidget(legendBox(picLegend, e.color, e.boxName));
        row->addWidget(new QLabel(QLatin1String(e.caption), picLegend));
        row->addSpacing(12);
    }
    row->addStretch(1);
}

// --- Layout -----------------------------------------------------------------

int CVFuelTimingDlg::labelYWidth() const
{
    const QFontMetrics fm(LabelY->font());
    return fm.horizontalAdvance(QLatin1Char('M')) + 8;
}

void CVFuelTimingDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanel();
}

void CVFuelTimingDlg::layoutPanel()
{
    using namespace ScreenUnits;
    const int width = this->width();
    const int height = this->height();

    const int labelXHeight = LabelX->sizeHint().height();
    LabelX->setGeometry(0, 0, width, labelXHeight);

    const int lyWidth = labelYWidth();
    const int lyHeight = std::max(LabelY->heightForWidth(lyWidth), LabelY->sizeHint().height());
    LabelY->setGeometry(0, std::max(0, height / 2 - TwipsToPixelsY(300, this)), lyWidth, lyHeight);

    const int legendHeight = picLegend->sizeHint().height();
    const int gridLeft = lyWidth;
    const int gridTop = labelXHeight + TwipsToPixelsY(40, this);
    const int gridWidth = std::max(0, width - lyWidth - TwipsToPixelsX(10, this));
    const int gridHeight = std::max(0, height - labelXHeight - legendHeight - TwipsToPixelsY(50, this));
    MapGrid->setGeometry(gridLeft, gridTop, gridWidth, gridHeight);
    picLegend->setGeometry(gridLeft + TwipsToPixelsX(5, this),
                           std::min(gridTop + gridHeight + TwipsToPixelsY(60, this), height - legendHeight),
                           gridWidth, legendHeight);

    recomputeCellWidth();
    applyColumnWidths();
    placeCellEditor();
}

void CVFuelTimingDlg::recomputeCellWidth()
{
    m_w = CellWidthTwips(ScreenUnits::PixelsToTwipsX(width(), this),
                         ScreenUnits::PixelsToTwipsX(labelYWidth(), this));
}

void CVFuelTimingDlg::applyColumnWidths()
{
    const int first = ScreenUnits::TwipsToPixelsX(m_w + 100, this);
    const int others = ScreenUnits::TwipsToPixelsX(m_w, this);
    MapGrid->setColumnWidth(0, first);
    for (int c = 1; c < GridCols; ++c)
        MapGrid->setColumnWidth(c, others);
}

// --- Filling ----------------------------------------------------------------

void CVFuelTimingDlg::UpdateData()
{
    if (const std::optional<QString> caption = LabelXCaption(m_state.CurrentPanel))
        LabelX->setText(*caption);
    if (IsEditingMap())
        closeCellEditor();
    UpdateGridFont();
    PopGrid();
}

void CVFuelTimingDlg::PopGrid()
{
    const int panel = m_state.CurrentPanel;
    const std::optional<MapKey> body = PanelMap(panel);
    if (!body)
        return;
    const bool timing = IsTimingPanel(panel);
    const Tune &tune = m_state.tune;
    const CVMapInfo &bodyMap = tune.map(*body);
    const CVMapInfo &rpmAxis = tune.map(RpmAxisOf(*body));
    const CVMapInfo &tpAxis = tune.map(TpAxisOf(*body));

    const QPalette pal = MapGrid->palette();
    const QColor headerBack = pal.color(QPalette::Button);
    const QColor headerText = pal.color(QPalette::ButtonText);
    const QColor bodyText = pal.color(QPalette::HighlightedText);
    const QColor green = traceColor();

    m_model->beginFill();
    m_model->setCell(0, 0, QString(), headerBack, headerText);
    for (int c = 1; c < GridCols; ++c)
        m_model->setCell(0, c, CellText(CellPlace::TpAxis, tpAxis.MapValue(c - 1), timing), headerBack,
                         headerText);
    for (int r = 1; r < GridRows; ++r)
        m_model->setCell(r, 0, CellText(CellPlace::RpmAxis, rpmAxis.MapValue(r - 1), timing), headerBack,
                         headerText);

    recomputeCellWidth();
    applyColumnWidths();

    for (int r = 1; r < GridRows; ++r) {
        for (int c = 1; c < GridCols; ++c) {
            const int entry = EntryIndexOf(r, c);
            const int raw = bodyMap.MapValue(entry);
            m_model->setCell(r, c, CellText(CellPlace::Body, raw, timing),
                             bodyMap.IsRTMapPointSet(entry) ? green : scaleColor(raw), bodyText);
        }
    }
    markComparedCells();
    m_model->endFill();

    if (!MapGrid->currentIndex().isValid())
        setCurrentCell(1, 1);
    UpdateCellMenu();
}

void CVFuelTimingDlg::UpdateGridFont()
{
    const QFont font = GridFont::FromPrefs(m_prefs);
    MapGrid->setFont(font);
    editGridCell->setFont(font);
    const int rowHeight = QFontMetrics(font).height() + 6;
    MapGrid->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int r = 0; r < GridRows; ++r)
        MapGrid->setRowHeight(r, rowHeight);
    placeCellEditor();
}

void CVFuelTimingDlg::SetGridFontFromDialog(const GridFont::FontPicker &pick)
{
    if (GridFont::Choose(window(), m_prefs, pick) && IsMapPanel(m_state.CurrentPanel))
        UpdateGridFont();
}

// --- Current cell -----------------------------------------------------------

int CVFuelTimingDlg::currentRow() const
{
    const QModelIndex i = MapGrid->currentIndex();
    return i.isValid() ? i.row() : 1;
}

int CVFuelTimingDlg::currentCol() const
{
    const QModelIndex i = MapGrid->currentIndex();
    return i.isValid() ? i.column() : 1;
}

void CVFuelTimingDlg::setCurrentCell(int row, int col)
{
    if (PlaceOf(row, col) == CellPlace::Outside)
        return;
    MapGrid->setCurrentIndex(m_model->index(row, col));
}

// --- Committing values ------------------------------------------------------

bool CVFuelTimingDlg::SetCellValue(double value, bool showMessage)
{
    return setCellValueAt(m_state.CurrentPanel, currentRow(), currentCol(), value, showMessage);
}

bool CVFuelTimingDlg::setCellValueAt(int panel, int row, int col, double value, bool showMessage)
{
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(panel, place);
    if (!key)
        return false;
    CVMapInfo &map = m_state.tune.map(*key);
    const int entry = EntryIndexOf(row, col);
    const CellCommit commit = CommitCellValue(place, IsTimingPanel(panel), map.MapValue(entry), value);
    if (!commit.accepted) {
        if (showMessage)
            m_messages.critical(window(), NumericInput::RangeMessage(commit.low, commit.high));
        return false;
    }

    map.SetMapValue(entry, commit.newRaw);
    showCell(panel, row, col);
    if (m_state.RealTimeEnabled)
        m_sender.SendRealTimeValue(ItemNumber(panel, place), entry, commit.newRaw);
    m_state.NoteEdit();
    UpdateCellMenu();
    return true;
}

// Shows a cell's new value; a body cell also takes the scale colour of its new
// value (a trace point's green is replaced), axis cells keep theirs.
void CVFuelTimingDlg::showCell(int panel, int row, int col)
{
    if (panel != m_state.CurrentPanel)
        return;
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(panel, place);
    if (!key)
        return;
    const int raw = m_state.tune.map(*key).MapValue(EntryIndexOf(row, col));
    m_model->setText(row, col, CellText(place, raw, IsTimingPanel(panel)));
    if (place == CellPlace::Body)
        m_model->setBackground(row, col, scaleColor(raw));
}

void CVFuelTimingDlg::m_MapGrid_KeyPress(int keyAscii)
{
    if (IsEditingMap())
        return;
    if (MapGrid->hasMultiCellSelection()) {
        m_messages.exclamation(window(), QStringLiteral("Please select a single cell for this operation."));
        return;
    }
    const int panel = m_state.CurrentPanel;
    const int row = currentRow();
    const int col = currentCol();
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(panel, place);
    if (!key)
        return; // the corner, or no map on show

    if (keyAscii == '+' || keyAscii == '-') {
        const int raw = m_state.tune.map(*key).MapValue(EntryIndexOf(row, col));
        setCellValueAt(panel, row, col, StepValue(place, raw, keyAscii == '+' ? 1 : -1), false);
    } else if (keyAscii == 13) {
        if (!m_state.RealTimeEnabled)
            openCellEditor();
    }
}

void CVFuelTimingDlg::CellLoop()
{
    if (IsEditingMap())
        return;
    const int panel = m_state.CurrentPanel;
    const int row = currentRow();
    const int col = currentCol();
    if (PlaceOf(row, col) != CellPlace::Body)
        return;
    const std::optional<MapKey> key = CellMap(panel, CellPlace::Body);
    if (!key)
        return;
    CVMapInfo &map = m_state.tune.map(*key);
    const int entry = EntryIndexOf(row, col);
    const int raw = LoopSwitchedRaw(map.MapValue(entry), IsTimingPanel(panel));

    map.SetMapValue(entry, raw);
    mnuCellLoop->setText(LoopCaption(raw));
    showCell(panel, row, col);
    if (m_state.RealTimeEnabled)
        m_sender.SendRealTimeValue(ItemNumber(panel, CellPlace::Body), entry, raw);
    m_state.NoteEdit();
}

// --- Cell menu ----------------------------------------------------------------

void CVFuelTimingDlg::UpdateCellMenu()
{
    const int panel = m_state.CurrentPanel;
    const int row = currentRow();
    const int col = currentCol();
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(panel, place);
    if (!key) {
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
    if (place == CellPlace::Body) {
        mnuCellLoop->setEnabled(true);
        mnuCellLoop->setText(LoopCaption(m_state.tune.map(*key).MapValue(EntryIndexOf(row, col))));
    }
}

void CVFuelTimingDlg::popUpCellMenu(const QPoint &globalPos)
{
    if (!CellMap(m_state.CurrentPanel, PlaceOf(currentRow(), currentCol())))
        return;
    mnuCell->popup(globalPos);
}

// --- In-place editor ----------------------------------------------------------

bool CVFuelTimingDlg::IsEditingMap() const
{
    return !editGridCell->isHidden();
}

void CVFuelTimingDlg::TreeReceivedFocus()
{
    if (IsEditingMap())
        editGridCell->setFocus(Qt::OtherFocusReason);
}

void CVFuelTimingDlg::openCellEditor()
{
    if (IsEditingMap() || m_state.RealTimeEnabled)
        return;
    const int panel = m_state.CurrentPanel;
    const int row = currentRow();
    const int col = currentCol();
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(panel, place);
    if (!key)
        return;

    m_editPanel = panel;
    m_editRow = row;
    m_editCol = col;
    const int raw = m_state.tune.map(*key).MapValue(EntryIndexOf(row, col));
    editGridCell->setMaxLength(EditorMaxLength(place));
    editGridCell->setText(CellText(place, raw, IsTimingPanel(panel)));
    MapGrid->setInputBlocked(true);
    editGridCell->show();
    placeCellEditor();
    editGridCell->raise();
    editGridCell->setFocus(Qt::OtherFocusReason);
    editGridCell->selectAll();
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
    const std::optional<double> value = NumericInput::ParseDecimalText(editGridCell->text(), true);
    if (!value) {
        m_messages.critical(window(), NumericInput::NotNumericMessage());
        editGridCell->selectAll();
        return false;
    }
    if (!setCellValueAt(m_editPanel, m_editRow, m_editCol, *value, true)) {
        editGridCell->selectAll();
        return false;
    }
    const bool hadFocus = editGridCell->hasFocus();
    closeCellEditor();
    if (hadFocus)
        MapGrid->setFocus(Qt::OtherFocusReason);
    return true;
}

void CVFuelTimingDlg::closeCellEditor()
{
    editGridCell->hide();
    MapGrid->setInputBlocked(false);
}

// --- Live trace ---------------------------------------------------------------

void CVFuelTimingDlg::ShowTrace(const AcquisitionSample &sample)
{
    const std::optional<MapKey> shown = PanelMap(m_state.CurrentPanel);
    const AcquisitionSample::TracedCell *cell = shown ? sample.cellOf(*shown) : nullptr;
    if (!sample.acquired || !cell)
        return; // the map on screen is not traced
    const int row = cell->rpmIndex + 1;
    const int col = cell->tpIndex + 1;
    if (PlaceOf(row, col) != CellPlace::Body)
        return; // trace indexes outside the map: nothing to mark
    const CVMapInfo &map = m_state.tune.map(*shown);
    const int previousRow = cell->previousRpmIndex + 1;
    const int previousCol = cell->previousTpIndex + 1;
    if (!sample.visitedCellsKept && PlaceOf(previousRow, previousCol) == CellPlace::Body)
        m_model->setBackground(previousRow, previousCol,
                               scaleColor(map.MapValue(EntryIndexOf(previousRow, previousCol))));
    m_model->setBackground(row, col, traceColor());
}

void CVFuelTimingDlg::ClearDataPoints()
{
    PopGrid();
}

void CVFuelTimingDlg::ClearRTState()
{
    m_state.tune.map(MapKey::HOFM).ClearRTState();
    m_state.tune.map(MapKey::HOHGFM).ClearRTState();
    m_state.tune.map(MapKey::HOTM).ClearRTState();
    const int panel = m_state.CurrentPanel;
    if (panel == 7 || panel == 8 || panel == 11)
        ClearDataPoints();
}

// --- Block tools, clipboard and compare -----------------------------------------

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
    if (IsEditingMap() || !IsMapPanel(m_state.CurrentPanel))
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
    const int panel = m_state.CurrentPanel;
    if (IsEditingMap() || !IsMapPanel(panel))
        return false;
    const BlockOps::Plan plan = BlockOps::PlanBlock(m_state.tune, panel, SelectionRect(), op, value);
    if (!plan.ok) {
        if (!plan.message.isEmpty())
            m_messages.exclamation(window(), plan.message);
        return false;
    }
    applyPlan(panel, plan);
    return true;
}

void CVFuelTimingDlg::applyPlan(int panel, const BlockOps::Plan &plan)
{
    if (plan.writes.empty())
        return; // nothing changes: no step, no traffic
    // Before and after of every map the plan touches, by item number.
    std::map<int, QByteArray> before;
    for (const BlockOps::CellWrite &w : plan.writes) {
        const CellPlace place = PlaceOf(w.row, w.col);
        const int item = ItemNumber(panel, place);
        CVMapInfo &map = m_state.tune.map(*CellMap(panel, place));
        if (!before.count(item))
            before[item] = map.Bytes();
        map.SetMapValue(EntryIndexOf(w.row, w.col), w.newRaw);
    }
    for (const BlockOps::CellWrite &w : plan.writes)
        showCell(panel, w.row, w.col);
    markComparedCells();
    if (m_state.RealTimeEnabled)
        for (const auto &[item, old] : before)
            SendItemChange(m_sender, item, old, ItemBytes(m_state.tune, item));
    m_state.NoteEdit(plan.label);
    UpdateCellMenu();
}

QString CVFuelTimingDlg::CopySelection()
{
    if (!IsMapPanel(m_state.CurrentPanel))
        return {};
    const QString text = GridClipboard::CopyText(m_state.tune, m_state.CurrentPanel, SelectionRect());
    QGuiApplication::clipboard()->setText(text);
    return text;
}

QString CVFuelTimingDlg::CopyMapWithAxes()
{
    if (!IsMapPanel(m_state.CurrentPanel))
        return {};
    const QString text = GridClipboard::MapText(m_state.tune, m_state.CurrentPanel);
    QGuiApplication::clipboard()->setText(text);
    return text;
}

bool CVFuelTimingDlg::PasteText(const QString &text)
{
    const int panel = m_state.CurrentPanel;
    if (IsEditingMap() || !IsMapPanel(panel))
        return false;
    const BlockOps::Rect at = SelectionRect();
    const BlockOps::Plan plan =
        GridClipboard::PlanPaste(m_state.tune, panel, at.top, at.left, GridClipboard::ParseTable(text));
    if (!plan.ok) {
        m_messages.critical(window(), plan.message);
        return false;
    }
    applyPlan(panel, plan);
    return true;
}

void CVFuelTimingDlg::Paste()
{
    PasteText(QGuiApplication::clipboard()->text());
}

void CVFuelTimingDlg::SetCompareTune(const Tune *other, const QString &name)
{
    m_compare = other;
    m_compareName = name;
    mnuCellTakeCompare->setEnabled(other != nullptr);
    markComparedCells();
}

void CVFuelTimingDlg::markComparedCells()
{
    const int panel = m_state.CurrentPanel;
    const bool timing = IsTimingPanel(panel);
    for (int r = 0; r < GridRows; ++r) {
        for (int c = 0; c < GridCols; ++c) {
            QString note;
            const CellPlace place = PlaceOf(r, c);
            const std::optional<MapKey> key = CellMap(panel, place);
            if (m_compare && key) {
                const int entry = EntryIndexOf(r, c);
                const int mine = m_state.tune.map(*key).MapValue(entry);
                const int theirs = m_compare->map(*key).MapValue(entry);
                if (mine != theirs)
                    note = QStringLiteral("%1: %2").arg(m_compareName.isEmpty() ? QStringLiteral("Compared tune")
                                                                                 : m_compareName,
                                                        CellText(place, theirs, timing));
            }
            m_model->setCompareNote(r, c, note);
        }
    }
}

bool CVFuelTimingDlg::TakeSelectedFromCompare()
{
    const int panel = m_state.CurrentPanel;
    if (!m_compare || IsEditingMap() || !IsMapPanel(panel))
        return false;
    const BlockOps::Rect rect = SelectionRect();
    BlockOps::Plan plan;
    int count = 0;
    for (int r = rect.top; r <= rect.bottom; ++r) {
        for (int c = rect.left; c <= rect.right; ++c) {
            const CellPlace place = PlaceOf(r, c);
            const std::optional<MapKey> key = CellMap(panel, place);
            if (!key)
                continue;
            ++count;
            const int entry = EntryIndexOf(r, c);
            const int mine = m_state.tune.map(*key).MapValue(entry);
            const int theirs = m_compare->map(*key).MapValue(entry);
            if (mine != theirs)
                plan.writes.push_back({r, c, mine, theirs});
        }
    }
    plan.ok = true;
    plan.label = QStringLiteral("Take %1 %2 from %3")
                     .arg(count)
                     .arg(count == 1 ? QStringLiteral("cell") : QStringLiteral("cells"))
                     .arg(m_compareName.isEmpty() ? QStringLiteral("the compared tune") : m_compareName);
    applyPlan(panel, plan);
    return true;
}
