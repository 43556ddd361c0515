#pragma once

#include "editors/ui/TablePanel.h"

class QLabel;

// The TTP maps panel (panel index 4): the TTP Min, TTP Max and TP Limit
// tables, 16 bytes each. TTP Min is labelled by its fixed RPM steps of 175,
// the other two by the Fuel RPM Map.
class CVTTPDlg : public TablePanel
{
    Q_OBJECT
public:
    CVTTPDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent = nullptr);

    void UpdateData() override;
    void TTPMin_KeyPress(int index, int keyAscii) { keyPress(m_ttpMin, index, keyAscii); }
    void TTPMin_Validate(int index, bool &cancel) { validate(m_ttpMin, index, cancel); }
    void TPLimit_KeyPress(int index, int keyAscii) { keyPress(m_tpLimit, index, keyAscii); }
    void TPLimit_Validate(int index, bool &cancel) { validate(m_tpLimit, index, cancel); }
    void TTPMax_KeyPress(int index, int keyAscii) { keyPress(m_ttpMax, index, keyAscii); }
    void TTPMax_Validate(int index, bool &cancel) { validate(m_ttpMax, index, cancel); }
    // Marks the sample's TTP Min box and its Fuel RPM Map column in TTP Max
    // and TP Limit; the boxes marked before lose their mark.
    void ShowTrace(const AcquisitionSample &sample) override;
    void ClearRTState() override;

    FieldEdit *ttpMinBox(int i) const { return boxAt(m_ttpMin, i); }
    FieldEdit *ttpMaxBox(int i) const { return boxAt(m_ttpMax, i); }
    FieldEdit *tpLimitBox(int i) const { return boxAt(m_tpLimit, i); }
    QLabel *ttpMinLabel(int i) const { return lblTTPMinRPM.value(i); }
    QLabel *ttpMaxLabel(int i) const { return lblTTPMaxRPM.value(i); }
    QLabel *tpLimitLabel(int i) const { return lblTPLimitRPM.value(i); }

private:
    Table m_ttpMin;
    Table m_ttpMax;
    Table m_tpLimit;
    QList<QLabel *> lblTTPMinRPM;
    QList<QLabel *> lblTTPMaxRPM;
    QList<QLabel *> lblTPLimitRPM;
    int m_lastTTPMinIndex = 0;
    int m_lastColumn = 0;
};
