// The map grid panel itself: its controls, layout, fill and live trace.

#include "editors/ui/CVFuelTimingDlg.h"

#include "daq/AcquisitionSample.h"
#include "editors/EditSession.h"
#include "editors/EditorSettings.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/GridBlockCommands.h"
#include "editors/ui/GridCellEditing.h"
#include "editors/ui/GridCompareMarks.h"
#include "editors/ui/GridLegend.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"
#include "model/TraceMarks.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

using namespace GridRules;
using namespace MapPanels;

namespace {

QColor toQColor(std::uint32_t c)
{
    return QColor(VntRed(c), VntGreen(c), VntBlue(c));
}

} // namespace

CVFuelTimingDlg::CVFuelTimingDlg(EditSession &edits, const TraceMarks &marks, EditorSettings &prefs,
                                 MessageBoxService &messages, QWidget *parent)
    : QWidget(parent), m_edits(edits), m_marks(marks), m_prefs(prefs)
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

    picLegend = new GridLegend(this);
    picLegend->ShowScale(CellColours::ColourScale{scheme()}, false);

    mnuCell = new QMenu(QStringLiteral("&Cell"), this);
    mnuCell->setObjectName(QStringLiteral("mnuCell"));
    m_compareMarks = std::make_unique<GridCompareMarks>(*this, edits.tune());
    m_editing = std::make_unique<GridCellEditing>(*this, edits, messages);
    connect(m_editing.get(), &GridCellEditing::notice, this, &CVFuelTimingDlg::notice);
    m_blocks = std::make_unique<GridBlockCommands>(*this, edits, messages);
    mnuCell->addActions(m_editing->Actions());
    mnuCell->addSeparator();
    mnuCell->addActions(m_blocks->BlockActions());
    mnuCell->addSeparator();
    mnuCell->addActions(m_blocks->ClipboardActions());

    connect(MapGrid, &MapGridView::rightButtonReleased, this, &CVFuelTimingDlg::popUpCellMenu);
    connect(MapGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CVFuelTimingDlg::currentCellChanged);
    connect(MapGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CVFuelTimingDlg::currentCellChanged);

    setCurrentCell(1, 1);
    UpdateGridFont();
}

CVFuelTimingDlg::~CVFuelTimingDlg() = default;

QSize CVFuelTimingDlg::sizeHint() const
{
    return {640, 480};
}

QWidget *CVFuelTimingDlg::legend() const
{
    return picLegend;
}

FieldEdit *CVFuelTimingDlg::cellEditor() const
{
    return m_editing->Editor();
}

CellColours::Scheme CVFuelTimingDlg::scheme() const
{
    return m_prefs.GridColourScheme() == 1 ? CellColours::Scheme::ValueScale : CellColours::Scheme::LoopColours;
}

CellColours::ColourScale CVFuelTimingDlg::ColourScaleOf(MapKey body) const
{
    return CellColours::ScaleFor(scheme(), m_prefs.GridColourOwnRange(), m_edits.tune().map(body), IsTimingMap(body));
}

QColor CVFuelTimingDlg::cellColour(int raw, bool timing) const
{
    return toQColor(CellColours::Background(m_scale, raw, timing));
}

QColor CVFuelTimingDlg::traceColour() const
{
    return toQColor(CellColours::TraceColour(scheme()));
}

bool CVFuelTimingDlg::ValueColours() const
{
    return scheme() == CellColours::Scheme::ValueScale;
}

void CVFuelTimingDlg::SetValueColours(bool on)
{
    if (on == ValueColours())
        return;
    m_prefs.SetGridColourScheme(on ? 1 : 0);
    coloursChosen();
}

bool CVFuelTimingDlg::OwnRangeColours() const
{
    return m_prefs.GridColourOwnRange();
}

void CVFuelTimingDlg::SetOwnRangeColours(bool on)
{
    if (on == OwnRangeColours())
        return;
    m_prefs.SetGridColourOwnRange(on);
    coloursChosen();
}

void CVFuelTimingDlg::coloursChosen()
{
    m_prefs.Save();
    PopGrid();
    emit coloursChanged();
}

// --- The operations of the panel, carried out by its jobs --------------------

void CVFuelTimingDlg::m_MapGrid_KeyPress(int keyAscii)
{
    m_editing->KeyPress(keyAscii);
}

void CVFuelTimingDlg::CellLoop()
{
    m_editing->SwitchLoop();
}

bool CVFuelTimingDlg::IsEditingMap() const
{
    return m_editing->IsEditing();
}

void CVFuelTimingDlg::TreeReceivedFocus()
{
    m_editing->TreeReceivedFocus();
}

bool CVFuelTimingDlg::SetCellValue(double value, bool showMessage)
{
    return m_editing->SetCellValue(value, showMessage);
}

// --- Filling ----------------------------------------------------------------

