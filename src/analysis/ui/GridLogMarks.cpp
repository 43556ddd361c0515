#include "analysis/ui/GridLogMarks.h"

#include "daq/GeneralText.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/MapPanels.h"
#include "model/ProgramState.h"

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

QString GridLogMarks::NoteText(const CellOverlay::Result &overlay, int entry, Show show)
{
    const int count = overlay.counts[static_cast<std::size_t>(entry)];
    if (count == 0)
        return {};
    const double avg = overlay.averages[static_cast<std::size_t>(entry)];
    const QString avgText = std::isnan(avg) ? QString() : vnt::GeneralText(vnt::RoundToDecimals(static_cast<float>(avg), 2));
    switch (show) {
    case Show::Counts:
        return QString::number(count);
    case Show::Averages:
        return avgText;
    case Show::Both:
        return avgText.isEmpty() ? QString::number(count) : QStringLiteral("%1 | %2").arg(count).arg(avgText);
    }
    return {};
}

void GridLogMarks::refresh()
{
    m_grid.clearCellNotes();
    const std::optional<MapKey> body = MapPanels::PanelMap(m_state.CurrentPanel);
    if (!body) {
        m_grid.setMarkedCell(-1, -1);
        return;
    }
    if (m_overlay && m_overlay->map == *body)
        for (int e = 0; e < 256; ++e) {
            const QString note = NoteText(*m_overlay, e, m_show);
            if (!note.isEmpty())
                m_grid.setCellNote(e / 16 + 1, e % 16 + 1, note);
        }
    if (const auto cell = CellOverlay::CellOf(m_state.tune, *body, m_rpm, m_tp))
        m_grid.setMarkedCell(cell->rpmIndex + 1, cell->tpIndex + 1);
    else
        m_grid.setMarkedCell(-1, -1);
}
