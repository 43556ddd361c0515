#include "editors/ui/CVTTPDlg.h"

#include "daq/AcquisitionSample.h"
#include "editors/TableRules.h"
#include "model/ProgramState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

CVTTPDlg::CVTTPDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : TablePanel(edits, messages, parent)
{
    setObjectName(QStringLiteral("picGlobalTTP"));
    m_ttpMin.item = TuneItem::TTPMin;
    m_ttpMax.item = TuneItem::TTPMax;
    m_tpLimit.item = TuneItem::TPLimit;

    auto *outer = new QVBoxLayout(this);
    auto addFrame = [&](const QString &title, const char *frameName, Table &table, const char *editName,
                        QList<QLabel *> &labels, const char *labelName) {
        auto *frame = new QGroupBox(title, this);
        frame->setObjectName(QLatin1String(frameName));
        auto *grid = new QGridLayout(frame);
        grid->setHorizontalSpacing(2);
        addBoxes(grid, 0, 0, TableRules::TTPBoxes, table, QLatin1String(editName), labels,
                 QLatin1String(labelName));
        outer->addWidget(frame);
    };
    addFrame(QStringLiteral("TTP Min"), "grpTTPMin", m_ttpMin, "editTTPMin", lblTTPMinRPM, "lblTTPMinRPM");
    addFrame(QStringLiteral("TTP Max"), "grpTTPMaps", m_ttpMax, "editTTPMax", lblTTPMaxRPM, "lblTTPMaxRPM");
    addFrame(QStringLiteral("TP Limit"), "grpTPLimit", m_tpLimit, "editTPLimit", lblTPLimitRPM, "lblTPLimitRPM");
    outer->addStretch(1);

    for (int i = 0; i < lblTTPMinRPM.size(); ++i)
        lblTTPMinRPM[i]->setText(TableRules::TTPMinLabel(i));
}

void CVTTPDlg::UpdateData()
{
    fill(m_ttpMin);
    fill(m_ttpMax);
    fill(m_tpLimit);
    const CVMapInfo &fuelRpm = m_state.tune.map(MapKey::FUELRPM);
    for (int i = 0; i < TableRules::TTPBoxes; ++i) {
        lblTTPMaxRPM[i]->setText(TableRules::RpmLabel(fuelRpm, i));
        lblTPLimitRPM[i]->setText(TableRules::RpmLabel(fuelRpm, i));
    }
}

void CVTTPDlg::ShowTrace(const AcquisitionSample &sample)
{
    if (!sample.acquired)
        return;
    setMarked(ttpMinBox(m_lastTTPMinIndex), false);
    setMarked(ttpMaxBox(m_lastColumn), false);
    setMarked(tpLimitBox(m_lastColumn), false);

    m_lastTTPMinIndex = sample.ttpMinIndex;
    m_lastColumn = sample.rpmColumn;

    setMarked(ttpMinBox(m_lastTTPMinIndex), true);
    setMarked(ttpMaxBox(m_lastColumn), true);
    setMarked(tpLimitBox(m_lastColumn), true);
}

void CVTTPDlg::ClearRTState()
{
    setMarked(ttpMinBox(m_lastTTPMinIndex), false);
    setMarked(ttpMaxBox(m_lastColumn), false);
    setMarked(tpLimitBox(m_lastColumn), false);
}