std::optional<MapKey> CVFuelTimingDlg::ShownMap() const
{
    return PanelMap(m_edits.state().CurrentPanel);
}

void CVFuelTimingDlg::UpdateData()
{
    if (const std::optional<MapKey> body = ShownMap())
        LabelX->setText(LabelXCaption(*body));
    m_editing->DropEdit();
    UpdateGridFont();
    PopGrid();
}

void CVFuelTimingDlg::PopGrid()
{
    const std::optional<MapKey> body = ShownMap();
    if (!body)
        return;
    const bool timing = IsTimingMap(*body);
    const Tune &tune = m_edits.tune();
    const CVMapInfo &bodyMap = tune.map(*body);
    const MapTrace &trace = m_marks.Of(*body);
    const CVMapInfo &rpmAxis = tune.map(RpmAxisOf(*body));
    const CVMapInfo &tpAxis = tune.map(TpAxisOf(*body));
    m_scale = ColourScaleOf(*body);
    picLegend->ShowScale(m_scale, timing);

    const QPalette pal = MapGrid->palette();
    const QColor headerBack = pal.color(QPalette::Button);
    const QColor headerText = pal.color(QPalette::ButtonText);
    const QColor bodyText = pal.color(QPalette::HighlightedText);
    const QColor green = traceColour();

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
                             trace.IsRTMapPointSet(entry) ? green : cellColour(raw, timing), bodyText);
        }
    }
    m_compareMarks->Mark();
    m_model->endFill();
    // The live cell mark belongs to the map it was traced on.
    MapGrid->setLiveCell(-1, -1);

    if (!MapGrid->currentIndex().isValid())
        setCurrentCell(1, 1);
    emit currentCellChanged();
}

void CVFuelTimingDlg::UpdateGridFont()
{
    const QFont font = GridFont::FromPrefs(m_prefs);
    MapGrid->setFont(font);
    m_editing->Editor()->setFont(font);
    applyRowHeights();
    m_editing->PlaceEditor();
}

void CVFuelTimingDlg::SetGridFontFromDialog(const GridFont::FontPicker &pick)
{
    if (GridFont::Choose(window(), m_prefs, pick) && IsMapPanel(m_edits.state().CurrentPanel))
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

std::optional<CVFuelTimingDlg::MapCell> CVFuelTimingDlg::CurrentMapCell() const
{
    const std::optional<MapKey> body = ShownMap();
    const int row = currentRow();
    const int col = currentCol();
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> map = body ? CellMap(*body, place) : std::nullopt;
    if (!map)
        return std::nullopt;
    return MapCell{*body, row, col, place, *map};
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

void CVFuelTimingDlg::ShowCell(MapKey body, int row, int col)
{
    if (ShownMap() != body)
        return;
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(body, place);
    if (!key)
        return;
    const int raw = m_edits.tune().map(*key).MapValue(EntryIndexOf(row, col));
    m_model->setText(row, col, CellText(place, raw, IsTimingMap(body)));
    if (place != CellPlace::Body)
        return;
    // A value beyond the map's own range moves every cell along the scale.
    const CellColours::ColourScale scale = ColourScaleOf(body);
    if (scale != m_scale)
        PopGrid();
    else
        m_model->setBackground(row, col, cellColour(raw, IsTimingMap(body)));
}

void CVFuelTimingDlg::popUpCellMenu(const QPoint &globalPos)
{
    if (CurrentMapCell())
        mnuCell->popup(globalPos);
}

// --- Live trace ---------------------------------------------------------------

void CVFuelTimingDlg::ShowTrace(const AcquisitionSample &sample)
{
    const std::optional<MapKey> shown = ShownMap();
    const AcquisitionSample::TracedCell *cell = shown ? sample.cellOf(*shown) : nullptr;
    if (!sample.acquired || !cell)
        return; // the map on screen is not traced
    const int row = cell->rpmIndex + 1;
    const int col = cell->tpIndex + 1;
    if (PlaceOf(row, col) != CellPlace::Body)
        return; // trace indexes outside the map: nothing to mark
    const CVMapInfo &map = m_edits.tune().map(*shown);
    const int previousRow = cell->previousRpmIndex + 1;
    const int previousCol = cell->previousTpIndex + 1;
    if (!sample.visitedCellsKept && PlaceOf(previousRow, previousCol) == CellPlace::Body)
        m_model->setBackground(previousRow, previousCol,
                               cellColour(map.MapValue(EntryIndexOf(previousRow, previousCol)), IsTimingMap(*shown)));
    m_model->setBackground(row, col, traceColour());
    // Among the visited cells the engine's own stands out by its frame.
    MapGrid->setLiveCell(row, col);
}

void CVFuelTimingDlg::ClearRTState()
{
    MapGrid->setLiveCell(-1, -1);
    ClearDataPoints();
}
