#include "editors/MapGridView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

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
        if ((option.state & QStyle::State_Selected) && index == m_view->currentIndex()
            && !m_view->hasMultiCellSelection()) {
            QStyleOptionViewItem plain(option);
            plain.state &= ~QStyle::State_Selected;
            QStyledItemDelegate::paint(painter, plain, index);
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
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

void MapGridView::keyPressEvent(QKeyEvent *event)
{
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
