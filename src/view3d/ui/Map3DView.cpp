#include "view3d/ui/Map3DView.h"

#include "editors/CVMapColorInfo.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"
#include "daq/AcquisitionSample.h"
#include "view3d/ui/OpenGLSupport.h"

#include <QEvent>
#include <QScreen>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

namespace {

constexpr int N = MapSurfaceData::Size;

bool sameShape(const MapSurfaceData &a, const MapSurfaceData &b)
{
    return a.heights == b.heights && a.rpmPositions == b.rpmPositions && a.tpPositions == b.tpPositions;
}

} // namespace

Map3DView::Map3DView(const ProgramState &state, const TraceMarks &marks,
                     std::function<CellColours::ColourScale(MapKey)> coloursOf, QWidget *parent)
    : QWidget(parent), m_state(state), m_marks(marks), m_coloursOf(std::move(coloursOf))
{
    setObjectName(QStringLiteral("view3DMap"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_placeholder = new QLabel(this);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    layout->addWidget(m_placeholder);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(0);
    connect(m_refresh, &QTimer::timeout, this, &Map3DView::RefreshNow);
}

Map3DView::~Map3DView() = default;

QSize Map3DView::sizeHint() const
{
    const QScreen *where = screen();
    const int width = where ? where->availableGeometry().width() / 3 : 440;
    return {std::max(440, width), std::max(380, width * 4 / 5)};
}

bool Map3DView::EnsureGraph()
{
    if (m_graph)
        return true;
    const OpenGLCheck check = CheckOpenGL();
    if (!check.ok) {
        m_unavailable = check.reason;
        m_placeholder->setText(m_unavailable);
        return false;
    }
    auto *graph = new Q3DSurface;
    if (!graph->hasContext()) {
        delete graph;
        m_unavailable = QStringLiteral("The 3D map view needs OpenGL, which is not available here: "
                                       "the graph could not get an OpenGL context.");
        m_placeholder->setText(m_unavailable);
        return false;
    }
    m_unavailable.clear();
    m_graph = graph;
    m_graph->setHorizontalAspectRatio(1.0);
    m_graph->setAxisX(new QValue3DAxis);
    m_graph->setAxisY(new QValue3DAxis);
    m_graph->setAxisZ(new QValue3DAxis);
    for (QValue3DAxis *axis : {m_graph->axisX(), m_graph->axisY(), m_graph->axisZ()}) {
        axis->setTitleVisible(true);
        axis->setTitleFixed(false);
        axis->setLabelFormat(QStringLiteral("%d"));
        // Labels turn towards the camera, so they are not read edge on.
        axis->setLabelAutoRotation(90.0f);
        axis->setSegmentCount(4);
    }
    // Axis labels large enough to read at the dock's size, dark on a light
    // box whatever the surface behind them.
    Q3DTheme *theme = m_graph->activeTheme();
    QFont labels = theme->font();
    // The graph draws its labels in the scene, scaled with it: a font this
    // large reads at about 11 pt in a dock a third of the screen wide.
    labels.setPointSizeF(std::max<qreal>(labels.pointSizeF(), 1.0) * 4.5);
    labels.setBold(true);
    theme->setFont(labels);
    theme->setLabelBackgroundEnabled(true);
    theme->setLabelBackgroundColor(QColor(255, 255, 255, 220));
    theme->setLabelTextColor(QColor(10, 10, 10));
    theme->setLabelBorderEnabled(true);
    m_graph->installEventFilter(this);
    m_graph->setSelectionMode(QAbstract3DGraph::SelectionItem);
    m_graph->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetIsometricRight);

    m_series = new QSurface3DSeries;
    m_series->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    m_series->setFlatShadingEnabled(true);
    m_series->setItemLabelFormat(QStringLiteral("@zLabel RPM, load @xLabel: @yLabel"));
    m_graph->addSeries(m_series);

    QWidget *container = QWidget::createWindowContainer(m_graph, this);
    container->setObjectName(QStringLiteral("view3DMapGraph"));
    container->setMinimumSize(200, 160);
    container->setFocusPolicy(Qt::StrongFocus);
    layout()->replaceWidget(m_placeholder, container);
    m_placeholder->hide();
    m_pushed.reset();
    RefreshNow();
    return true;
}

void Map3DView::ShowMap(int panel)
{
    // Any selection may follow a change of the whole tune (a project load or
    // a read selects the general panel): look again in any case.
    if (MapPanels::IsMapPanel(panel))
        m_panel = panel;
    Refresh();
}

void Map3DView::Refresh()
{
    if (!m_refresh->isActive())
        m_refresh->start();
}

void Map3DView::RefreshNow()
{
    m_refresh->stop();
    const std::optional<MapKey> body = MapKeyFromPanel(m_panel);
    const CellColours::ColourScale scale = body && m_coloursOf ? m_coloursOf(*body) : CellColours::ColourScale{};
    const std::optional<MapSurfaceData> next =
        BuildMapSurface(m_state.tune, m_marks, m_panel, m_live[m_panel], scale);
    if (!next)
        return;
    m_data = *next;
    if (m_graph && isVisible())
        pushToGraph(m_data);
}

void Map3DView::pushToGraph(const MapSurfaceData &next)
{
    const bool shape = !m_pushed || !sameShape(*m_pushed, next);
    const bool colors = !m_pushed || m_pushed->colors != next.colors;
    const bool live = !m_pushed || m_pushed->liveEntry != next.liveEntry;
    if (!shape && !colors && !live)
        return;
    ++m_redraws;
    if (shape) {
        auto *array = new QSurfaceDataArray;
        array->reserve(N);
        for (int r = 0; r < N; ++r) {
            auto *row = new QSurfaceDataRow(N);
            for (int c = 0; c < N; ++c)
                (*row)[c].setPosition(QVector3D(static_cast<float>(next.tpPositions[c]),
                                                static_cast<float>(next.heights[r * N + c]),
                                                static_cast<float>(next.rpmPositions[r])));
            array->append(row);
        }
        m_series->dataProxy()->resetArray(array);
        m_graph->axisX()->setTitle(next.tpTitle());
        m_graph->axisY()->setTitle(next.heightTitle());
        m_graph->axisZ()->setTitle(next.rpmTitle());
    }
    if (colors)
        m_series->setTexture(SurfaceTexture(next));
    if (live || shape) {
        if (next.liveEntry)
            m_series->setSelectedPoint(QPoint(*next.liveEntry / N, *next.liveEntry % N));
        else if (m_pushed && m_pushed->liveEntry)
            m_series->setSelectedPoint(QSurface3DSeries::invalidSelectionPosition());
    }
    m_pushed = next;
}

void Map3DView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Refresh();
    requestSurfaceUpdate();
    // The main window's activation (another window moved away from it)
    // reaches this view through its top-level widget.
    if (QWidget *top = window(); top && top != this)
        top->installEventFilter(this);
}

