#include "model/TraceMarks.h"

#include <algorithm>

void MapTrace::ClearRTState()
{
    std::fill(m_points.begin(), m_points.end(), false);
}

void MapTrace::AddRTMapPoint(int index)
{
    if (inRange(index))
        m_points[static_cast<std::size_t>(index)] = true;
}

bool MapTrace::IsRTMapPointSet(int index) const
{
    return inRange(index) && m_points[static_cast<std::size_t>(index)];
}

void TraceMarks::Clear()
{
    for (MapTrace &map : m_maps)
        map.ClearRTState();
    emit cleared();
}
