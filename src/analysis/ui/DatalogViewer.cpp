#include "analysis/ui/DatalogViewer.h"

#include "analysis/ui/CursorReadout.h"
#include "analysis/ui/LogChartView.h"
#include "analysis/ui/LogPlotStack.h"
#include "analysis/ui/PlaybackBar.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

constexpr int MaxPlots = 8;

bool isRatioName(const QString &name)
{
    const QString n = name.toUpper();
    return n.contains(QLatin1String("AFR")) || n.contains(QLatin1String("LAMBDA")) || n.contains(QLatin1String("WIDEBAND"))
           || n.contains(QLatin1String("O2"));
}

} // namespace

DatalogViewer::DatalogViewer(UiServices &ui, std::function<QString()> runningLogPath, QWidget *parent)
    : QMainWindow(parent), m_ui(ui), m_runningLogPath(std::move(runningLogPath))
{
    setObjectName(QStringLiteral("DatalogViewer"));
    setWindowTitle(QStringLiteral("Datalog Viewer"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildUi();
    resize(1000, 700);
}

DatalogViewer::~DatalogViewer() = default;

void DatalogViewer::buildUi()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuViewerFile"));
    QAction *open = file->addAction(QStringLiteral("&Open Log..."));
    open->setObjectName(QStringLiteral("mnuViewerOpen"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &DatalogViewer::chooseAndOpenLog);
    QAction *running = file->addAction(QStringLiteral("Open &Running Session Log"));
    running->setObjectName(QStringLiteral("mnuViewerOpenRunning"));
    connect(running, &QAction::triggered, this, &DatalogViewer::openRunningLog);
    file->addSeparator();
    QAction *close = file->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("mnuViewerClose"));
    connect(close, &QAction::triggered, this, &QWidget::close);

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuViewerView"));
    QAction *all = view->addAction(QStringLiteral("Show &Whole Log"));
    all->setObjectName(QStringLiteral("mnuViewerShowAll"));
    all->setShortcut(Qt::CTRL | Qt::Key_0);
    connect(all, &QAction::triggered, this, &DatalogViewer::showAll);

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuViewerTools"));
    QAction *overlay = tools->addAction(QStringLiteral("Map &Overlay..."));
    overlay->setObjectName(QStringLiteral("mnuViewerOverlay"));
    connect(overlay, &QAction::triggered, this, &DatalogViewer::overlayRequested);
    QAction *correction = tools->addAction(QStringLiteral("&Fuel Correction..."));
    correction->setObjectName(QStringLiteral("mnuViewerCorrection"));
    connect(correction, &QAction::triggered, this, &DatalogViewer::correctionRequested);
    QAction *scatter = tools->addAction(QStringLiteral("X-Y &Scatter..."));
    scatter->setObjectName(QStringLiteral("mnuViewerScatter"));
    connect(scatter, &QAction::triggered, this, &DatalogViewer::scatterRequested);
    tools->addSeparator();
    QAction *markA =
        tools->addAction(QStringLiteral("Cursor &A Here"), this, [this] { setMarks(cursorRow(), m_markB); });
    markA->setObjectName(QStringLiteral("mnuViewerMarkA"));
    markA->setShortcut(Qt::Key_A);
    QAction *markB =
        tools->addAction(QStringLiteral("Cursor &B Here"), this, [this] { setMarks(m_markA, cursorRow()); });
    markB->setObjectName(QStringLiteral("mnuViewerMarkB"));
    markB->setShortcut(Qt::Key_B);
    QAction *clearMarks =
        tools->addAction(QStringLiteral("&Clear Cursors A and B"), this, [this] { setMarks(-1, -1); });
    clearMarks->setObjectName(QStringLiteral("mnuViewerClearMarks"));

    m_bar = new PlaybackBar(this);
    addToolBar(m_bar);
    connect(m_bar, &PlaybackBar::followToggled, this, &DatalogViewer::followRunningLog);
    m_followTimer = new QTimer(this);
    m_followTimer->setInterval(FollowMs);
    connect(m_followTimer, &QTimer::timeout, this, &DatalogViewer::readFollowedLog);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("viewerSplitter"));

    m_columns = new QListWidget(splitter);
    m_columns->setObjectName(QStringLiteral("listColumns"));
    m_columns->setToolTip(QStringLiteral("Tick the columns to plot"));
    connect(m_columns, &QListWidget::itemChanged, this, &DatalogViewer::columnItemChanged);
    auto *scroll = new QScrollArea(splitter);
    scroll->setWidgetResizable(true);
    // The cursor keys stay the viewer's: the list and the scroll area would scroll with them.
    m_columns->setFocusPolicy(Qt::NoFocus);
    scroll->setFocusPolicy(Qt::NoFocus);
    m_plots = new LogPlotStack(m_log);
    connect(m_plots, &LogPlotStack::zoomRequested, this, &DatalogViewer::zoom);
    connect(m_plots, &LogPlotStack::panRequested, this, &DatalogViewer::pan);
    connect(m_plots, &LogPlotStack::cursorRequested, this, &DatalogViewer::setCursorTime);
    scroll->setWidget(m_plots);

    m_readout = new CursorReadout(splitter);
    splitter->addWidget(m_columns);
    splitter->addWidget(scroll);
    splitter->addWidget(m_readout);
    for (int i : {0, 1, 2})
        splitter->setStretchFactor(i, i == 1 ? 1 : 0);
    splitter->setSizes({170, 600, 230});
    setCentralWidget(splitter);

    m_summary = new QLabel;
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    showSummary(QStringLiteral("No log open."));
    statusBar()->addWidget(m_summary, 1);
    m_readProgress = new QProgressBar;
    m_readProgress->setObjectName(QStringLiteral("barOpening"));
    m_readProgress->setRange(0, 1000);
    m_readProgress->setTextVisible(false);
    m_readProgress->hide();
    m_cancelRead = new QPushButton(QStringLiteral("Cancel"));
    m_cancelRead->setObjectName(QStringLiteral("cmdCancelOpening"));
    m_cancelRead->hide();
    connect(m_cancelRead, &QPushButton::clicked, this, &DatalogViewer::cancelOpening);
    statusBar()->addPermanentWidget(m_readProgress);
    statusBar()->addPermanentWidget(m_cancelRead);
    setFocusPolicy(Qt::StrongFocus);
}

