#include "editors/ui/GridCompareMarks.h"

#include "editors/ComparePlan.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapGridModel.h"

using namespace GridRules;

void GridCompareMarks::SetCompareTune(const Tune *other, const QString &name)
{
    m_compare = other;
    m_compareName = name;
    Mark();
}

void GridCompareMarks::Mark()
{
    const std::optional<MapKey> body = m_panel.ShownMap();
    MapGridModel *model = m_panel.gridModel();
    for (int r = 0; r < GridRows; ++r) {
        for (int c = 0; c < GridCols; ++c) {
            QString note;
            if (m_compare && body)
                note = ComparePlan::CellNote(m_tune, *m_compare, *body, r, c, m_compareName);
            model->setCompareNote(r, c, note);
        }
    }
}
