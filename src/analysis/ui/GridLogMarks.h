#pragma once

#include "analysis/CellOverlay.h"

#include <QString>
#include <cmath>
#include <optional>

class MapGridView;
class ProgramState;

// What the logs show on the map grid: the overlay (sample counts or a
// column's average per cell) on the map it was computed for, and the cell of
// the viewer's cursor on whichever fuel or timing map is on screen, each
// located with that map's own axes.
class GridLogMarks
{
public:
    using Show = CellOverlay::Show;

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

    // The averaged column's name, for the cells' tooltips.
    void setColumnName(const QString &name) { m_columnName = name; }

private:
    const ProgramState &m_state;
    MapGridView &m_grid;
    std::optional<CellOverlay::Result> m_overlay;
    Show m_show = Show::Counts;
    QString m_columnName;
    float m_rpm = std::nanf("");
    float m_tp = std::nanf("");
};
