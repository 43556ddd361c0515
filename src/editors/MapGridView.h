#pragma once

#include <QTableView>

// The map grid's view: 17 x 17 cells with the axes in row 0 and column 0 (no
// separate headers). Character keys and Enter go to the panel instead of the
// view's own editing and keyboard search; navigation keys move the current
// cell as usual. The current cell keeps its own colour (with a focus frame)
// unless the selection spans several cells.
class MapGridView : public QTableView
{
    Q_OBJECT
public:
    explicit MapGridView(QWidget *parent = nullptr);

    // More than one cell selected.
    bool hasMultiCellSelection() const;
    // While blocked (the in-place editor is open) the mouse does not move the
    // current cell.
    void setInputBlocked(bool blocked) { m_blocked = blocked; }

signals:
    // A character key (its code) or Enter (13).
    void characterTyped(int code);
    void rightButtonReleased(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool m_blocked = false;
};
