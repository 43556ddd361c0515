#include "analysis/ui/DatalogViewer.h"

#include "analysis/Decimation.h"
#include "analysis/ui/LogChartView.h"
#include "daq/GeneralText.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"

#include <QCloseEvent>
#include <QChart>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int MaxPlots = 8;
constexpr double MinSpan = 0.05; // seconds (or samples) in view at the closest zoom

QString valueText(float v)
{
    return std::isnan(v) ? QString() : vnt::GeneralText(v);
}

bool isRatioName(const QString &name)
{
    const QString n = name.toUpper();
    return n.contains(QLatin1String("AFR")) || n.contains(QLatin1String("LAMBDA")) || n.contains(QLatin1String("WIDEBAND"))
           || n.contains(QLatin1String("O2"));
}

} // namespace

DatalogViewer::DatalogViewer(UiServices &ui, QWidget *parent)
    : QMainWindow(parent), m_ui(ui)
{
    setObjectName(QStringLiteral("frmDatalogViewer"));
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
    connect(all, &QAction::triggered, this, &DatalogViewer::showAll);

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuViewerTools"));
    QAction *overlay = tools->addAction(QStringLiteral("Map &Overlay..."));
    overlay->setObjectName(QStringLiteral("mnuViewerOverlay"));
    connect(overlay, &QAction::triggered, this, &DatalogViewer::overlayRequested);
    QAction *correction = tools->addAction(QStringLiteral("&Fuel Correction..."));
    correction->setObjectName(QStringLiteral("mnuViewerCorrection"));
    connect(correction, &QAction::triggered, this, &DatalogViewer::correctionRequested);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("viewerSplitter"));

    m_columns = new QListWidget(splitter);
    m_columns->setObjectName(QStringLiteral("listColumns"));
    m_columns->setToolTip(QStringLiteral("Tick the columns to plot"));
    connect(m_columns, &QListWidget::itemChanged, this, &DatalogViewer::columnItemChanged);

    auto *scroll = new QScrollArea(splitter);
    scroll->setWidgetResizable(true);
    m_plotArea = new QWidget;
    m_plotArea->setObjectName(QStringLiteral("picPlots"));
    m_plotLayout = new QVBoxLayout(m_plotArea);
    m_plotLayout->setContentsMargins(0, 0, 0, 0);
    m_plotLayout->setSpacing(0);
    scroll->setWidget(m_plotArea);

    auto *right = new QWidget(splitter);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(2, 2, 2, 2);
    m_cursorLabel = new QLabel(QStringLiteral("Cursor: none"), right);
    m_cursorLabel->setObjectName(QStringLiteral("lblCursor"));
    rightLayout->addWidget(m_cursorLabel);
    m_cursorTable = new QTableWidget(0, 2, right);
    m_cursorTable->setObjectName(QStringLiteral("tableCursor"));
    m_cursorTable->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Value")});
    m_cursorTable->verticalHeader()->hide();
    m_cursorTable->horizontalHeader()->setStretchLastSection(true);
    m_cursorTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_cursorTable->setFocusPolicy(Qt::NoFocus);
    rightLayout->addWidget(m_cursorTable);

    splitter->addWidget(m_columns);
    splitter->addWidget(scroll);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setSizes({170, 600, 230});
    setCentralWidget(splitter);

    m_summary = new QLabel(QStringLiteral("No log open."));
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    statusBar()->addWidget(m_summary, 1);
    setFocusPolicy(Qt::StrongFocus);
}

QString DatalogViewer::loadSummary() const
{
    return m_summary->text();
}

