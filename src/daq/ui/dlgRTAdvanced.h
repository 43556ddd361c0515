#pragma once

#include <QDialog>

class DaqSettings;
class FieldEdit;
class MessageBoxService;

// "Real-Time Advanced Settings": the DAQ sample period (25 to 2500 ms) and
// the RPM multiplier (1 to 1000). OK stores both; Cancel changes nothing.
class dlgRTAdvanced : public QDialog
{
    Q_OBJECT
public:
    dlgRTAdvanced(DaqSettings &prefs, MessageBoxService &messages, QWidget *parent = nullptr);

    FieldEdit *sampleRateEdit() const { return editSampleRate; }
    FieldEdit *multiplierEdit() const { return editRPMMultiplier; }

    // OK: both boxes checked, then stored; false (dialog open) when a check failed.
    bool OKClicked();

private:
    DaqSettings &m_prefs;
    MessageBoxService &m_messages;
    FieldEdit *editSampleRate = nullptr;
    FieldEdit *editRPMMultiplier = nullptr;
};
