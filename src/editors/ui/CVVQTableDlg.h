#pragma once

#include "editors/ui/TablePanel.h"

class QLabel;

// The VQ table panel (panel index 13): the airflow meter's 64 16-bit values,
// one per 0.08 V step of the "MAS" voltage.
class CVVQTableDlg : public TablePanel
{
    Q_OBJECT
public:
    CVVQTableDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent = nullptr);

    void UpdateData() override;
    void VQ_KeyPress(int index, int keyAscii) { keyPress(m_vq, index, keyAscii); }
    void VQ_Validate(int index, bool &cancel) { validate(m_vq, index, cancel); }
    // Marks the sample's VQ box; the box marked before loses its mark.
    void ShowTrace(const AcquisitionSample &sample) override;
    void ClearRTState() override;

    FieldEdit *vqBox(int i) const { return boxAt(m_vq, i); }
    QLabel *vqLabel(int i) const { return labelVQ.value(i); }

private:
    Table m_vq;
    QList<QLabel *> labelVQ;
    int m_lastIndex = 0;
};
