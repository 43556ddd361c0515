#pragma once

#include "editors/ui/TablePanel.h"

class QLabel;

// The ignition dwell duty panel (panel index 5): 32 bytes, the charge times
// (boxes 0..15) above the dwell angles (16..31); box i and box i + 16 share
// the RPM column i of the Fuel RPM Map.
class CVIgnitionDwellDlg : public TablePanel
{
    Q_OBJECT
public:
    CVIgnitionDwellDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent = nullptr);

    void UpdateData() override;
    void IgnitionDuty_KeyPress(int index, int keyAscii) { keyPress(m_duty, index, keyAscii); }
    void IgnitionDuty_Validate(int index, bool &cancel) { validate(m_duty, index, cancel); }
    // Marks both boxes of the sample's Fuel RPM Map column; the boxes marked
    // before lose their mark.
    void ShowTrace(const AcquisitionSample &sample) override;
    void ClearRTState() override;

    FieldEdit *dutyBox(int i) const { return boxAt(m_duty, i); }
    QLabel *chargeLabel(int i) const { return lblIgnDwellChargeRPM.value(i); }
    QLabel *angleLabel(int i) const { return lblIgnDwellAngleRPM.value(i); }

private:
    Table m_duty;
    QList<QLabel *> lblIgnDwellChargeRPM;
    QList<QLabel *> lblIgnDwellAngleRPM;
    int m_lastColumn = 0;
};
