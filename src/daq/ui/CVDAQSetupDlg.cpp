#include "daq/ui/CVDAQSetupDlg.h"

#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/GeneralText.h"
#include "daq/DAQSetupRules.h"
#include "daq/ui/dlgRTAdvanced.h"
#include "editors/ui/FieldEdit.h"
#include "editors/NumericInput.h"
#include "editors/ValidateNumericRange.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "shell/prefs/CVUserPrefs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>

namespace Rules = DAQSetupRules;

namespace {

QString fourPlaces(double v)
{
    return QString::number(v, 'f', 4);
}

QColor toQColor(quint32 v)
{
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

quint32 fromQColor(const QColor &c)
{
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8) |
           (static_cast<quint32>(c.blue()) << 16);
}

// A number from a box that passed (or did not need) its range check.
double numberOr(const QString &text, double fallback)
{
    return NumericInput::ParseDecimalText(text, true).value_or(fallback);
}

} // namespace

CVDAQSetupDlg::CVDAQSetupDlg(CVUserPrefs &prefs, ProgramState &state, CVDataAcquisition &daq,
                             CVScalingCalculator &calculator, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent), m_prefs(prefs), m_state(state), m_daq(daq), m_calculator(calculator), m_messages(messages)
{
    setObjectName("CVDAQSetupDlg");
    m_pickColor = [](QWidget *parentWidget, const QColor &initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, parentWidget);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };

    auto *layout = new QVBoxLayout(this);
    lblDAQConfig = new QLabel("Data Acquisition Configuration", this);
    lblDAQConfig->setObjectName("lblDAQConfig");
    QFont heading = lblDAQConfig->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    lblDAQConfig->setFont(heading);
    layout->addWidget(lblDAQConfig);
    lblDAQStatus = new QLabel(Rules::NoUnits, this);
    lblDAQStatus->setObjectName("lblDAQStatus");
    layout->addWidget(lblDAQStatus);

    auto *middle = new QHBoxLayout;
    layout->addLayout(middle, 1);
    listViewDAQ = new QTreeWidget(this);
    listViewDAQ->setObjectName("listViewDAQ");
    listViewDAQ->setRootIsDecorated(false);
    listViewDAQ->setColumnCount(4);
    listViewDAQ->setHeaderLabels({"Name", "Input", "Type", "Correction (v)"});
    listViewDAQ->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    middle->addWidget(listViewDAQ, 1);
    middle->addWidget(buildEditor(), 1);

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    const auto button = [&](const char *caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    buttonDAQNew = button("&New", "buttonDAQNew");
    buttonDAQUpdate = button("&Update", "buttonDAQUpdate");
    buttonDAQDelete = button("&Delete", "buttonDAQDelete");
    buttons->addStretch(1);
    buttonLJReset = button("&Reset DAQ Device", "buttonLJReset");
    buttonLJInfo = button("DA&Q Info...", "buttonLJInfo");
    buttonRTAdvanced = button("Advanced&...", "buttonRTAdvanced");

    connect(buttonDAQNew, &QPushButton::clicked, this, &CVDAQSetupDlg::New);
    connect(buttonDAQUpdate, &QPushButton::clicked, this, [this] { Update(); });
    connect(buttonDAQDelete, &QPushButton::clicked, this, &CVDAQSetupDlg::Delete);
    connect(buttonLJReset, &QPushButton::clicked, this, &CVDAQSetupDlg::ResetDevice);
    connect(buttonLJInfo, &QPushButton::clicked, this, &CVDAQSetupDlg::DeviceInfo);
    connect(buttonRTAdvanced, &QPushButton::clicked, this, &CVDAQSetupDlg::Advanced);
    connect(listViewDAQ, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { SelectRow(item->text(0)); });
    connect(listViewDAQ, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item && !m_filling && item->text(0) != m_selectedName)
            SelectRow(item->text(0));
    });

    // Creating the panel: the device, then the list.
    if (m_daq.HasActiveDevice())
        lblDAQStatus->setText(Rules::ActiveUnit);
    fillList();
    if (QTreeWidgetItem *first = listViewDAQ->topLevelItem(0))
        SelectRow(first->text(0));
}

