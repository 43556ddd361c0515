#pragma once

#include "editors/CellColours.h"

#include <QWidget>

class QLabel;

// The legend under the map grid (picLegend): a box for open loop, one for
// closed loop and one for the trace, each a colour or, when the cells are
// shaded by value, the ramp from low (left) to high (right).
class GridLegend : public QWidget
{
    Q_OBJECT
public:
    explicit GridLegend(QWidget *parent = nullptr);

    void ShowScale(const CellColours::ColourScale &scale, bool timing);

private:
    QLabel *m_openLoop = nullptr;
    QLabel *m_closedLoop = nullptr;
    QLabel *m_trace = nullptr;
};
