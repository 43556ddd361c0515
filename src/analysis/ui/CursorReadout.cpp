#include "analysis/ui/CursorReadout.h"

#include "analysis/CursorWindow.h"
#include "analysis/DataLog.h"
#include "daq/GeneralText.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <numeric>

namespace {

enum ReadoutColumn { Name, AtCursor, AtA, AtB, Difference, ReadoutColumns };

QString valueText(double v)
{
    return std::isnan(v) ? QString() : vnt::GeneralText(static_cast<float>(v));
}

double valueAt(const DataLog &log, int column, std::ptrdiff_t row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= log.rowCount())
        return std::nan("");
    return log.columns[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

QString timeText(const DataLog &log, std::ptrdiff_t row)
{
    const double t = log.time[static_cast<std::size_t>(row)];
    return log.timeIsSampleNumber ? QStringLiteral("Sample %1").arg(row + 1)
                                  : QStringLiteral("Sample %1 at %2 s").arg(row + 1).arg(t, 0, 'f', 3);
}

} // namespace

CursorReadout::CursorReadout(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    m_cursor = new QLabel(QStringLiteral("Cursor: none"), this);
    m_cursor->setObjectName(QStringLiteral("lblCursor"));
    layout->addWidget(m_cursor);
    m_delta = new QLabel(this);
    m_delta->setObjectName(QStringLiteral("lblCursorDelta"));
    m_delta->setWordWrap(true);
    layout->addWidget(m_delta);
    m_table = new QTableWidget(0, ReadoutColumns, this);
    m_table->setObjectName(QStringLiteral("tableCursor"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Value"), QStringLiteral("A"),
                                        QStringLiteral("B"), QStringLiteral("B - A")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFocusPolicy(Qt::NoFocus);
    for (int c : {AtA, AtB, Difference})
        m_table->setColumnHidden(c, true);
    layout->addWidget(m_table);
}

void CursorReadout::showRows(const DataLog &log, std::ptrdiff_t cursor, std::ptrdiff_t a, std::ptrdiff_t b)
{
    const bool both = a >= 0 && b >= 0;
    // The A and B columns only take room while there is a window to read.
    for (int c : {AtA, AtB, Difference})
        m_table->setColumnHidden(c, !both);
    std::vector<int> all(static_cast<std::size_t>(log.columnCount()));
    std::iota(all.begin(), all.end(), 0);
    const CursorWindow::Delta delta =
        both ? CursorWindow::Between(log, static_cast<std::size_t>(a), static_cast<std::size_t>(b), all)
             : CursorWindow::Delta{};
    m_table->setRowCount(log.columnCount());
    for (int c = 0; c < log.columnCount(); ++c) {
        if (!m_table->item(c, Name))
            for (int k = Name; k < ReadoutColumns; ++k) {
                auto *item = new QTableWidgetItem;
                if (k != Name)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_table->setItem(c, k, item);
            }
        m_table->item(c, Name)->setText(log.names[c]);
        m_table->item(c, AtCursor)->setText(valueText(valueAt(log, c, cursor)));
        if (!both)
            continue;
        m_table->item(c, AtA)->setText(valueText(valueAt(log, c, a)));
        m_table->item(c, AtB)->setText(valueText(valueAt(log, c, b)));
        m_table->item(c, Difference)->setText(valueText(delta.differences[static_cast<std::size_t>(c)]));
    }
    m_cursor->setText(cursor < 0 ? QStringLiteral("Cursor: none") : timeText(log, cursor));
    m_delta->setText(both ? QStringLiteral("A to B: %1 s").arg(delta.seconds, 0, 'f', 3) : QString());
}
