#pragma once

#include <QDialog>

class DaqSettings;
class FieldEdit;
class MessageBoxService;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class Tune;

// "Staged Rev Limiter": whether the rule runs, the digital input that drives
// it and the staged limit in RPM (50 to 12750, kept in 50-RPM steps). Reads
// and writes only the three preferences; sends nothing to the box.
class dlgStagedRevLimiter : public QDialog
{
    Q_OBJECT
public:
    static constexpr double MinLimit = 50;
    static constexpr double MaxLimit = 12750;

    dlgStagedRevLimiter(DaqSettings &prefs, const Tune &tune, MessageBoxService &messages,
                        QWidget *parent = nullptr);

    // OK's checks and stores; false (the dialog stays open) when refused.
    bool OKClicked();

    QCheckBox *enableCheck() const { return checkEnableStagedRevLimiter; }
    QComboBox *inputsCombo() const { return comboStagedInputs; }
    FieldEdit *limitEdit() const { return editStagedRevLimiterNewLimit; }
    QLabel *currentLimitLabel() const { return lblStagedCurrentRevLimiter; }

private:
    void applyEnablingRule();
    bool checkLimit();

    DaqSettings &m_prefs;
    MessageBoxService &m_messages;
    QCheckBox *checkEnableStagedRevLimiter = nullptr;
    QGroupBox *frameStagedRevLimiter = nullptr;
    QLabel *lblStagedRevLimiterCurrent = nullptr;
    QLabel *lblStagedCurrentRevLimiter = nullptr;
    QLabel *lblStagedRevLimiterInput = nullptr;
    QComboBox *comboStagedInputs = nullptr;
    QLabel *lblStagedRevLimiterNewLimit = nullptr;
    FieldEdit *editStagedRevLimiterNewLimit = nullptr;
};
