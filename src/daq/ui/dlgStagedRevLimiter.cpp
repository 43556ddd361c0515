#include "daq/ui/dlgStagedRevLimiter.h"

#include "daq/DaqSettings.h"
#include "editors/NumericInput.h"
#include "editors/ValidateNumericRange.h"
#include "editors/ui/FieldEdit.h"
#include "model/Tune.h"
#include "model/Units.h"
#include "platform/MessageBoxService.h"
#include "platform/Rounding.h"
#include "platform/ui/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

dlgStagedRevLimiter::dlgStagedRevLimiter(DaqSettings &prefs, const Tune &tune,
                                         MessageBoxService &messages, QWidget *parent)
    : QDialog(parent), m_prefs(prefs), m_messages(messages)
{
    setObjectName("dlgStagedRevLimiter");
    setWindowTitle("Staged Rev Limiter");
    auto *layout = new QVBoxLayout(this);
    checkEnableStagedRevLimiter = new QCheckBox("&Enable Staged Rev Limiter", this);
    checkEnableStagedRevLimiter->setObjectName("checkEnableStagedRevLimiter");
    layout->addWidget(checkEnableStagedRevLimiter);

    frameStagedRevLimiter = new QGroupBox(this);
    frameStagedRevLimiter->setObjectName("frameStagedRevLimiter");
    layout->addWidget(frameStagedRevLimiter);
    auto *grid = new QGridLayout(frameStagedRevLimiter);
    lblStagedRevLimiterCurrent = new QLabel("Current Rev Limiter", frameStagedRevLimiter);
    lblStagedRevLimiterCurrent->setObjectName("lblStagedRevLimiterCurrent");
    lblStagedCurrentRevLimiter = new QLabel(frameStagedRevLimiter);
    lblStagedCurrentRevLimiter->setObjectName("lblStagedCurrentRevLimiter");
    lblStagedRevLimiterInput = new QLabel("&Digital Input", frameStagedRevLimiter);
    lblStagedRevLimiterInput->setObjectName("lblStagedRevLimiterInput");
    comboStagedInputs = new QComboBox(frameStagedRevLimiter);
    comboStagedInputs->setObjectName("comboStagedInputs");
    lblStagedRevLimiterInput->setBuddy(comboStagedInputs);
    lblStagedRevLimiterNewLimit = new QLabel("Rev &Limit when signal goes 'high'", frameStagedRevLimiter);
    lblStagedRevLimiterNewLimit->setObjectName("lblStagedRevLimiterNewLimit");
    editStagedRevLimiterNewLimit = new FieldEdit(frameStagedRevLimiter);
    editStagedRevLimiterNewLimit->setObjectName("editStagedRevLimiterNewLimit");
    lblStagedRevLimiterNewLimit->setBuddy(editStagedRevLimiterNewLimit);
    grid->addWidget(lblStagedRevLimiterCurrent, 0, 0);
    grid->addWidget(lblStagedCurrentRevLimiter, 0, 1);
    grid->addWidget(lblStagedRevLimiterInput, 1, 0);
    grid->addWidget(comboStagedInputs, 1, 1);
    grid->addWidget(lblStagedRevLimiterNewLimit, 2, 0);
    grid->addWidget(editStagedRevLimiterNewLimit, 2, 1);

    auto *note = new QLabel("When the digital input selected is set 'high', the rev limiter will get changed to the new "
                            "rev limit.  When the signal is set 'low', the rev limiter will revert to its current "
                            "value.  Note: This works in real-time mode only.",
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

    // Opening.
    lblStagedCurrentRevLimiter->setText(QString::number(Units::RpmOf(tune.general().RevLimiter())));
    editStagedRevLimiterNewLimit->setText(QString::number(Units::RpmOf(m_prefs.StagedRevLimiter())));
    editStagedRevLimiterNewLimit->setValidation([this] { return checkLimit(); });
    checkEnableStagedRevLimiter->setChecked(m_prefs.StagedRevLimiterEnabled());
    applyEnablingRule();
    connect(checkEnableStagedRevLimiter, &QCheckBox::toggled, this, [this] { applyEnablingRule(); });
    for (const auto &input : m_prefs.SortedDigitalDAQInputs())
        comboStagedInputs->addItem(input->Name());
    const int stored = comboStagedInputs->findText(m_prefs.StagedRevLimiterInput(), Qt::MatchExactly);
    comboStagedInputs->setCurrentIndex(stored >= 0 ? stored : (comboStagedInputs->count() > 0 ? 0 : -1));
}

void dlgStagedRevLimiter::applyEnablingRule()
{
    const bool on = checkEnableStagedRevLimiter->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{lblStagedRevLimiterCurrent, lblStagedCurrentRevLimiter,
                                                       lblStagedRevLimiterInput, comboStagedInputs,
                                                       lblStagedRevLimiterNewLimit, editStagedRevLimiterNewLimit})
        w->setEnabled(on);
}

bool dlgStagedRevLimiter::checkLimit()
{
    return ValidateNumericRange(m_messages, this, editStagedRevLimiterNewLimit->text(), MinLimit, MaxLimit, false)
        .has_value();
}

bool dlgStagedRevLimiter::OKClicked()
{
    const bool enabled = checkEnableStagedRevLimiter->isChecked();
    const QString name = comboStagedInputs->currentIndex() >= 0 ? comboStagedInputs->currentText() : QString();
    if (enabled) {
        if (!editStagedRevLimiterNewLimit->validate())
            return false;
        if (name.isEmpty()) {
            m_messages.info(this, "You must first define a digital input in the Data Acquisition Setup");
            return false;
        }
        const CVDAQInput *input = m_prefs.FindDAQInput(name);
        if (!input || !input->Enabled()) {
            m_messages.info(this, "The selected input is not enabled in the 'Data Acquisition Setup'.  You must "
                                  "first enable it");
            return false;
        }
    }
    m_prefs.SetStagedRevLimiterEnabled(enabled);
    // Switched off, the limit is kept only when it is a valid one: a text
    // that is no number or out of range leaves the stored limit as it was.
    if (const std::optional<double> limit =
            NumericInput::CheckNumericRange(editStagedRevLimiterNewLimit->text(), MinLimit, MaxLimit, false))
        m_prefs.SetStagedRevLimiter(Units::RawFromRpm(*limit));
    m_prefs.SetStagedRevLimiterInput(name);
    return true;
}
