#pragma once

#include "editors/GridRules.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <array>

// The cells of the map grid as shown: text, background and text colour of
// each of the 17 x 17 cells. The grid panel decides what each cell shows (its
// trace colours are not a function of the tune alone); this model only holds
// it and tells the view what changed.
class MapGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit MapGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // While a fill is open, changes are collected and reported once when it
    // ends.
    void beginFill();
    void endFill();

    void setCell(int row, int col, const QString &text, const QColor &background,
                 const QColor &foreground);
    void setText(int row, int col, const QString &text);
    void setBackground(int row, int col, const QColor &background);

    // A cell that differs from a compared tune: outlined, with the other
    // tune's value (note) as its tooltip. An empty note takes the mark away.
    static constexpr int CompareRole = Qt::UserRole + 1;
    void setCompareNote(int row, int col, const QString &note);
    QString compareNote(int row, int col) const;

    QString text(int row, int col) const;
    QColor background(int row, int col) const;
    QColor foreground(int row, int col) const;

private:
    struct Cell
    {
        QString text;
        QColor background;
        QColor foreground;
        QString compareNote;
    };
    static bool inGrid(int row, int col);
    Cell &cell(int row, int col) { return m_cells[row * GridRules::GridCols + col]; }
    const Cell &cell(int row, int col) const { return m_cells[row * GridRules::GridCols + col]; }
    void changed(int row, int col);

    std::array<Cell, GridRules::GridRows * GridRules::GridCols> m_cells;
    int m_fillDepth = 0;
};
