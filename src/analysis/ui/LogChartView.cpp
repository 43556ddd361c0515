#include "analysis/ui/LogChartView.h"

#include "platform/NiceSteps.h"

#include <QChart>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

LogChartView::LogChartView(const QString &title, QWidget *parent)
    : QChartView(parent)
{
    auto *chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(title);
    chart->setMargins(QMargins(BaseMargin, 2, BaseMargin, 2));
    m_series = new QLineSeries(chart);
    chart->addSeries(m_series);
    m_x = new QValueAxis(chart);
    m_y = new QValueAxis(chart);
    m_x->setLabelFormat(QStringLiteral("%.1f"));
    m_y->setLabelFormat(QStringLiteral("%.4g"));
    chart->addAxis(m_x, Qt::AlignBottom);
    chart->addAxis(m_y, Qt::AlignLeft);
    m_series->attachAxis(m_x);
    m_series->attachAxis(m_y);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::NoRubberBand);
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(110);
}

void LogChartView::setRanges(double t0, double t1, double low, double high)
{
    // About one tick per 90 pixels across and per 30 down.
    const auto roundTicks = [](QValueAxis *axis, double from, double to, int ticks) {
        axis->setRange(from, to);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTickInterval(NiceSteps::Step(to - from, std::max(2, ticks)));
    };
    roundTicks(m_x, t0, t1, plotWidth() / 90);
    roundTicks(m_y, low, high, static_cast<int>(chart()->plotArea().height()) / 30);
}

int LogChartView::plotWidth() const
{
    const int w = static_cast<int>(chart()->plotArea().width());
    return w > 10 ? w : std::max(100, width() - 80);
}

double LogChartView::timeAt(const QPointF &widgetPos) const
{
    const QPointF scenePos = mapToScene(widgetPos.toPoint());
    const QPointF chartPos = chart()->mapFromScene(scenePos);
    return chart()->mapToValue(chartPos, m_series).x();
}

void LogChartView::setCursorTime(double t)
{
    m_cursor = t;
    m_hasCursor = true;
    resetCachedContent();
    viewport()->update();
}

void LogChartView::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        emit zoomRequested(std::pow(0.8, steps), timeAt(event->position()));
    event->accept();
}

void LogChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_moved = false;
        m_pressPos = m_lastPos = event->position();
    }
    event->accept();
}

void LogChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        if ((event->position() - m_pressPos).manhattanLength() > 4)
            m_moved = true;
        if (m_moved) {
            const double delta = timeAt(m_lastPos) - timeAt(event->position());
            m_lastPos = event->position();
            if (delta != 0)
                emit panRequested(delta);
        }
    }
    event->accept();
}

void LogChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        if (!m_moved)
            emit cursorRequested(timeAt(event->position()));
    }
    event->accept();
}

void LogChartView::setWindowMarks(double a, double b)
{
    m_markA = a;
    m_markB = b;
    resetCachedContent();
    viewport()->update();
}

void LogChartView::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    const QRectF area = chart()->mapRectToScene(chart()->plotArea());
    // The scene x of a time, held to the plot area.
    const auto xOf = [&](double t) {
        const double x = chart()->mapToScene(chart()->mapToPosition(QPointF(t, m_y->min()), m_series)).x();
        return std::clamp(x, area.left(), area.right());
    };
    const auto inView = [&](double t) { return !std::isnan(t) && t >= m_x->min() && t <= m_x->max(); };
    painter->save();
    if (!std::isnan(m_markA) && !std::isnan(m_markB)) {
        const double x0 = xOf(std::min(m_markA, m_markB));
        const double x1 = xOf(std::max(m_markA, m_markB));
        painter->fillRect(QRectF(x0, area.top(), x1 - x0, area.height()), QColor(0, 90, 220, 40));
    }
    painter->setPen(QPen(QColor(0, 90, 220), 1, Qt::DashLine));
    for (double t : {m_markA, m_markB})
        if (inView(t))
            painter->drawLine(QPointF(xOf(t), area.top()), QPointF(xOf(t), area.bottom()));
    if (m_hasCursor && inView(m_cursor)) {
        painter->setPen(QPen(QColor(220, 0, 0), 1));
        painter->drawLine(QPointF(xOf(m_cursor), area.top()), QPointF(xOf(m_cursor), area.bottom()));
    }
    painter->restore();
}
