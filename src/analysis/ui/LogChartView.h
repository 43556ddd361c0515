#pragma once

#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <cmath>

// One plot of the datalog viewer: one column against time. The viewer keeps
// every plot on the same time range; this view only reports what the mouse
// asks for (zoom, pan, cursor) and draws the cursor line.
class LogChartView : public QChartView
{
    Q_OBJECT
public:
    // The chart's own margin on each side, in pixels.
    static constexpr int BaseMargin = 4;

    explicit LogChartView(const QString &title, QWidget *parent = nullptr);

    QLineSeries *series() const { return m_series; }
    QValueAxis *timeAxis() const { return m_x; }
    QValueAxis *valueAxis() const { return m_y; }
    // The plot area's width in pixels (how many slices the decimation uses).
    int plotWidth() const;
    // Shows the time from t0 to t1 and values from low to high, ticks on
    // round numbers (1, 2 or 5 times a power of ten).
    void setRanges(double t0, double t1, double low, double high);

    void setCursorTime(double t);
    // Cursors A and B (NaN where unset); the time between them is shaded.
    void setWindowMarks(double a, double b);
    // Time at a point of the widget.
    double timeAt(const QPointF &widgetPos) const;

signals:
    void zoomRequested(double factor, double centreTime); // factor < 1 zooms in
    void panRequested(double deltaTime);
    void cursorRequested(double time);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    QLineSeries *m_series = nullptr;
    QValueAxis *m_x = nullptr;
    QValueAxis *m_y = nullptr;
    double m_cursor = 0;
    bool m_hasCursor = false;
    double m_markA = std::nan("");
    double m_markB = std::nan("");
    bool m_dragging = false;
    bool m_moved = false;
    QPointF m_pressPos;
    QPointF m_lastPos;
};
