#include "editors/ui/MapGridView.h"

#include "editors/ui/MapGridModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

class CurrentCellDelegate : public QStyledItemDelegate
{
public:
    explicit CurrentCellDelegate(MapGridView *view)
        : QStyledItemDelegate(view), m_view(view)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        // The cell's own colour always shows; the selection is a frame.
        QStyleOptionViewItem plain(option);
        const bool selected = option.state & QStyle::State_Selected;
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
        paintMarks(painter, option.rect, index);
        // A cell that differs from a compared tune.
        if (index.data(MapGridModel::CompareRole).toBool()) {
            painter->save();
            painter->setPen(QPen(QColor(255, 0, 255), 2, Qt::DashLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
            painter->restore();
        }
        if (index.row() == m_view->liveRow() && index.column() == m_view->liveCol())
            frame(painter, option.rect, 3, Qt::SolidLine);
        if (index == m_view->currentIndex())
            frame(painter, option.rect, 2, Qt::DashLine);
        else if (selected)
            frame(painter, option.rect, 1, Qt::SolidLine);
    }

    // A white line under a black one: one of the two shows on any colour.
    static void frame(QPainter *painter, const QRect &rect, int width, Qt::PenStyle style)
    {
        painter->save();
        painter->setBrush(Qt::NoBrush);
        const QRect r = rect.adjusted(width / 2 + 1, width / 2 + 1, -(width + 1) / 2 - 1, -(width + 1) / 2 - 1);
        painter->setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter->drawRect(r);
        painter->setPen(QPen(Qt::black, width, style, Qt::FlatCap, Qt::MiterJoin));
        painter->drawRect(r);
        painter->restore();
    }

    void paintMarks(QPainter *painter, const QRect &rect, const QModelIndex &index) const
    {
        const QString note = m_view->cellNote(index.row(), index.column());
        const bool marked = index.row() == m_view->markedRow() && index.column() == m_view->markedCol();
        if (note.isEmpty() && !marked)
            return;
        painter->save();
        if (!note.isEmpty()) {
            QFont small = m_view->font();
            small.setPointSizeF(std::max(5.0, small.pointSizeF() * 0.7));
            painter->setFont(small);
            const QRect box = rect.adjusted(2, 1, -2, -1);
            const QRect textRect = painter->fontMetrics().boundingRect(box, Qt::AlignLeft | Qt::AlignTop, note);
            painter->fillRect(textRect, QColor(255, 255, 224));
            painter->setPen(Qt::black);
            painter->drawText(box, Qt::AlignLeft | Qt::AlignTop, note);
        }
        if (marked) {
            painter->setPen(QPen(QColor(255, 160, 0), 3));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(rect.adjusted(1, 1, -2, -2));
        }
        painter->restore();
    }

private:
    MapGridView *m_view;
};

} // namespace

MapGridView::MapGridView(QWidget *parent)
    : QTableView(parent)
{
    setItemDelegate(new CurrentCellDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void MapGridView::setCellNote(int row, int col, const QString &note)
{
    const int key = row * 1000 + col;
    if (note.isEmpty())
        m_notes.remove(key);
    else
        m_notes.insert(key, note);
    viewport()->update();
}

void MapGridView::clearCellNotes()
{
    if (m_notes.isEmpty())
        return;
    m_notes.clear();
    viewport()->update();
}

void MapGridView::setMarkedCell(int row, int col)
{
    if (row == m_markedRow && col == m_markedCol)
        return;
    m_markedRow = row;
    m_markedCol = col;
    viewport()->update();
}

bool MapGridView::hasMultiCellSelection() const
{
    const QItemSelectionModel *sel = selectionModel();
    if (!sel)
        return false;
    int cells = 0;
    for (const QItemSelectionRange &range : sel->selection()) {
        cells += range.width() * range.height();
        if (cells > 1)
            return true;
    }
    return false;
}

void MapGridView::setLiveCell(int row, int col)
{
    if (row == m_liveRow && col == m_liveCol)
        return;
    m_liveRow = row;
    m_liveCol = col;
    viewport()->update();
}

void MapGridView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        emit editKeyPressed();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit characterTyped(13);
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isPrint()) {
        emit characterTyped(text.at(0).unicode());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void MapGridView::mousePressEvent(QMouseEvent *event)
{
    if (m_blocked) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void MapGridView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_blocked) {
        event->accept();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void MapGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_blocked) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void MapGridView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_blocked) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightButtonReleased(event->globalPosition().toPoint());
}