QString DatalogViewer::loadSummary() const
{
    return m_shownSummary;
}

void DatalogViewer::chooseAndOpenLog()
{
    const QString path = m_ui.files.openFile(
        this, QStringLiteral("Open Datalog"),
        QStringLiteral("Datalogs (*.csv;*.txt)|*.csv;*.txt|Comma Separated Values (*.csv)|*.csv|"
                       "Tab Separated Values (*.txt)|*.txt|All Files (*.*)|*.*"));
    if (!path.isEmpty())
        openLog(path);
}

void DatalogViewer::openRunningLog()
{
    const QString path = m_runningLogPath ? m_runningLogPath() : QString();
    if (path.isEmpty()) {
        m_ui.messages.exclamation(this, QStringLiteral("No datalog is being recorded. Switch real-time mode on to "
                                                       "start one."));
        return;
    }
    openLog(path);
}

void DatalogViewer::fillColumnList()
{
    m_filling = true;
    m_columns->clear();
    // Engine speed, load and a ratio-like column are plotted at first.
    int ratio = -1;
    for (int c = 0; c < m_log.columnCount(); ++c)
        if (ratio < 0 && isRatioName(m_log.names[c]))
            ratio = c;
    for (int c = 0; c < m_log.columnCount(); ++c) {
        auto *item = new QListWidgetItem(m_log.names[c], m_columns);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool plotted = c == m_rpmColumn || c == m_tpColumn || c == ratio
                             || (m_rpmColumn < 0 && m_tpColumn < 0 && c < 2);
        item->setCheckState(plotted ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, c);
    }
    m_filling = false;
}

std::vector<int> DatalogViewer::plottedColumns() const
{
    return m_plots->columns();
}

int DatalogViewer::plotCount() const
{
    return m_plots->count();
}

