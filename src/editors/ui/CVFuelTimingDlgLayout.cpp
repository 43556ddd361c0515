// The map panel's geometry: the axis captions, the grid and the legend laid
// out over the panel, the cells' widths from the panel's width and the rows
// sharing its height.

#include "editors/ui/CVFuelTimingDlg.h"

#include "editors/ui/GridCellEditing.h"
#include "editors/ui/GridLegend.h"
#include "editors/ui/MapGridView.h"
#include "platform/ui/ScreenUnits.h"

#include <QHeaderView>
#include <QLabel>

using namespace GridRules;

int CVFuelTimingDlg::labelYWidth() const
{
    const QFontMetrics fm(LabelY->font());
    return fm.horizontalAdvance(QLatin1Char('M')) + 8;
}

void CVFuelTimingDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanel();
}

void CVFuelTimingDlg::layoutPanel()
{
    using namespace ScreenUnits;
    const int width = this->width();
    const int height = this->height();

    const int labelXHeight = LabelX->sizeHint().height();
    LabelX->setGeometry(0, 0, width, labelXHeight);

    const int lyWidth = labelYWidth();
    const int lyHeight = std::max(LabelY->heightForWidth(lyWidth), LabelY->sizeHint().height());
    LabelY->setGeometry(0, std::max(0, height / 2 - TwipsToPixelsY(300, this)), lyWidth, lyHeight);

    const int legendHeight = picLegend->sizeHint().height();
    const int gridLeft = lyWidth;
    const int gridTop = labelXHeight + TwipsToPixelsY(40, this);
    const int gridWidth = std::max(0, width - lyWidth - TwipsToPixelsX(10, this));
    const int gridHeight = std::max(0, height - labelXHeight - legendHeight - TwipsToPixelsY(50, this));
    MapGrid->setGeometry(gridLeft, gridTop, gridWidth, gridHeight);
    picLegend->setGeometry(gridLeft + TwipsToPixelsX(5, this),
                           std::min(gridTop + gridHeight + TwipsToPixelsY(60, this), height - legendHeight),
                           gridWidth, legendHeight);

    recomputeCellWidth();
    applyColumnWidths();
    applyRowHeights();
    m_editing->PlaceEditor();
}

void CVFuelTimingDlg::applyRowHeights()
{
    const int fontRowHeight = QFontMetrics(MapGrid->font()).height() + 6;
    const int rowHeight = RowHeight(fontRowHeight, MapGrid->height() - 2 * MapGrid->frameWidth());
    MapGrid->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int r = 0; r < GridRows; ++r)
        MapGrid->setRowHeight(r, rowHeight);
}

void CVFuelTimingDlg::recomputeCellWidth()
{
    m_w = CellWidthTwips(ScreenUnits::PixelsToTwipsX(width(), this),
                         ScreenUnits::PixelsToTwipsX(labelYWidth(), this));
}

void CVFuelTimingDlg::applyColumnWidths()
{
    const int first = ScreenUnits::TwipsToPixelsX(m_w + 100, this);
    const int others = ScreenUnits::TwipsToPixelsX(m_w, this);
    MapGrid->setColumnWidth(0, first);
    for (int c = 1; c < GridCols; ++c)
        MapGrid->setColumnWidth(c, others);
}