QWidget *CVDAQSetupDlg::buildEditor()
{
    auto *editor = new QWidget(this);
    auto *grid = new QGridLayout(editor);
    int row = 0;
    const auto labelFor = [&](const char *caption, QWidget *buddy, const char *name) {
        auto *l = new QLabel(caption, editor);
        l->setObjectName(name);
        l->setBuddy(buddy);
        grid->addWidget(l, row, 0);
        grid->addWidget(buddy, row, 1);
        ++row;
        return l;
    };
    editDAQName = new QLineEdit(editor);
    editDAQName->setObjectName("editDAQName");
    labelFor("N&ame", editDAQName, "lblDAQName");
    comboDAQInputType = new QComboBox(editor);
    comboDAQInputType->setObjectName("comboDAQInputType");
    comboDAQInputType->addItems(Rules::TypeItems());
    labelFor("&Type", comboDAQInputType, "lblDAQInputType");
    comboDAQInput = new QComboBox(editor);
    comboDAQInput->setObjectName("comboDAQInput");
    labelFor("&Input", comboDAQInput, "lblDAQInput");
    comboGain = new QComboBox(editor);
    comboGain->setObjectName("comboGain");
    comboGain->addItems(Rules::GainItems());
    labelFor("&Gain", comboGain, "lblGain");
    editDAQVoltageCorrection = new FieldEdit(editor);
    editDAQVoltageCorrection->setObjectName("editDAQVoltageCorrection");
    editDAQVoltageCorrection->setText("0.00");
    lblDAQVoltageCorrection = labelFor("&Correction (+/- v)", editDAQVoltageCorrection, "lblDAQVoltageCorrection");
    editDAQScalingFormula = new QLineEdit(editor);
    editDAQScalingFormula->setObjectName("editDAQScalingFormula");
    lblDAQScalingFormula = labelFor("&Scaling Formula", editDAQScalingFormula, "lblDAQScalingFormula");
    checkInputEnabled = new QCheckBox("Ena&bled", editor);
    checkInputEnabled->setObjectName("checkInputEnabled");
    grid->addWidget(checkInputEnabled, row++, 1);
    checkDAQThresholdEnabled = new QCheckBox("Enable Threshold &Warnings", editor);
    checkDAQThresholdEnabled->setObjectName("checkDAQThresholdEnabled");
    grid->addWidget(checkDAQThresholdEnabled, row++, 0, 1, 2);

    frameDAQThresholds = new QGroupBox(editor);
    frameDAQThresholds->setObjectName("frameDAQThresholds");
    grid->addWidget(frameDAQThresholds, row++, 0, 1, 2);
    auto *t = new QGridLayout(frameDAQThresholds);
    const auto colorButton = [&](const char *name) {
        auto *b = new QPushButton("...", frameDAQThresholds);
        b->setObjectName(name);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance("......") + 12);
        connect(b, &QPushButton::clicked, this, [this, b] { chooseColor(b); });
        return b;
    };
    const auto thresholdBox = [&](const char *name) {
        auto *e = new FieldEdit(frameDAQThresholds);
        e->setObjectName(name);
        e->setValidation([this, e] {
            return ValidateNumericRange(m_messages, this, e->text(), 0, std::numeric_limits<float>::max(), true)
                .has_value();
        });
        return e;
    };
    lblDAQWarn = new QLabel("S&how values greater than ", frameDAQThresholds);
    lblDAQWarn->setObjectName("lblDAQWarn");
    editDAQWarnThreshold = thresholdBox("editDAQWarnThreshold");
    lblDAQWarn->setBuddy(editDAQWarnThreshold);
    lblDAQWarnAs = new QLabel("as", frameDAQThresholds);
    lblDAQWarnAs->setObjectName("lblDAQWarnAs");
    buttonDAQWarn = colorButton("buttonDAQWarn");
    lblDAQCritical = new QLabel("Sh&ow values greater than ", frameDAQThresholds);
    lblDAQCritical->setObjectName("lblDAQCritical");
    editDAQCriticalThreshold = thresholdBox("editDAQCriticalThreshold");
    lblDAQCritical->setBuddy(editDAQCriticalThreshold);
    lblDAQCriticalAs = new QLabel("as", frameDAQThresholds);
    lblDAQCriticalAs->setObjectName("lblDAQCriticalAs");
    buttonDAQCritical = colorButton("buttonDAQCritical");
    lblDAQNormal = new QLabel("Otherwise show the &value as", frameDAQThresholds);
    lblDAQNormal->setObjectName("lblDAQNormal");
    buttonDAQNormal = colorButton("buttonDAQNormal");
    lblDAQNormal->setBuddy(buttonDAQNormal);
    t->addWidget(lblDAQWarn, 0, 0);
    t->addWidget(editDAQWarnThreshold, 0, 1);
    t->addWidget(lblDAQWarnAs, 0, 2);
    t->addWidget(buttonDAQWarn, 0, 3);
    t->addWidget(lblDAQCritical, 1, 0);
    t->addWidget(editDAQCriticalThreshold, 1, 1);
    t->addWidget(lblDAQCriticalAs, 1, 2);
    t->addWidget(buttonDAQCritical, 1, 3);
    t->addWidget(lblDAQNormal, 2, 0, 1, 3);
    t->addWidget(buttonDAQNormal, 2, 3);
    grid->setRowStretch(row, 1);

    editDAQVoltageCorrection->setValidation([this] {
        return ValidateNumericRange(m_messages, this, editDAQVoltageCorrection->text(), -5, 5, true).has_value();
    });
    connect(comboDAQInputType, qOverload<int>(&QComboBox::activated), this, &CVDAQSetupDlg::typeChanged);
    connect(checkDAQThresholdEnabled, &QCheckBox::toggled, this, [this] { applyThresholdRule(); });
    setButtonColor(buttonDAQWarn, CVDAQInput::DefaultWarningColor);
    setButtonColor(buttonDAQCritical, CVDAQInput::DefaultCriticalColor);
    setButtonColor(buttonDAQNormal, CVDAQInput::DefaultNormalColor);
    applyThresholdRule();
    return editor;
}

