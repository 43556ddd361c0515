#include "editors/ui/MapGridModel.h"

#include <QBrush>

MapGridModel::MapGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int MapGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridRules::GridRows;
}

int MapGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridRules::GridCols;
}

QVariant MapGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !inGrid(index.row(), index.column()))
        return {};
    const Cell &c = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return c.text;
    case Qt::BackgroundRole:
        return c.background.isValid() ? QVariant(QBrush(c.background)) : QVariant();
    case Qt::ForegroundRole:
        return c.foreground.isValid() ? QVariant(QBrush(c.foreground)) : QVariant();
    case Qt::ToolTipRole:
        return c.compareNote.isEmpty() ? QVariant() : QVariant(c.compareNote);
    case CompareRole:
        return !c.compareNote.isEmpty();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags MapGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void MapGridModel::beginFill()
{
    ++m_fillDepth;
}

void MapGridModel::endFill()
{
    if (m_fillDepth > 0 && --m_fillDepth == 0)
        emit dataChanged(index(0, 0), index(GridRules::GridRows - 1, GridRules::GridCols - 1));
}

void MapGridModel::setCell(int row, int col, const QString &text, const QColor &background,
                           const QColor &foreground)
{
    if (!inGrid(row, col))
        return;
    Cell &c = cell(row, col);
    c.text = text;
    c.background = background;
    c.foreground = foreground;
    changed(row, col);
}

void MapGridModel::setText(int row, int col, const QString &text)
{
    if (!inGrid(row, col))
        return;
    cell(row, col).text = text;
    changed(row, col);
}

void MapGridModel::setBackground(int row, int col, const QColor &background)
{
    if (!inGrid(row, col))
        return;
    cell(row, col).background = background;
    changed(row, col);
}

void MapGridModel::setCompareNote(int row, int col, const QString &note)
{
    if (!inGrid(row, col) || cell(row, col).compareNote == note)
        return;
    cell(row, col).compareNote = note;
    changed(row, col);
}

QString MapGridModel::compareNote(int row, int col) const
{
    return inGrid(row, col) ? cell(row, col).compareNote : QString();
}

QString MapGridModel::text(int row, int col) const
{
    return inGrid(row, col) ? cell(row, col).text : QString();
}

QColor MapGridModel::background(int row, int col) const
{
    return inGrid(row, col) ? cell(row, col).background : QColor();
}

QColor MapGridModel::foreground(int row, int col) const
{
    return inGrid(row, col) ? cell(row, col).foreground : QColor();
}

bool MapGridModel::inGrid(int row, int col)
{
    return row >= 0 && col >= 0 && row < GridRules::GridRows && col < GridRules::GridCols;
}

void MapGridModel::changed(int row, int col)
{
    if (m_fillDepth == 0) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i);
    }
}