LogChartView *DatalogViewer::plot(int i) const
{
    return m_plots->plot(i);
}

void DatalogViewer::setColumnPlotted(int column, bool plotted)
{
    if (QListWidgetItem *item = m_columns->item(column))
        item->setCheckState(plotted ? Qt::Checked : Qt::Unchecked);
}

void DatalogViewer::columnItemChanged(QListWidgetItem *item)
{
    if (m_filling)
        return;
    if (item->checkState() == Qt::Checked && m_plots->count() >= MaxPlots) {
        m_filling = true;
        item->setCheckState(Qt::Unchecked);
        m_filling = false;
        statusBar()->showMessage(QStringLiteral("At most %1 plots at a time.").arg(MaxPlots), 4000);
        return;
    }
    rebuildPlots();
}

void DatalogViewer::rebuildPlots()
{
    std::vector<int> columns;
    for (int i = 0; i < m_columns->count() && static_cast<int>(columns.size()) < MaxPlots; ++i) {
        const QListWidgetItem *item = m_columns->item(i);
        if (item->checkState() == Qt::Checked)
            columns.push_back(item->data(Qt::UserRole).toInt());
    }
    m_plots->setColumns(columns);
}

void DatalogViewer::rangeChanged(bool changed)
{
    if (changed)
        m_plots->showRange(m_nav.start(), m_nav.end());
}

void DatalogViewer::setView(double t0, double t1)
{
    rangeChanged(m_nav.setRange(t0, t1));
}

void DatalogViewer::zoom(double factor, double centre)
{
    rangeChanged(m_nav.zoom(factor, centre));
}

void DatalogViewer::pan(double delta)
{
    rangeChanged(m_nav.pan(delta));
}

void DatalogViewer::showAll()
{
    rangeChanged(m_nav.showAll());
}

void DatalogViewer::setCursorTime(double t)
{
    bool moved = false;
    if (m_nav.setCursorTime(t, &moved))
        cursorChanged(moved);
}

void DatalogViewer::setCursorRow(std::ptrdiff_t row)
{
    bool moved = false;
    if (m_nav.setCursorRow(row, &moved))
        cursorChanged(moved);
}

void DatalogViewer::cursorChanged(bool rangeMoved)
{
    m_plots->setCursorTime(m_log.time[static_cast<std::size_t>(m_nav.cursorRow())]);
    rangeChanged(rangeMoved);
    refreshCursorTable();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    emit cursorMoved(m_rpmColumn >= 0 ? valueAtCursor(m_rpmColumn) : nan,
                     m_tpColumn >= 0 ? valueAtCursor(m_tpColumn) : nan);
    emit cursorRowMoved(m_nav.cursorRow());
}

float DatalogViewer::valueAtCursor(int column) const
{
    const std::ptrdiff_t row = m_nav.cursorRow();
    if (row < 0 || column < 0 || column >= m_log.columnCount())
        return std::numeric_limits<float>::quiet_NaN();
    return m_log.columns[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

void DatalogViewer::refreshCursorTable()
{
    m_readout->showRows(m_log, m_nav.cursorRow(), m_markA, m_markB);
}

void DatalogViewer::keyPressEvent(QKeyEvent *event)
{
    if (!hasLog()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    const std::ptrdiff_t step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    bool moved = false;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_nav.stepCursor(event->key() == Qt::Key_Left ? -step : step, &moved))
            cursorChanged(moved);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (m_nav.stepCursorSeconds(event->key() == Qt::Key_PageUp ? -1.0 : 1.0, &moved))
            cursorChanged(moved);
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        setCursorRow(event->key() == Qt::Key_Home ? 0 : static_cast<std::ptrdiff_t>(m_log.rowCount()) - 1);
        break;
    case Qt::Key_Space:
        m_bar->playAction()->trigger();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        rangeChanged(m_nav.zoomAtCursor(0.5));
        break;
    case Qt::Key_Minus:
        rangeChanged(m_nav.zoomAtCursor(2.0));
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DatalogViewer::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    cancelOpening();
    followRunningLog(false);
    emit closed();
}

void DatalogViewer::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_plots->refresh();
}
