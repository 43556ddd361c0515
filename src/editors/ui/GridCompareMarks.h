#pragma once

#include <QString>

class CVFuelTimingDlg;
class Tune;

// The map grid's compare marks: while a second tune is compared, every cell
// whose raw value differs is outlined and shows the other tune's value in
// its tooltip.
class GridCompareMarks
{
public:
    GridCompareMarks(CVFuelTimingDlg &panel, const Tune &tune) : m_panel(panel), m_tune(tune) {}

    // nullptr ends the comparison.
    void SetCompareTune(const Tune *other, const QString &name = QString());
    const Tune *ComparedTune() const { return m_compare; }
    const QString &ComparedName() const { return m_compareName; }
    // Marks the cells of the map on show (after a fill or an edit).
    void Mark();

private:
    CVFuelTimingDlg &m_panel;
    const Tune &m_tune;
    const Tune *m_compare = nullptr;
    QString m_compareName;
};
