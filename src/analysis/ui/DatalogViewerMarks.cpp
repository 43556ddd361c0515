// The datalog viewer's cursors A and B: the window between them, shaded on
// the plots, read out beside them and handed to the tools as a time range.

#include "analysis/ui/DatalogViewer.h"

#include "analysis/ui/LogPlotStack.h"

#include <algorithm>
#include <cmath>

void DatalogViewer::setMarks(std::ptrdiff_t a, std::ptrdiff_t b)
{
    const auto valid = [this](std::ptrdiff_t r) { return r >= 0 && static_cast<std::size_t>(r) < m_log.rowCount(); };
    m_markA = valid(a) ? a : -1;
    m_markB = valid(b) ? b : -1;
    const auto timeOf = [this](std::ptrdiff_t r) {
        return r < 0 ? std::nan("") : m_log.time[static_cast<std::size_t>(r)];
    };
    m_plots->setWindowMarks(timeOf(m_markA), timeOf(m_markB));
    refreshCursorTable();
    emit marksChanged();
}

std::optional<std::pair<double, double>> DatalogViewer::selectedWindow() const
{
    if (m_markA < 0 || m_markB < 0)
        return std::nullopt;
    const double a = m_log.time[static_cast<std::size_t>(m_markA)];
    const double b = m_log.time[static_cast<std::size_t>(m_markB)];
    return std::pair(std::min(a, b), std::max(a, b));
}
