#include "editors/ui/CVIgnitionDwellDlg.h"

#include "daq/AcquisitionSample.h"
#include "editors/TableRules.h"
#include "model/ProgramState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

CVIgnitionDwellDlg::CVIgnitionDwellDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : TablePanel(edits, messages, parent)
{
    setObjectName(QStringLiteral("picGlobalInjDwellDuty"));
    m_duty.item = TuneItem::IgnitionDuty;

    auto *outer = new QVBoxLayout(this);
    auto addFrame = [&](const QString &title, const char *frameName, int first, QList<QLabel *> &labels,
                        const char *labelName) {
        auto *frame = new QGroupBox(title, this);
        frame->setObjectName(QLatin1String(frameName));
        auto *grid = new QGridLayout(frame);
        grid->setHorizontalSpacing(2);
        addBoxes(grid, 0, first, TableRules::DwellColumns, m_duty, QStringLiteral("editIgnitionDuty"), labels,
                 QLatin1String(labelName));
        outer->addWidget(frame);
    };
    addFrame(QStringLiteral("Charge Time"), "frameIgnDwellChargeTime", 0, lblIgnDwellChargeRPM,
             "lblIgnDwellChargeRPM");
    addFrame(QStringLiteral("Dwell Angle"), "frameIgnDwellAngle", TableRules::DwellColumns, lblIgnDwellAngleRPM,
             "lblIgnDwellAngleRPM");
    outer->addStretch(1);
}

void CVIgnitionDwellDlg::UpdateData()
{
    fill(m_duty);
    const CVMapInfo &fuelRpm = m_state.tune.map(MapKey::FUELRPM);
    for (int i = 0; i < TableRules::DwellColumns; ++i) {
        lblIgnDwellChargeRPM[i]->setText(TableRules::RpmLabel(fuelRpm, i));
        lblIgnDwellAngleRPM[i]->setText(TableRules::RpmLabel(fuelRpm, i));
    }
}

void CVIgnitionDwellDlg::ShowTrace(const AcquisitionSample &sample)
{
    if (!sample.acquired)
        return;
    setMarked(dutyBox(m_lastColumn), false);
    setMarked(dutyBox(m_lastColumn + TableRules::DwellColumns), false);
    m_lastColumn = sample.rpmColumn;
    setMarked(dutyBox(m_lastColumn), true);
    setMarked(dutyBox(m_lastColumn + TableRules::DwellColumns), true);
}

void CVIgnitionDwellDlg::ClearRTState()
{
    setMarked(dutyBox(m_lastColumn), false);
    setMarked(dutyBox(m_lastColumn + TableRules::DwellColumns), false);
}
