#include "analysis/ui/GridLogMarks.h"

#include "editors/ui/MapGridView.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"

#include <algorithm>

GridLogMarks::GridLogMarks(const ProgramState &state, MapGridView &grid)
    : m_state(state), m_grid(grid)
{
}

void GridLogMarks::setOverlay(const CellOverlay::Result &overlay, Show show)
{
    m_overlay = overlay;
    m_show = show;
    refresh();
}

void GridLogMarks::clearOverlay()
{
    m_overlay.reset();
    refresh();
}

void GridLogMarks::setCursor(float rpm, float tp)
{
    m_rpm = rpm;
    m_tp = tp;
    refresh();
}

void GridLogMarks::clearCursor()
{
    setCursor(std::nanf(""), std::nanf(""));
}

void GridLogMarks::refresh()
{
    m_grid.clearCellNotes();
    const std::optional<MapKey> body = MapPanels::PanelMap(m_state.CurrentPanel);
    if (!body) {
        m_grid.setMarkedCell(-1, -1);
        return;
    }
    if (m_overlay && m_overlay->map == *body && m_show == Show::Time) {
        // Time in the cells as heat: the cell the engine spent longest in is the hottest.
        const double longest = *std::max_element(m_overlay->seconds.begin(), m_overlay->seconds.end());
        for (int e = 0; e < 256 && longest > 0; ++e)
            m_grid.setCellHeat(e / 16 + 1, e % 16 + 1, m_overlay->seconds[static_cast<std::size_t>(e)] / longest);
    }
    if (m_overlay && m_overlay->map == *body)
        for (int e = 0; e < 256; ++e) {
            const QStringList forms = CellOverlay::NoteForms(*m_overlay, e, m_show);
            if (!forms.isEmpty())
                m_grid.setCellNote(e / 16 + 1, e % 16 + 1, forms.front(),
                                   CellOverlay::NoteTip(*m_overlay, e, m_columnName), forms.mid(1));
        }
    if (const auto cell = CellOverlay::CellOf(m_state.tune, *body, m_rpm, m_tp))
        m_grid.setMarkedCell(cell->rpmIndex + 1, cell->tpIndex + 1);
    else
        m_grid.setMarkedCell(-1, -1);
}
