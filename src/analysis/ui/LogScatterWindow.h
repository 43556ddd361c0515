#pragma once

#include "analysis/ScatterPoints.h"

#include <QWidget>

class DatalogViewer;
class QCheckBox;
class QComboBox;
class QLabel;

// The plot area of the scatter: the binned points in their colours, axes
// with ticks on round values.
class ScatterCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit ScatterCanvas(QWidget *parent = nullptr);
    // The pixel grid the points are binned to (the plot area).
    QSize plotSize() const;
    void setImage(ScatterPoints::Image image, const QString &xName, const QString &yName);
    const ScatterPoints::Image &image() const { return m_image; }

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect plotRect() const;

    ScatterPoints::Image m_image;
    QImage m_pixels;
    QString m_xName;
    QString m_yName;
};

// "X-Y Scatter": two columns of the viewer's log against each other, over
// the whole log or the window between cursors A and B, the points coloured
// by a third column or by time (blue early or low, red late or high).
class LogScatterWindow : public QWidget
{
    Q_OBJECT
public:
    LogScatterWindow(const DatalogViewer &viewer, QWidget *parent = nullptr);

    QComboBox *xCombo() const { return m_x; }
    QComboBox *yCombo() const { return m_y; }
    QComboBox *colourCombo() const { return m_colour; }
    QCheckBox *windowCheck() const { return m_window; }
    ScatterCanvas *canvas() const { return m_canvas; }

    // Bins and draws the points for the choices made.
    void redraw();

private:
    const DatalogViewer &m_viewer;
    QComboBox *m_x = nullptr;
    QComboBox *m_y = nullptr;
    QComboBox *m_colour = nullptr;
    QCheckBox *m_window = nullptr;
    QLabel *m_info = nullptr;
    ScatterCanvas *m_canvas = nullptr;
};
