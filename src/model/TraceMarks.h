#pragma once

#include "model/MapCatalogue.h"

#include <QObject>
#include <array>
#include <vector>

// What the real-time trace has marked on one map: the cell it last reached
// and that cell's display value, and the cells it has marked (in highlight
// mode "All cells", every cell visited since the marks were last cleared).
// The marks are no part of the tune: edits, transfers, file loads and undo
// never touch them.
class MapTrace
{
public:
    explicit MapTrace(int entries = 256) : m_points(static_cast<std::size_t>(entries), false) {}

    int LastRPMIndex() const { return m_lastRPMIndex; }
    void SetLastRPMIndex(int v) { m_lastRPMIndex = v; }
    int LastTPIndex() const { return m_lastTPIndex; }
    void SetLastTPIndex(int v) { m_lastTPIndex = v; }
    int LastAccessedValue() const { return m_lastAccessedValue; }
    void SetLastAccessedValue(int v) { m_lastAccessedValue = v; }

    // Clears every trace point.
    void ClearRTState();
    // Marks entry index as reached by the trace; an index outside the map
    // changes nothing.
    void AddRTMapPoint(int index);
    // False for an index outside the map.
    bool IsRTMapPointSet(int index) const;

private:
    bool inRange(int index) const { return index >= 0 && index < static_cast<int>(m_points.size()); }

    int m_lastRPMIndex = 1;
    int m_lastTPIndex = 1;
    int m_lastAccessedValue = 0;
    std::vector<bool> m_points;
};

// The trace marks of every map of the run, one owner for all of them: the
// acquisition's trace moves and marks them, the data-logging menu clears
// them, and the panels only read them and repaint when told.
class TraceMarks : public QObject
{
    Q_OBJECT
public:
    MapTrace &Of(MapKey map) { return m_maps[static_cast<std::size_t>(map)]; }
    const MapTrace &Of(MapKey map) const { return m_maps[static_cast<std::size_t>(map)]; }

    // Clears the trace points of every map (the current cells stay).
    void Clear();

signals:
    void cleared();

private:
    std::array<MapTrace, MapCount> m_maps;
};
