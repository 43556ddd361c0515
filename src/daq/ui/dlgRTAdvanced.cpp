#include "daq/ui/dlgRTAdvanced.h"

#include "editors/ui/FieldEdit.h"
#include "editors/ValidateNumericRange.h"
#include "platform/ui/DialogButtons.h"
#include "daq/DaqSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

dlgRTAdvanced::dlgRTAdvanced(DaqSettings &prefs, MessageBoxService &messages, QWidget *parent)
    : QDialog(parent), m_prefs(prefs), m_messages(messages)
{
    setObjectName("dlgRTAdvanced");
    setWindowTitle("Real-Time Advanced Settings");
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    editSampleRate = new FieldEdit(this);
    editSampleRate->setObjectName("editSampleRate");
    editRPMMultiplier = new FieldEdit(this);
    editRPMMultiplier->setObjectName("editRPMMultiplier");
    auto *rateLabel = new QLabel("&Sample Rate (ms)", this);
    rateLabel->setBuddy(editSampleRate);
    auto *multLabel = new QLabel("&RPM Multiplier", this);
    multLabel->setBuddy(editRPMMultiplier);
    form->addRow(rateLabel, editSampleRate);
    form->addRow(multLabel, editRPMMultiplier);
    auto *note = new QLabel(
        "These values adjust the sampling rate from the DAQ, as well as applying a multiplier to determine an "
        "accurate RPM value.  You should only change these values if instructed to do so.  Modifying them can "
        "result in incorrect data points to be highlighted.  Note the default sample rate is 100ms with an RPM "
        "multiplier of 150.",
        this);
    note->setObjectName("lblExplanation");
    note->setWordWrap(true);
    layout->addWidget(note);
    const OkCancelButtons buttons = AddOkCancelButtons(this, layout);
    QPushButton *ok = buttons.ok;
    connect(ok, &QPushButton::clicked, this, [this] {
        if (OKClicked())
            accept();
    });

    editSampleRate->setText(QString::number(m_prefs.DAQSampleRate()));
    editRPMMultiplier->setText(QString::number(m_prefs.DAQRPMMultiplier()));
    editSampleRate->setValidation([this] {
        return ValidateNumericRange(m_messages, this, editSampleRate->text(), DaqSettings::MinSamplePeriodMs, DaqSettings::MaxSamplePeriodMs, false)
            .has_value();
    });
    editRPMMultiplier->setValidation([this] {
        return ValidateNumericRange(m_messages, this, editRPMMultiplier->text(), DaqSettings::MinRPMMultiplier, DaqSettings::MaxRPMMultiplier, false)
            .has_value();
    });
}

bool dlgRTAdvanced::OKClicked()
{
    // The boxes are checked again: a click on OK need not have moved the focus.
    if (!editSampleRate->validate() || !editRPMMultiplier->validate())
        return false;
    m_prefs.SetDAQSampleRate(editSampleRate->text().toInt());
    m_prefs.SetDAQRPMMultiplier(editRPMMultiplier->text().toInt());
    return true;
}