bool DatalogViewer::openLog(const QString &path)
{
    DataLogReport report;
    DataLog log = ReadDataLog(path, &report);
    if (!report.ok) {
        m_ui.messages.exclamation(this, QStringLiteral("The datalog %1 could not be opened: %2").arg(path, report.error));
        return false;
    }
    m_log = std::move(log);
    m_report = report;
    m_path = path;
    m_rpmColumn = m_log.columnIndex(QStringLiteral("RPM"));
    m_tpColumn = m_log.columnIndex(QStringLiteral("TP"));
    setWindowTitle(QStringLiteral("Datalog Viewer - %1").arg(QFileInfo(path).fileName()));
    QString summary = report.summary();
    if (!m_log.startText.isEmpty())
        summary = QStringLiteral("Started %1; ").arg(m_log.startText) + summary;
    if (m_log.timeIsSampleNumber)
        summary += QStringLiteral("; no dates: time is the sample number");
    m_summary->setText(summary);

    m_t0 = 0;
    m_t1 = m_log.time.empty() ? 1.0 : std::max(m_log.time.back(), MinSpan);
    m_cursorRow = -1;
    fillColumnList();
    rebuildPlots();
    if (hasLog())
        setCursorRow(0);
    else
        refreshCursorTable();
    emit logLoaded();
    return true;
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
    const QString path = runningLogPath ? runningLogPath() : QString();
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
    std::vector<int> out;
    for (const Plot &p : m_charts)
        out.push_back(p.column);
    return out;
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
    if (item->checkState() == Qt::Checked && static_cast<int>(m_charts.size()) >= MaxPlots) {
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
    for (Plot &p : m_charts)
        delete p.view;
    m_charts.clear();
    for (int i = 0; i < m_columns->count(); ++i) {
        const QListWidgetItem *item = m_columns->item(i);
        if (item->checkState() != Qt::Checked || static_cast<int>(m_charts.size()) >= MaxPlots)
            continue;
        const int column = item->data(Qt::UserRole).toInt();
        auto *view = new LogChartView(m_log.names[column], m_plotArea);
        view->setObjectName(QStringLiteral("plot%1").arg(m_charts.size()));
        view->timeAxis()->setTitleText(m_log.timeIsSampleNumber ? QStringLiteral("sample") : QStringLiteral("s"));
        connect(view, &LogChartView::zoomRequested, this, &DatalogViewer::zoom);
        connect(view, &LogChartView::panRequested, this, &DatalogViewer::pan);
        connect(view, &LogChartView::cursorRequested, this, &DatalogViewer::setCursorTime);
        connect(view->chart(), &QChart::plotAreaChanged, this, &DatalogViewer::scheduleAlign);
        m_plotLayout->addWidget(view);
        m_charts.push_back({column, view});
    }
    refreshPlots();
}

double DatalogViewer::span() const
{
    return m_log.time.empty() ? 1.0 : std::max(m_log.time.back() - m_log.time.front(), MinSpan);
}

void DatalogViewer::setView(double t0, double t1)
{
    if (!(t1 > t0) || !std::isfinite(t0) || !std::isfinite(t1))
        return;
    const double full = span();
    double width = std::clamp(t1 - t0, MinSpan, full);
    t0 = std::clamp(t0, 0.0, std::max(0.0, full - width));
    m_t0 = t0;
    m_t1 = t0 + width;
    refreshPlots();
}

void DatalogViewer::zoom(double factor, double centre)
{
    if (!(factor > 0) || !std::isfinite(centre))
        return;
    const double width = (m_t1 - m_t0) * factor;
    const double ratio = (m_t1 > m_t0) ? (centre - m_t0) / (m_t1 - m_t0) : 0.5;
    const double t0 = centre - width * std::clamp(ratio, 0.0, 1.0);
    setView(t0, t0 + width);
}

void DatalogViewer::pan(double delta)
{
    setView(m_t0 + delta, m_t1 + delta);
}

void DatalogViewer::showAll()
{
    setView(0, span());
}

void DatalogViewer::alignPlots()
{
    // Stacked plots share the time axis: their plot areas are lined up (by
    // widening the left margin of those with narrower value labels), so one
    // instant is at the same x in all of them.
    m_alignPending = false;
    double widest = 0;
    std::vector<double> natural;
    for (Plot &p : m_charts) {
        QChart *chart = p.view->chart();
        const double n = chart->plotArea().left() - (chart->margins().left() - LogChartView::BaseMargin);
        natural.push_back(n);
        widest = std::max(widest, n);
    }
    for (std::size_t i = 0; i < m_charts.size(); ++i) {
        QChart *chart = m_charts[i].view->chart();
        const int left = LogChartView::BaseMargin + static_cast<int>(std::lround(widest - natural[i]));
        QMargins margins = chart->margins();
        if (margins.left() != left) {
            margins.setLeft(left);
            chart->setMargins(margins);
        }
    }
}

void DatalogViewer::scheduleAlign()
{
    if (m_alignPending)
        return;
    m_alignPending = true;
    QTimer::singleShot(0, this, &DatalogViewer::alignPlots);
}

void DatalogViewer::refreshPlots()
{
    std::vector<QPointF> points;
    for (Plot &p : m_charts) {
        const auto &values = m_log.columns[static_cast<std::size_t>(p.column)];
        // Two slices per pixel: min and max of each keep peaks visible.
        Decimation::MinMax(m_log.time, values, m_t0, m_t1, std::max(50, p.view->plotWidth() / 2), points);
        p.view->series()->replace(QList<QPointF>(points.begin(), points.end()));
        p.view->timeAxis()->setRange(m_t0, m_t1);
        double lo = 0, hi = 0;
        Decimation::RangeOf(m_log.time, values, m_t0, m_t1, lo, hi);
        if (std::isnan(lo)) {
            lo = 0;
            hi = 1;
        }
        const double margin = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::fabs(hi) * 0.05);
        p.view->valueAxis()->setRange(lo - margin, hi + margin);
        if (m_cursorRow >= 0)
            p.view->setCursorTime(m_log.time[static_cast<std::size_t>(m_cursorRow)]);
    }
}

