// The DAQ setup page's commands: the list of inputs, showing the selected
// one, New, Update and Delete (the checks live in DAQSetupRules) and the
// device's reset, version information and advanced settings. The form
// itself is built in DaqSetupForm.cpp.

#include "daq/ui/CVDAQSetupDlg.h"

#include "daq/CVDataAcquisition.h"
#include "daq/DAQSetupRules.h"
#include "daq/DaqSettings.h"
#include "daq/GeneralText.h"
#include "daq/ui/dlgRTAdvanced.h"
#include "editors/NumericInput.h"
#include "editors/ui/FieldEdit.h"
#include "link/LinkSession.h"
#include "platform/MessageBoxService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace Rules = DAQSetupRules;

namespace {

QString fourPlaces(double v)
{
    return QString::number(v, 'f', 4);
}

// A number from a box that passed (or did not need) its range check.
double numberOr(const QString &text, double fallback)
{
    return NumericInput::ParseDecimalText(text, true).value_or(fallback);
}

} // namespace

void CVDAQSetupDlg::UpdateData()
{
    const bool off = !m_link.RealTimeEnabled();
    for (QPushButton *b : {buttonDAQNew, buttonDAQUpdate, buttonDAQDelete, buttonLJReset})
        b->setEnabled(off);
}

void CVDAQSetupDlg::fillList()
{
    m_filling = true;
    listViewDAQ->clear();
    for (const auto &input : m_prefs.DAQInputs()) {
        auto *row = new QTreeWidgetItem(listViewDAQ);
        setRowTexts(row, input->Name());
    }
    m_filling = false;
}

void CVDAQSetupDlg::setRowTexts(QTreeWidgetItem *row, const QString &name)
{
    const CVDAQInput *input = m_prefs.FindDAQInput(name);
    if (!input)
        return;
    row->setText(0, input->Name());
    row->setText(1, input->ChannelName());
    row->setText(2, CVDAQInput::TypeName(input->InputType()));
    row->setText(3, fourPlaces(input->VoltageCorrection()));
}

QTreeWidgetItem *CVDAQSetupDlg::rowOf(const QString &name) const
{
    for (int i = 0; i < listViewDAQ->topLevelItemCount(); ++i)
        if (listViewDAQ->topLevelItem(i)->text(0) == name)
            return listViewDAQ->topLevelItem(i);
    return nullptr;
}

void CVDAQSetupDlg::SelectRow(const QString &name)
{
    QTreeWidgetItem *row = rowOf(name);
    if (!row)
        return;
    m_filling = true;
    listViewDAQ->setCurrentItem(row);
    m_filling = false;
    m_selectedName = name;
    m_newInput = false;
    showInput(name);
}

void CVDAQSetupDlg::fillChannels(int type)
{
    comboDAQInput->clear();
    comboDAQInput->addItems(Rules::ChannelItems(type));
}

void CVDAQSetupDlg::showInput(const QString &name)
{
    const CVDAQInput *input = m_prefs.FindDAQInput(name);
    if (!input)
        return;
    editDAQName->setText(input->Name());
    const int type = std::clamp(input->InputType(), 0, 2);
    comboDAQInputType->setCurrentIndex(type);
    fillChannels(type);
    comboDAQInput->setCurrentIndex(std::clamp(input->DAQInput(), 0, comboDAQInput->count() - 1));
    comboGain->setCurrentIndex(std::clamp(input->Gain(), 0, comboGain->count() - 1));
    editDAQVoltageCorrection->setText(fourPlaces(input->VoltageCorrection()));
    editDAQScalingFormula->setText(input->ScalingFormula());
    checkInputEnabled->setChecked(input->Enabled());
    checkDAQThresholdEnabled->setChecked(input->ThresholdsEnabled());
    editDAQWarnThreshold->setText(fourPlaces(input->WarningThreshold()));
    editDAQCriticalThreshold->setText(fourPlaces(input->CriticalThreshold()));
    setButtonColor(buttonDAQWarn, input->WarningThresholdColor());
    setButtonColor(buttonDAQCritical, input->CriticalThresholdColor());
    setButtonColor(buttonDAQNormal, input->NormalThresholdColor());
    applyTypeRule();
    if (input->IsMAS()) {
        // The airflow meter is always on and always a plain voltage.
        checkInputEnabled->setVisible(false);
        editDAQScalingFormula->setVisible(false);
        lblDAQScalingFormula->setVisible(false);
    }
    applyThresholdRule();
}

