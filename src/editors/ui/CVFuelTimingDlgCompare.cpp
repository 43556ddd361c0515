// The map grid's compare marks: the cells that differ from a second tune, and
// taking the selected ones over from it.

#include "editors/ui/CVFuelTimingDlg.h"

#include "editors/ComparePlan.h"
#include "editors/EditSession.h"
#include "editors/ui/MapGridModel.h"

#include <QAction>

using namespace GridRules;

void CVFuelTimingDlg::SetCompareTune(const Tune *other, const QString &name)
{
    m_compare = other;
    m_compareName = name;
    mnuCellTakeCompare->setEnabled(other != nullptr);
    markComparedCells();
}

void CVFuelTimingDlg::markComparedCells()
{
    const std::optional<MapKey> body = shownMap();
    for (int r = 0; r < GridRows; ++r) {
        for (int c = 0; c < GridCols; ++c) {
            QString note;
            if (m_compare && body)
                note = ComparePlan::CellNote(m_edits.tune(), *m_compare, *body, r, c, m_compareName);
            m_model->setCompareNote(r, c, note);
        }
    }
}

bool CVFuelTimingDlg::TakeSelectedFromCompare()
{
    const std::optional<MapKey> body = shownMap();
    if (!m_compare || IsEditingMap() || !body)
        return false;
    applyPlan(*body, ComparePlan::TakeCells(m_edits.tune(), *m_compare, *body, SelectionRect(), m_compareName));
    return true;
}