void DatalogViewer::setCursorTime(double t)
{
    setCursorRow(m_log.nearestRow(t));
}

void DatalogViewer::setCursorRow(std::ptrdiff_t row)
{
    if (!hasLog() || row < 0)
        return;
    row = std::min<std::ptrdiff_t>(row, static_cast<std::ptrdiff_t>(m_log.rowCount()) - 1);
    m_cursorRow = row;
    const double t = m_log.time[static_cast<std::size_t>(row)];
    // Keep the cursor in view.
    if (t < m_t0 || t > m_t1) {
        const double width = m_t1 - m_t0;
        setView(t - width / 2, t + width / 2);
    }
    for (Plot &p : m_charts)
        p.view->setCursorTime(t);
    refreshCursorTable();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    emit cursorMoved(m_rpmColumn >= 0 ? valueAtCursor(m_rpmColumn) : nan,
                     m_tpColumn >= 0 ? valueAtCursor(m_tpColumn) : nan);
}

float DatalogViewer::valueAtCursor(int column) const
{
    if (m_cursorRow < 0 || column < 0 || column >= m_log.columnCount())
        return std::numeric_limits<float>::quiet_NaN();
    return m_log.columns[static_cast<std::size_t>(column)][static_cast<std::size_t>(m_cursorRow)];
}

void DatalogViewer::refreshCursorTable()
{
    m_cursorTable->setRowCount(m_log.columnCount());
    for (int c = 0; c < m_log.columnCount(); ++c) {
        auto *name = m_cursorTable->item(c, 0);
        if (!name) {
            name = new QTableWidgetItem;
            m_cursorTable->setItem(c, 0, name);
            m_cursorTable->setItem(c, 1, new QTableWidgetItem);
            m_cursorTable->item(c, 1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        name->setText(m_log.names[c]);
        m_cursorTable->item(c, 1)->setText(valueText(valueAtCursor(c)));
    }
    if (m_cursorRow < 0) {
        m_cursorLabel->setText(QStringLiteral("Cursor: none"));
        return;
    }
    const double t = m_log.time[static_cast<std::size_t>(m_cursorRow)];
    m_cursorLabel->setText(m_log.timeIsSampleNumber
                               ? QStringLiteral("Sample %1").arg(m_cursorRow + 1)
                               : QStringLiteral("Sample %1 at %2 s").arg(m_cursorRow + 1).arg(t, 0, 'f', 3));
}

void DatalogViewer::keyPressEvent(QKeyEvent *event)
{
    if (!hasLog()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    const double width = m_t1 - m_t0;
    const std::ptrdiff_t step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    const double centre = m_cursorRow >= 0 ? m_log.time[static_cast<std::size_t>(m_cursorRow)] : (m_t0 + m_t1) / 2;
    switch (event->key()) {
    case Qt::Key_Left:
        setCursorRow(std::max<std::ptrdiff_t>(0, m_cursorRow - step));
        break;
    case Qt::Key_Right:
        setCursorRow(m_cursorRow + step);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoom(0.5, centre);
        break;
    case Qt::Key_Minus:
        zoom(2.0, centre);
        break;
    case Qt::Key_PageUp:
        pan(-width / 2);
        break;
    case Qt::Key_PageDown:
        pan(width / 2);
        break;
    case Qt::Key_Home:
        showAll();
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
    emit closed();
}

void DatalogViewer::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    refreshPlots();
}