void CVDAQSetupDlg::applyTypeRule()
{
    const bool digital = comboDAQInputType->currentIndex() == CVDAQInput::Digital;
    for (QWidget *w : std::initializer_list<QWidget *>{editDAQVoltageCorrection, lblDAQVoltageCorrection,
                                                       editDAQScalingFormula, lblDAQScalingFormula,
                                                       checkDAQThresholdEnabled, frameDAQThresholds})
        w->setVisible(!digital);
    checkInputEnabled->setVisible(true);
    // The gain applies to differential inputs only.
    comboGain->setEnabled(comboDAQInputType->currentIndex() == CVDAQInput::Differential);
}

void CVDAQSetupDlg::applyThresholdRule()
{
    const bool on = checkDAQThresholdEnabled->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{lblDAQWarn, lblDAQWarnAs, editDAQWarnThreshold, buttonDAQWarn,
                                                       lblDAQCritical, lblDAQCriticalAs, editDAQCriticalThreshold,
                                                       buttonDAQCritical, lblDAQNormal, buttonDAQNormal})
        w->setEnabled(on);
}

void CVDAQSetupDlg::typeChanged(int type)
{
    const bool masShown = !m_newInput && m_selectedName == CVDAQInput::MASName();
    fillChannels(type);
    comboDAQInput->setCurrentIndex(0);
    if (type != CVDAQInput::Differential)
        comboGain->setCurrentIndex(0);
    applyTypeRule();
    if (masShown) {
        checkInputEnabled->setVisible(false);
        editDAQScalingFormula->setVisible(false);
        lblDAQScalingFormula->setVisible(false);
    }
}

void CVDAQSetupDlg::New()
{
    m_newInput = true;
    editDAQName->clear();
    editDAQVoltageCorrection->setText("0.0000");
    comboDAQInputType->setCurrentIndex(0);
    fillChannels(0);
    comboDAQInput->setCurrentIndex(0);
    comboGain->setCurrentIndex(0);
    editDAQScalingFormula->clear();
    checkInputEnabled->setChecked(true);
    checkInputEnabled->setVisible(true);
    checkDAQThresholdEnabled->setVisible(true);
    frameDAQThresholds->setVisible(true);
    applyTypeRule();
    applyThresholdRule();
    editDAQName->setFocus();
}

bool CVDAQSetupDlg::Update()
{
    if (!m_newInput && (m_selectedName.isEmpty() || !m_prefs.FindDAQInput(m_selectedName)))
        return false; // nothing selected to update
    const qint32 type = comboDAQInputType->currentIndex();
    const bool analog = type != CVDAQInput::Digital;
    const bool thresholds = analog && checkDAQThresholdEnabled->isChecked();

    // The boxes' own checks, in case the click came without leaving them.
    if (analog && !editDAQVoltageCorrection->validate())
        return false;
    if (thresholds && (!editDAQWarnThreshold->validate() || !editDAQCriticalThreshold->validate()))
        return false;

    DAQInputRecord input;
    input.name = editDAQName->text();
    input.inputType = type;
    input.channel = std::max(0, comboDAQInput->currentIndex());
    input.gain = std::max(0, comboGain->currentIndex());
    input.voltageCorrection = analog ? numberOr(editDAQVoltageCorrection->text(), 0.0) : 0.0;
    input.scalingFormula = analog ? editDAQScalingFormula->text() : QString();
    input.enabled = checkInputEnabled->isChecked();
    input.thresholdsEnabled = thresholds;
    input.warningThreshold = static_cast<float>(numberOr(editDAQWarnThreshold->text(), 0.0));
    input.criticalThreshold = static_cast<float>(numberOr(editDAQCriticalThreshold->text(), 0.0));
    input.warningThresholdColor = buttonColor(buttonDAQWarn);
    input.criticalThresholdColor = buttonColor(buttonDAQCritical);
    input.normalThresholdColor = buttonColor(buttonDAQNormal);

    const QString oldName = m_newInput ? QString() : m_selectedName;
    if (const std::optional<Rules::Refusal> refusal = Rules::CheckInput(m_prefs, m_calculator, oldName, input)) {
        if (refusal->critical)
            m_messages.critical(this, refusal->message);
        else
            m_messages.info(this, refusal->message);
        if (refusal->inFormula)
            editDAQScalingFormula->setFocus();
        return false;
    }
    if (!Rules::StoreInput(m_prefs, oldName, input))
        return false;

    if (m_newInput) {
        auto *row = new QTreeWidgetItem(listViewDAQ);
        setRowTexts(row, input.name);
        m_newInput = false;
        SelectRow(input.name);
        return true;
    }
    editDAQWarnThreshold->setText(fourPlaces(input.warningThreshold));
    editDAQCriticalThreshold->setText(fourPlaces(input.criticalThreshold));
    if (QTreeWidgetItem *row = rowOf(oldName))
        setRowTexts(row, input.name);
    m_selectedName = input.name;
    return true;
}