void CVDAQSetupDlg::UpdateData()
{
    const bool off = !m_state.RealTimeEnabled;
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
    const QString name = editDAQName->text();
    const QString oldName = m_newInput ? QString() : m_selectedName;
    const qint32 type = comboDAQInputType->currentIndex();
    const qint32 channel = std::max(0, comboDAQInput->currentIndex());
    const qint32 gain = std::max(0, comboGain->currentIndex());
    const bool analog = type != CVDAQInput::Digital;
    const bool thresholds = analog && checkDAQThresholdEnabled->isChecked();

    // The boxes' own checks, in case the click came without leaving them.
    if (analog && !editDAQVoltageCorrection->validate())
        return false;
    if (thresholds && (!editDAQWarnThreshold->validate() || !editDAQCriticalThreshold->validate()))
        return false;

    if (name.isEmpty()) {
        m_messages.info(this, Rules::NameMissing);
        return false;
    }
    if ((m_newInput || name != m_selectedName) && m_prefs.FindDAQInput(name)) {
        m_messages.info(this, Rules::NameTaken);
        return false;
    }
    const QString other = Rules::ConflictingInput(m_prefs.DAQInputs(), oldName, type, channel);
    if (!other.isEmpty()) {
        m_messages.info(this, Rules::ChannelInUse + other + "'");
        return false;
    }
    if (Rules::IsForbiddenName(name)) {
        m_messages.info(this, Rules::NameForbidden);
        return false;
    }
    const double correction = analog ? numberOr(editDAQVoltageCorrection->text(), 0.0) : 0.0;
    const float warning = static_cast<float>(numberOr(editDAQWarnThreshold->text(), 0.0));
    const float critical = static_cast<float>(numberOr(editDAQCriticalThreshold->text(), 0.0));
    if (thresholds && !(critical > warning)) {
        m_messages.info(this, Rules::ThresholdOrder);
        return false;
    }
    const QString formula = analog ? editDAQScalingFormula->text() : QString();
    if (!formula.isEmpty()) {
        const FormulaResult result = m_calculator.ComputeFormula(formula, 0.0f);
        if (!result.ok()) {
            m_messages.info(this, result.error.message);
            editDAQScalingFormula->setFocus();
            return false;
        }
    }
    const bool enabled = checkInputEnabled->isChecked();
    const quint32 warnColor = buttonColor(buttonDAQWarn);
    const quint32 criticalColor = buttonColor(buttonDAQCritical);
    const quint32 normalColor = buttonColor(buttonDAQNormal);

    if (m_newInput) {
        // A ninth enabled analog input, among others the store cannot hold.
        const QString refusal = m_prefs.DAQInputRefusal(QString(), name, type, enabled);
        if (!refusal.isEmpty()) {
            m_messages.info(this, refusal);
            return false;
        }
        if (!m_prefs.AddDAQInput(name, channel, type, gain, correction, formula, enabled, thresholds, warning,
                                 warnColor, critical, criticalColor, normalColor) &&
            !m_prefs.FindDAQInput(name))
            return false;
        auto *row = new QTreeWidgetItem(listViewDAQ);
        setRowTexts(row, name);
        m_newInput = false;
        SelectRow(name);
        return true;
    }

    if (m_selectedName == CVDAQInput::MASName() && name != m_selectedName) {
        m_messages.info(this, Rules::MASRename);
        return false;
    }
    const bool stagedInput =
        m_prefs.StagedRevLimiterEnabled() && m_selectedName == m_prefs.StagedRevLimiterInput();
    if (stagedInput) {
        if (type != CVDAQInput::Digital) {
            m_messages.critical(this, Rules::StagedType);
            return false;
        }
        if (!enabled) {
            m_messages.critical(this, Rules::StagedDisable);
            return false;
        }
    }
    const QString refusal = m_prefs.DAQInputRefusal(m_selectedName, name, type, enabled);
    if (!refusal.isEmpty()) {
        m_messages.info(this, refusal);
        return false;
    }
    const QString previous = m_selectedName;
    if (!m_prefs.UpdateDAQInput(previous, name, channel, type, gain, correction, formula, enabled, thresholds,
                                warning, warnColor, critical, criticalColor, normalColor) &&
        !m_prefs.FindDAQInput(name))
        return false;
    // The staged rev limiter follows its input to the new name.
    if (stagedInput)
        m_prefs.SetStagedRevLimiterInput(name);
    editDAQWarnThreshold->setText(fourPlaces(warning));
    editDAQCriticalThreshold->setText(fourPlaces(critical));
    if (QTreeWidgetItem *row = rowOf(previous))
        setRowTexts(row, name);
    m_selectedName = name;
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
    if (onAdvancedSettingsChanged)
        onAdvancedSettingsChanged();
}

void CVDAQSetupDlg::chooseColor(QPushButton *button)
{
    if (const std::optional<QColor> chosen = m_pickColor(this, toQColor(buttonColor(button))))
        setButtonColor(button, fromQColor(*chosen));
}

void CVDAQSetupDlg::setButtonColor(QPushButton *button, quint32 color)
{
    button->setProperty("vntColor", color);
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(toQColor(color).name()));
}

quint32 CVDAQSetupDlg::buttonColor(const QPushButton *button) const
{
    return button->property("vntColor").toUInt();
}
