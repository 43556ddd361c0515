#include "editors/ui/CVVQTableDlg.h"

#include "daq/AcquisitionSample.h"
#include "editors/TableRules.h"
#include "model/ProgramState.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int BoxesPerRow = 16;
}

CVVQTableDlg::CVVQTableDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : TablePanel(edits, messages, parent)
{
    setObjectName(QStringLiteral("picVQTable"));
    // The real-time write of a VQ entry puts both its bytes into the box.
    m_vq.item = TuneItem::VQ;

    auto *outer = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    for (int first = 0; first < TableRules::VQBoxes; first += BoxesPerRow)
        addBoxes(grid, 2 * (first / BoxesPerRow), first, BoxesPerRow, m_vq, QStringLiteral("editVQ"), labelVQ,
                 QStringLiteral("labelVQ"));
    outer->addLayout(grid);
    outer->addStretch(1);

    for (int i = 0; i < labelVQ.size(); ++i)
        labelVQ[i]->setText(TableRules::VQLabel(i));
}

void CVVQTableDlg::UpdateData()
{
    fill(m_vq);
}

void CVVQTableDlg::ShowTrace(const AcquisitionSample &sample)
{
    if (!sample.acquired)
        return;
    setMarked(vqBox(m_lastIndex), false);
    m_lastIndex = sample.vqIndex;
    setMarked(vqBox(m_lastIndex), true);
}

void CVVQTableDlg::ClearRTState()
{
    setMarked(vqBox(m_lastIndex), false);
}