void Map3DView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        requestSurfaceUpdate();
}

bool Map3DView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Expose:
    case QEvent::Show:
    case QEvent::WindowActivate:
        if (watched == m_graph || watched == window())
            requestSurfaceUpdate();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Map3DView::requestSurfaceUpdate()
{
    if (!m_graph || !isVisible())
        return;
    ++m_updateRequests;
    m_graph->requestUpdate();
}

void Map3DView::TakeSample(const AcquisitionSample &sample)
{
    if (!sample.acquired)
        return;
    bool changed = false;
    for (const AcquisitionSample::TracedCell &cell : sample.cells) {
        const int panel = CatalogueEntry(cell.map).panel;
        if (panel < 0 || panel >= static_cast<int>(m_live.size()))
            continue;
        std::optional<LiveCell> &slot = m_live[static_cast<std::size_t>(panel)];
        if (!slot || slot->rpmIndex != cell.rpmIndex || slot->tpIndex != cell.tpIndex) {
            slot = LiveCell{cell.rpmIndex, cell.tpIndex};
            changed = changed || panel == m_panel;
        }
    }
    if (changed)
        Refresh();
}

void Map3DView::ClearLiveCells()
{
    m_live.fill(std::nullopt);
    Refresh();
}

QImage Map3DView::SurfaceTexture(const MapSurfaceData &data, int blockPixels)
{
    const int b = std::max(1, blockPixels);
    QImage image(N * b, N * b, QImage::Format_RGB32);
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c < N; ++c) {
            const quint32 color = data.colors[r * N + c];
            const QRgb rgb = qRgb(VntRed(color), VntGreen(color), VntBlue(color));
            const int top = (N - 1 - r) * b;
            for (int y = top; y < top + b; ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                std::fill(line + c * b, line + (c + 1) * b, rgb);
            }
        }
    }
    return image;
}
