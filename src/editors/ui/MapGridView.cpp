#include "editors/ui/MapGridView.h"

#include "editors/CellNoteFit.h"
#include "editors/GridRules.h"
#include "editors/ui/MapGridModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
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
        fitFont(plain, index);
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
        const bool live = index.row() == m_view->liveRow() && index.column() == m_view->liveCol();
        if (live)
            frame(painter, option.rect, 3, Qt::SolidLine);
        if (index == m_view->currentIndex())
            frame(painter, option.rect, 2, Qt::DashLine);
        else if (selected)
            frame(painter, option.rect, 1, Qt::SolidLine);
        // The engine's cell and the current one are the cells the tuner
        // most wants to read: their values go over the frames.
        if (live || index == m_view->currentIndex())
            paintTextOnly(painter, plain, index);
    }

    // A figure too wide for a narrow cell is drawn smaller, not cut.
    static void fitFont(QStyleOptionViewItem &option, const QModelIndex &index)
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        const int padding = 2 * (metrics.horizontalAdvance(QLatin1Char(' ')) + 1);
        const double scale = GridRules::TextScaleToFit(metrics.horizontalAdvance(text), option.rect.width() - padding);
        if (scale >= 1.0)
            return;
        if (option.font.pointSizeF() > 0)
            option.font.setPointSizeF(option.font.pointSizeF() * scale);
        else
            option.font.setPixelSize(std::max(1, static_cast<int>(option.font.pixelSize() * scale)));
    }

    void paintTextOnly(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        QStyleOptionViewItem text(option);
        initStyleOption(&text, index);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        // On the cell's own colour, the frames broken where the figure stands.
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &text, widget);
        const QRect figure = QFontMetrics(text.font).boundingRect(area, int(text.displayAlignment), text.text);
        painter->fillRect(figure.adjusted(-1, 0, 1, 0) & option.rect, text.backgroundBrush);
        text.backgroundBrush = Qt::NoBrush;
        style->drawControl(QStyle::CE_ItemViewItem, &text, painter, widget);
    }

    // A white line under a black one: one of the two shows on any colour.
    // Drawn on the cell's edge, clear of the value as far as the cell lets.
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
        const QStringList forms = m_view->cellNoteForms(index.row(), index.column());
        const bool marked = index.row() == m_view->markedRow() && index.column() == m_view->markedCol();
        const double heat = std::clamp(m_view->cellHeat(index.row(), index.column()), 0.0, 1.0);
        if (forms.isEmpty() && !marked && heat <= 0)
            return;
        painter->save();
        if (heat > 0)
            painter->fillRect(rect, QColor(255, static_cast<int>(220 * (1 - heat)), 0,
                                           static_cast<int>(60 + 110 * heat)));
        if (!forms.isEmpty()) {
            // In the grid's own font, in the room the right-aligned value
            // leaves, on a box that stands out from the cell's colour.
            const QFont font = m_view->font();
            const QFontMetrics fm(font);
            const int valueWidth = fm.horizontalAdvance(index.data(Qt::DisplayRole).toString());
            const int room = rect.width() - valueWidth - 12;
            const QString note = CellNoteFit::Choose(forms, room, [&fm](const QString &t) {
                return fm.horizontalAdvance(t);
            });
            const QVariant back = index.data(Qt::BackgroundRole);
            const QColor cell = back.canConvert<QBrush>() && back.value<QBrush>().style() != Qt::NoBrush
                                    ? back.value<QBrush>().color()
                                    : m_view->palette().color(QPalette::Base);
            const bool dark = CellNoteFit::DarkBoxOn(cell.rgb() & 0xFFFFFF);
            painter->setFont(font);
            const QRect box(rect.left() + 1, rect.top() + 1, fm.horizontalAdvance(note) + 4, rect.height() - 2);
            painter->fillRect(box, dark ? QColor(20, 30, 70) : QColor(255, 255, 210));
            painter->setPen(dark ? QColor(Qt::white) : QColor(Qt::black));
            painter->drawText(box, Qt::AlignCenter, note);
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

void MapGridView::setCellNote(int row, int col, const QString &note, const QString &tip, const QStringList &shorter)
{
    const int key = row * 1000 + col;
    if (note.isEmpty())
        m_notes.remove(key);
    else
        m_notes.insert(key, Note{QStringList{note} + shorter, tip});
    viewport()->update();
}

bool MapGridView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString tip = index.isValid() ? cellNoteTip(index.row(), index.column()) : QString();
        if (!tip.isEmpty()) {
            const QString other = index.data(Qt::ToolTipRole).toString();
            QToolTip::showText(help->globalPos(), other.isEmpty() ? tip : tip + QLatin1Char('\n') + other,
                               viewport(), visualRect(index));
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void MapGridView::clearCellNotes()
{
    if (m_notes.isEmpty() && m_heat.isEmpty())
        return;
    m_notes.clear();
    m_heat.clear();
    viewport()->update();
}

void MapGridView::setCellHeat(int row, int col, double heat)
{
    if (heat > 0)
        m_heat.insert(row * 1000 + col, heat);
    else
        m_heat.remove(row * 1000 + col);
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
    // The frame stays inside its cell: repainting the two cells it leaves and
    // enters, not the whole grid, keeps a tick's paint short (the engine
    // changes cells at most ticks).
    const auto repaintCell = [this](int r, int c) {
        if (model() && r >= 0 && c >= 0)
            viewport()->update(visualRect(model()->index(r, c)));
    };
    repaintCell(m_liveRow, m_liveCol);
    m_liveRow = row;
    m_liveCol = col;
    repaintCell(m_liveRow, m_liveCol);
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
