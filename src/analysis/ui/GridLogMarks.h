#pragma once

#include "analysis/CellOverlay.h"

#include <QString>
#include <cmath>
#include <optional>

class MapGridView;
struct ProgramState;

// What the logs show on the map grid: the overlay (sample counts or a
// column's average per cell) on the map it was computed for, and the cell of
// the viewer's cursor on whichever fuel or timing map is on screen, each
// located with that map's own axes.
class GridLogMarks
{
public:
    enum class Show { Counts, Averages, Both };

    GridLogMarks(const ProgramState &state, MapGridView &grid);

    void setOverlay(const CellOverlay::Result &overlay, Show show);
    void clearOverlay();
    bool hasOverlay() const { return m_overlay.has_value(); }
    const std::optional<CellOverlay::Result> &overlay() const { return m_overlay; }

    void setCursor(float rpm, float tp);
    void clearCursor();

    // Redraws the marks for the panel now shown (after a panel switch or an
    // axis edit).
    void refresh();

    // The note a cell shows for an overlay ("12", "14.53", "12 | 14.53").
    static QString NoteText(const CellOverlay::Result &overlay, int entry, Show show);

private:
    const ProgramState &m_state;
    MapGridView &m_grid;
    std::optional<CellOverlay::Result> m_overlay;
    Show m_show = Show::Counts;
    float m_rpm = std::nanf("");
    float m_tp = std::nanf("");
};
