#pragma once

#include <QHash>
#include <QStringList>
#include <QTableView>

// The map grid's view: 17 x 17 cells with the axes in row 0 and column 0 (no
// separate headers). Character keys and Enter go to the panel instead of the
// view's own editing and keyboard search; navigation keys move the current
// cell as usual. Cells keep their own colours when selected: the selection
// and the current cell are drawn as black-and-white frames, which show on
// every background.
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

    // Marks other tools draw over the cells (the map overlay from a log, the
    // datalog viewer's cursor): a note at a cell's left, beside its value, and
    // a frame around one cell. They live in the view, not in the model, so a
    // refill of the grid keeps them. shorter: forms of the note drawn when it
    // does not fit beside the value (longest first); tip: the full figures,
    // shown as the cell's tooltip.
    void setCellNote(int row, int col, const QString &note, const QString &tip = QString(),
                     const QStringList &shorter = QStringList());
    QString cellNote(int row, int col) const { return m_notes.value(row * 1000 + col).forms.value(0); }
    QStringList cellNoteForms(int row, int col) const { return m_notes.value(row * 1000 + col).forms; }
    QString cellNoteTip(int row, int col) const { return m_notes.value(row * 1000 + col).tip; }
    void clearCellNotes();
    // A heat layer over the notes' cells: 0 (none) to 1 (the hottest cell),
    // a tint from yellow to red that leaves the value readable. Cleared with
    // the notes.
    void setCellHeat(int row, int col, double heat);
    double cellHeat(int row, int col) const { return m_heat.value(row * 1000 + col); }
    // (-1, -1) takes the frame away.
    void setMarkedCell(int row, int col);
    int markedRow() const { return m_markedRow; }
    int markedCol() const { return m_markedCol; }
    // The cell the engine runs in now, framed boldly so it stands out among
    // the cells the trace has visited; (-1, -1) takes the frame away.
    void setLiveCell(int row, int col);
    int liveRow() const { return m_liveRow; }
    int liveCol() const { return m_liveCol; }

signals:
    // A character key (its code) or Enter (13).
    void characterTyped(int code);
    // F2: edit the current cell's value.
    void editKeyPressed();
    void rightButtonReleased(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    bool m_blocked = false;
    struct Note
    {
        QStringList forms;
        QString tip;
    };
    QHash<int, Note> m_notes; // row * 1000 + col
    QHash<int, double> m_heat;
    int m_markedRow = -1;
    int m_markedCol = -1;
    int m_liveRow = -1;
    int m_liveCol = -1;
};
