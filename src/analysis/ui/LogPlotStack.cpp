#include "analysis/ui/LogPlotStack.h"

#include "analysis/DataLog.h"
#include "analysis/Decimation.h"
#include "analysis/ui/LogChartView.h"

#include <QChart>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

LogPlotStack::LogPlotStack(const DataLog &log, QWidget *parent) : QWidget(parent), m_log(log)
{
    setObjectName(QStringLiteral("picPlots"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

void LogPlotStack::setColumns(const std::vector<int> &columns)
{
    for (LogChartView *view : m_views)
        delete view;
    m_views.clear();
    m_columns = columns;
    for (int column : columns) {
        auto *view = new LogChartView(m_log.names[column], this);
        view->setObjectName(QStringLiteral("plot%1").arg(m_views.size()));
        view->timeAxis()->setTitleText(m_log.timeIsSampleNumber ? QStringLiteral("sample") : QStringLiteral("s"));
        connect(view, &LogChartView::zoomRequested, this, &LogPlotStack::zoomRequested);
        connect(view, &LogChartView::panRequested, this, &LogPlotStack::panRequested);
        connect(view, &LogChartView::cursorRequested, this, &LogPlotStack::cursorRequested);
        connect(view->chart(), &QChart::plotAreaChanged, this, &LogPlotStack::scheduleAlign);
        m_layout->addWidget(view);
        m_views.push_back(view);
    }
    refresh();
}

void LogPlotStack::showRange(double t0, double t1)
{
    m_t0 = t0;
    m_t1 = t1;
    refresh();
}

void LogPlotStack::setCursorTime(double t)
{
    m_cursor = t;
    m_hasCursor = true;
    for (LogChartView *view : m_views)
        view->setCursorTime(t);
}

void LogPlotStack::setWindowMarks(double a, double b)
{
    m_markA = a;
    m_markB = b;
    for (LogChartView *view : m_views)
        view->setWindowMarks(a, b);
}

void LogPlotStack::clearCursor()
{
    m_hasCursor = false;
    m_markA = m_markB = std::nan("");
}

void LogPlotStack::refresh()
{
    std::vector<QPointF> points;
    for (std::size_t i = 0; i < m_views.size(); ++i) {
        LogChartView *view = m_views[i];
        const auto &values = m_log.columns[static_cast<std::size_t>(m_columns[i])];
        // Two slices per pixel: min and max of each keep peaks visible.
        Decimation::MinMax(m_log.time, values, m_t0, m_t1, std::max(50, view->plotWidth() / 2), points);
        view->series()->replace(QList<QPointF>(points.begin(), points.end()));
        double lo = 0, hi = 0;
        Decimation::RangeOf(m_log.time, values, m_t0, m_t1, lo, hi);
        if (std::isnan(lo)) {
            lo = 0;
            hi = 1;
        }
        const double margin = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::fabs(hi) * 0.05);
        view->setRanges(m_t0, m_t1, lo - margin, hi + margin);
        if (m_hasCursor)
            view->setCursorTime(m_cursor);
        view->setWindowMarks(m_markA, m_markB);
    }
}

void LogPlotStack::alignPlots()
{
    // Plots with narrower value labels get a wider left margin, so that
    // their plot areas start at the same x.
    m_alignPending = false;
    double widest = 0;
    std::vector<double> natural;
    for (LogChartView *view : m_views) {
        QChart *chart = view->chart();
        const double n = chart->plotArea().left() - (chart->margins().left() - LogChartView::BaseMargin);
        natural.push_back(n);
        widest = std::max(widest, n);
    }
    for (std::size_t i = 0; i < m_views.size(); ++i) {
        QChart *chart = m_views[i]->chart();
        const int left = LogChartView::BaseMargin + static_cast<int>(std::lround(widest - natural[i]));
        QMargins margins = chart->margins();
        if (margins.left() != left) {
            margins.setLeft(left);
            chart->setMargins(margins);
        }
    }
}

void LogPlotStack::scheduleAlign()
{
    if (m_alignPending)
        return;
    m_alignPending = true;
    QTimer::singleShot(0, this, &LogPlotStack::alignPlots);
}