void CVDAQSetupDlg::Delete()
{
    if (m_selectedName.isEmpty() || !rowOf(m_selectedName))
        return;
    if (m_selectedName == CVDAQInput::MASName()) {
        m_messages.info(this, Rules::MASDelete);
        return;
    }
    if (!m_messages.askYesNo(this, Rules::DeleteQuestion))
        return;
    if (m_prefs.StagedRevLimiterEnabled() && m_selectedName == m_prefs.StagedRevLimiterInput()) {
        m_messages.critical(this, Rules::StagedDelete);
        return;
    }
    const QString name = m_selectedName;
    m_prefs.DeleteDAQInput(name);
    delete rowOf(name);
    m_selectedName.clear();
    if (QTreeWidgetItem *first = listViewDAQ->topLevelItem(0))
        SelectRow(first->text(0));
}

void CVDAQSetupDlg::showDeviceFailure(const QString &message)
{
    m_messages.critical(this, QString::fromUtf8(Rules::DeviceFailure) + "\n\n\t" + message);
}

void CVDAQSetupDlg::ResetDevice()
{
    const qint32 code = m_daq.DAQReset();
    if (m_daq.CallError().isSet()) {
        showDeviceFailure(m_daq.CallError().message);
        lblDAQStatus->setText(Rules::NoUnits);
    } else if (code != 0) {
        m_messages.plain(this, QString::fromUtf8(Rules::DeviceError) + "\n\n\t" + m_daq.GetErrorInfo(code));
        lblDAQStatus->setText(Rules::NoUnits);
    } else {
        lblDAQStatus->setText(Rules::ActiveUnit);
    }
}

void CVDAQSetupDlg::DeviceInfo()
{
    const float driver = m_daq.GetDAQDriverVersion();
    if (m_daq.CallError().isSet()) {
        showDeviceFailure(m_daq.CallError().message);
        return;
    }
    const float firmware = m_daq.GetDAQFirmwareVersion();
    if (m_daq.CallError().isSet()) {
        showDeviceFailure(m_daq.CallError().message);
        return;
    }
    if (driver == 0.0f && firmware == 0.0f) {
        m_messages.critical(this, Rules::NoVersions);
        return;
    }
    QString text = "DAQ Information:\n\nDriver Version: " + vnt::GeneralText(driver) + "\n";
    text += firmware == 0.0f ? QStringLiteral("Firmware Version: Device not found")
                             : "Firmware Version: " + vnt::GeneralText(firmware);
    m_messages.info(this, text);
}

void CVDAQSetupDlg::Advanced()
{
    dlgRTAdvanced dialog(m_prefs, m_messages, this);
    dialog.exec();
    // The sample period applies at once, also to a running acquisition.
    emit advancedSettingsChanged();
}
