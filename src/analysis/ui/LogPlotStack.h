#pragma once

#include <QWidget>
#include <cmath>
#include <vector>

struct DataLog;
class LogChartView;
class QVBoxLayout;

// The datalog viewer's plots: one per chosen column, stacked on one time
// range, their plot areas lined up so that one instant is at the same x in
// all of them. What the mouse asks of a plot is passed on to the viewer.
class LogPlotStack : public QWidget
{
    Q_OBJECT
public:
    // log outlives the stack.
    LogPlotStack(const DataLog &log, QWidget *parent = nullptr);

    // New plots for these columns of the log, on the range and cursor shown.
    void setColumns(const std::vector<int> &columns);
    const std::vector<int> &columns() const { return m_columns; }
    int count() const { return static_cast<int>(m_views.size()); }
    LogChartView *plot(int i) const { return m_views[static_cast<std::size_t>(i)]; }

    void showRange(double t0, double t1);
    void setCursorTime(double t);
    // Cursors A and B on every plot (NaN where unset).
    void setWindowMarks(double a, double b);
    // No cursor line on plots made from now on (a new log).
    void clearCursor();
    // Draws every plot again for the range (its width may have changed).
    void refresh();

signals:
    void zoomRequested(double factor, double centreTime);
    void panRequested(double deltaTime);
    void cursorRequested(double time);

private:
    void alignPlots();
    void scheduleAlign();

    const DataLog &m_log;
    QVBoxLayout *m_layout = nullptr;
    std::vector<int> m_columns;
    std::vector<LogChartView *> m_views;
    double m_t0 = 0;
    double m_t1 = 1;
    double m_cursor = 0;
    bool m_hasCursor = false;
    double m_markA = std::nan("");
    double m_markB = std::nan("");
    bool m_alignPending = false;
};
