// The DAQ setup page's form: its controls, their layout and captions, and
// the colour buttons of the thresholds.

#include "daq/ui/CVDAQSetupDlg.h"

#include "daq/CVDataAcquisition.h"
#include "daq/DAQSetupRules.h"
#include "editors/ValidateNumericRange.h"
#include "editors/ui/FieldEdit.h"

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

// Colours are kept as 0x00BBGGRR, red in the low byte.
QColor toQColor(quint32 v)
{
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

quint32 fromQColor(const QColor &c)
{
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8) |
           (static_cast<quint32>(c.blue()) << 16);
}

} // namespace

CVDAQSetupDlg::CVDAQSetupDlg(DaqSettings &prefs, const LinkSession &link, CVDataAcquisition &daq,
                             CVScalingCalculator &calculator, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent), m_prefs(prefs), m_link(link), m_daq(daq), m_calculator(calculator), m_messages(messages)
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
