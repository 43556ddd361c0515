// The map grid panel itself: its controls, layout, fill and live trace.

#include "editors/ui/CVFuelTimingDlg.h"

#include "daq/AcquisitionSample.h"
#include "editors/CellColours.h"
#include "editors/EditSession.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"
#include "platform/ui/ScreenUnits.h"
#include "editors/EditorSettings.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>

using namespace GridRules;
using namespace MapPanels;

namespace {

QColor toQColor(std::uint32_t c)
{
    return QColor(VntRed(c), VntGreen(c), VntBlue(c));
}

// A legend box: one colour, or a ramp from low (left) to high (right).
QPixmap swatch(const std::function<std::uint32_t(double)> &colourAt)
{
    constexpr int Width = 42;
    constexpr int Height = 14;
    QPixmap picture(Width, Height);
    QPainter painter(&picture);
    for (int x = 0; x < Width; ++x) {
        painter.setPen(toQColor(colourAt(x / double(Width - 1))));
        painter.drawLine(x, 0, x, Height - 1);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, Width - 1, Height - 1);
    return picture;
}

} // namespace

CVFuelTimingDlg::CVFuelTimingDlg(EditSession &edits, EditorSettings &prefs, MessageBoxService &messages,
                                 QWidget *parent)
    : QWidget(parent)
    , m_edits(edits)
    , m_state(edits.state())
    , m_prefs(prefs)
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
    connect(editGridCell, &FieldEdit::escapePressed, this, [this] { closeCellEditor(true); });

    buildLegend();

    buildCellMenu();
    buildBlockMenu();

    connect(MapGrid, &MapGridView::characterTyped, this, [this](int code) { m_MapGrid_KeyPress(code); });
    connect(MapGrid, &MapGridView::editKeyPressed, this, [this] {
        if (!IsEditingMap() && !MapGrid->hasMultiCellSelection())
            openCellEditor(EditStart::AppendToValue);
    });
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
        const char *boxName;
        const char *caption;
    } entries[] = {
        {"legendOpenLoop", "Open Loop"},
        {"legendClosedLoop", "Closed Loop"},
        {"legendRealTime", "Real-Time Access"},
    };
    for (const auto &e : entries) {
        auto *box = new QLabel(picLegend);
        box->setObjectName(QLatin1String(e.boxName));
        row->addWidget(box);
        row->addWidget(new QLabel(QLatin1String(e.caption), picLegend));
        row->addSpacing(12);
    }
    row->addStretch(1);
    paintLegend();
}

void CVFuelTimingDlg::paintLegend()
{
    const CellColours::Scheme s = scheme();
    const auto box = [this](const char *name) { return picLegend->findChild<QLabel *>(QLatin1String(name)); };
    box("legendOpenLoop")->setPixmap(swatch([s](double t) { return CellColours::OpenLoopAt(s, t); }));
    box("legendClosedLoop")->setPixmap(swatch([s](double t) { return CellColours::ClosedLoopAt(s, t); }));
    box("legendRealTime")->setPixmap(swatch([s](double) { return CellColours::TraceColour(s); }));
    const QString ramp = QStringLiteral("Shaded by value, low (left) to high (right)");
    const bool byValue = s == CellColours::Scheme::ValueScale;
    box("legendOpenLoop")->setToolTip(byValue ? ramp : QString());
    box("legendClosedLoop")->setToolTip(byValue ? ramp : QString());
}

CellColours::Scheme CVFuelTimingDlg::scheme() const
{
    return m_prefs.GridColourScheme() == 1 ? CellColours::Scheme::ValueScale : CellColours::Scheme::LoopColours;
}

QColor CVFuelTimingDlg::cellColour(int raw, bool timing) const
{
    return toQColor(CellColours::Background(scheme(), raw, timing));
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
    m_prefs.Save();
    paintLegend();
    PopGrid();
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

std::optional<MapKey> CVFuelTimingDlg::shownMap() const
{
    return PanelMap(m_state.CurrentPanel);
}

void CVFuelTimingDlg::UpdateData()
{
    if (const std::optional<MapKey> body = shownMap())
        LabelX->setText(LabelXCaption(*body));
    if (IsEditingMap())
        closeCellEditor();
    UpdateGridFont();
    PopGrid();
}

void CVFuelTimingDlg::PopGrid()
{
    const std::optional<MapKey> body = shownMap();
    if (!body)
        return;
    const bool timing = IsTimingMap(*body);
    const Tune &tune = m_state.tune;
    const CVMapInfo &bodyMap = tune.map(*body);
    const CVMapInfo &rpmAxis = tune.map(RpmAxisOf(*body));
    const CVMapInfo &tpAxis = tune.map(TpAxisOf(*body));

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
                             bodyMap.IsRTMapPointSet(entry) ? green : cellColour(raw, timing), bodyText);
        }
    }
    markComparedCells();
    m_model->endFill();
    // The live cell mark belongs to the map it was traced on.
    MapGrid->setLiveCell(-1, -1);

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

std::optional<CVFuelTimingDlg::MapCell> CVFuelTimingDlg::currentMapCell() const
{
    const std::optional<MapKey> body = shownMap();
    const int row = currentRow();
    const int col = currentCol();
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> map = body ? CellMap(*body, place) : std::nullopt;
    if (!map)
        return std::nullopt;
    return MapCell{*body, row, col, place, *map};
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

// A body cell also takes the scale colour of its new value (a trace point's
// green is replaced), axis cells keep theirs.
void CVFuelTimingDlg::showCell(MapKey body, int row, int col)
{
    if (shownMap() != body)
        return;
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(body, place);
    if (!key)
        return;
    const int raw = m_state.tune.map(*key).MapValue(EntryIndexOf(row, col));
    m_model->setText(row, col, CellText(place, raw, IsTimingMap(body)));
    if (place == CellPlace::Body)
        m_model->setBackground(row, col, cellColour(raw, IsTimingMap(body)));
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
                               cellColour(map.MapValue(EntryIndexOf(previousRow, previousCol)), IsTimingMap(*shown)));
    m_model->setBackground(row, col, traceColour());
    // Among the visited cells the engine's own stands out by its frame.
    MapGrid->setLiveCell(row, col);
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
    MapGrid->setLiveCell(-1, -1);
    const int panel = m_state.CurrentPanel;
    if (panel == 7 || panel == 8 || panel == 11)
        ClearDataPoints();
}
