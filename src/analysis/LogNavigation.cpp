#include "analysis/LogNavigation.h"

#include "analysis/DataLog.h"

#include <algorithm>
#include <cmath>

LogNavigation::LogNavigation(const DataLog &log) : m_log(log)
{
    reset();
}

void LogNavigation::reset()
{
    m_t0 = 0;
    m_t1 = m_log.time.empty() ? 1.0 : std::max(m_log.time.back(), MinSpan);
    m_cursor = -1;
}

double LogNavigation::span() const
{
    return m_log.time.empty() ? 1.0 : std::max(m_log.time.back() - m_log.time.front(), MinSpan);
}

bool LogNavigation::setRange(double t0, double t1)
{
    if (!(t1 > t0) || !std::isfinite(t0) || !std::isfinite(t1))
        return false;
    const double full = span();
    const double width = std::clamp(t1 - t0, MinSpan, full);
    m_t0 = std::clamp(t0, 0.0, std::max(0.0, full - width));
    m_t1 = m_t0 + width;
    return true;
}

bool LogNavigation::zoom(double factor, double centre)
{
    if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(centre))
        return false;
    // The width is limited before the start is placed: at the closest (or
    // widest) zoom the centre stays where it was on the axis.
    const double width = std::clamp((m_t1 - m_t0) * factor, MinSpan, span());
    const double ratio = (m_t1 > m_t0) ? (centre - m_t0) / (m_t1 - m_t0) : 0.5;
    const double t0 = centre - width * std::clamp(ratio, 0.0, 1.0);
    return setRange(t0, t0 + width);
}

bool LogNavigation::zoomAtCursor(double factor)
{
    const double centre = m_cursor >= 0 ? m_log.time[static_cast<std::size_t>(m_cursor)] : (m_t0 + m_t1) / 2;
    return zoom(factor, centre);
}

bool LogNavigation::pan(double delta)
{
    return setRange(m_t0 + delta, m_t1 + delta);
}

bool LogNavigation::showAll()
{
    return setRange(0, span());
}

bool LogNavigation::setCursorRow(std::ptrdiff_t row, bool *rangeMoved)
{
    if (rangeMoved)
        *rangeMoved = false;
    if (m_log.time.empty() || row < 0)
        return false;
    m_cursor = std::min<std::ptrdiff_t>(row, static_cast<std::ptrdiff_t>(m_log.time.size()) - 1);
    const double t = m_log.time[static_cast<std::size_t>(m_cursor)];
    if (t < m_t0 || t > m_t1) {
        const double half = width() / 2;
        const bool moved = setRange(t - half, t + half);
        if (rangeMoved)
            *rangeMoved = moved;
    }
    return true;
}

bool LogNavigation::setCursorTime(double t, bool *rangeMoved)
{
    return setCursorRow(m_log.nearestRow(t), rangeMoved);
}

bool LogNavigation::stepCursor(std::ptrdiff_t step, bool *rangeMoved)
{
    return setCursorRow(std::max<std::ptrdiff_t>(0, m_cursor + step), rangeMoved);
}

bool LogNavigation::stepCursorSeconds(double seconds, bool *rangeMoved)
{
    if (m_log.time.empty())
        return setCursorRow(0, rangeMoved);
    const std::ptrdiff_t from = std::max<std::ptrdiff_t>(0, m_cursor);
    std::ptrdiff_t row = m_log.nearestRow(m_log.time[static_cast<std::size_t>(from)] + seconds);
    // Samples further apart than the step: the key still moves one.
    if (row == from && seconds != 0)
        row = std::max<std::ptrdiff_t>(0, from + (seconds > 0 ? 1 : -1));
    return setCursorRow(row, rangeMoved);
}
