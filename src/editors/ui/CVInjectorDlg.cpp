#include "editors/ui/CVInjectorDlg.h"

#include "editors/EditSession.h"
#include "editors/ui/FieldEdit.h"
#include "editors/InjectorSizes.h"
#include "editors/NumericInput.h"
#include "editors/ValidateNumericRange.h"
#include "model/ProgramState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CVInjectorDlg::CVInjectorDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent)
    , m_edits(edits)
    , m_state(edits.state())
    , m_messages(messages)
{
    setObjectName(QStringLiteral("picGlobalInjector"));
    auto *outer = new QVBoxLayout(this);

    auto *grpInjectorK = new QGroupBox(QStringLiteral("Injector K"), this);
    grpInjectorK->setObjectName(QStringLiteral("grpInjectorK"));
    auto *kGrid = new QGridLayout(grpInjectorK);
    comboInjectorK = new QComboBox(grpInjectorK);
    comboInjectorK->setObjectName(QStringLiteral("comboInjectorK"));
    comboInjectorK->addItems(InjectorSizes::SizeNames());
    checkDualFiltration = new QCheckBox(QStringLiteral("Dual Filtration"), grpInjectorK);
    checkDualFiltration->setObjectName(QStringLiteral("checkDualFiltration"));
    checkKOverride = new QCheckBox(QStringLiteral("&Override"), grpInjectorK);
    checkKOverride->setObjectName(QStringLiteral("checkKOverride"));
    editKOveride = new FieldEdit(grpInjectorK);
    editKOveride->setObjectName(QStringLiteral("editKOveride"));
    kGrid->addWidget(comboInjectorK, 0, 0);
    kGrid->addWidget(checkDualFiltration, 0, 1);
    kGrid->addWidget(checkKOverride, 1, 0);
    kGrid->addWidget(editKOveride, 1, 1);
    // The fields keep their own width; the room to the right stays empty.
    kGrid->setColumnStretch(2, 1);
    outer->addWidget(grpInjectorK);

    auto *timing = new QGridLayout;
    editInjectorBlast = new FieldEdit(this);
    editInjectorBlast->setObjectName(QStringLiteral("editInjectorBlast"));
    auto *lblBlast = new QLabel(QStringLiteral("I&njector Blast (ms)"), this);
    lblBlast->setBuddy(editInjectorBlast);
    editInjectorVoid = new FieldEdit(this);
    editInjectorVoid->setObjectName(QStringLiteral("editInjectorVoid"));
    auto *lblVoid = new QLabel(QStringLiteral("In&jector Void (ms)"), this);
    lblVoid->setBuddy(editInjectorVoid);
    timing->addWidget(lblBlast, 0, 0);
    timing->addWidget(editInjectorBlast, 0, 1);
    timing->addWidget(lblVoid, 1, 0);
    timing->addWidget(editInjectorVoid, 1, 1);
    timing->setColumnStretch(2, 1);
    outer->addLayout(timing);

    picRTInfo = new QFrame(this);
    picRTInfo->setObjectName(QStringLiteral("picRTInfo"));
    picRTInfo->setFrameShape(QFrame::StyledPanel);
    auto *infoRow = new QHBoxLayout(picRTInfo);
    lblRTInfo = new QLabel(QStringLiteral("Injector values may not be modified in real-time mode."), picRTInfo);
    lblRTInfo->setObjectName(QStringLiteral("lblRTInfo"));
    infoRow->addWidget(lblRTInfo);
    picRTInfo->hide();
    outer->addWidget(picRTInfo);
    outer->addStretch(1);

    // User actions only: refilling the panel sets these controls without
    // running their handlers.
    connect(comboInjectorK, &QComboBox::activated, this, [this] { comboInjectorK_Validate(); });
    connect(checkDualFiltration, &QCheckBox::clicked, this, [this] { checkDualFiltration_Click(); });
    connect(checkKOverride, &QCheckBox::clicked, this, [this] { checkKOverride_Click(); });
    editKOveride->setValidation([this] { return editKOveride_Validate(); });
    editInjectorBlast->setValidation([this] { return editInjectorBlast_Validate(); });
    editInjectorVoid->setValidation([this] { return editInjectorVoid_Validate(); });
}

CVInjectorDlg::~CVInjectorDlg()
{
    for (FieldEdit *e : {editKOveride, editInjectorBlast, editInjectorVoid})
        e->setValidation({});
}

void CVInjectorDlg::UpdateData()
{
    const CVGeneralInfo &g = m_state.tune.general();
    const bool realTime = m_edits.RealTime();

    for (QWidget *w : std::initializer_list<QWidget *>{comboInjectorK, checkDualFiltration, checkKOverride,
                                                       editKOveride, editInjectorBlast, editInjectorVoid})
        w->setEnabled(!realTime);
    picRTInfo->setVisible(realTime);
    lblRTInfo->setVisible(realTime);

    if (IsCustomInjectorK(g.InjectorK())) {
        checkDualFiltration->setEnabled(false);
        checkDualFiltration->setChecked(false);
        checkKOverride->setChecked(true);
        comboInjectorK->setEnabled(false);
        editKOveride->setEnabled(!realTime);
    } else {
        checkKOverride->setChecked(false);
        editKOveride->setEnabled(false);
        if (!realTime) {
            comboInjectorK->setEnabled(true);
            checkDualFiltration->setEnabled(true);
        }
        checkDualFiltration->setChecked(g.DualFiltration());
    }

    comboInjectorK->setCurrentIndex(InjectorSizeFromK(g.InjectorK(), g.DualFiltration()));
    editInjectorBlast->setText(QString::number(g.InjectorBlast()));
    editInjectorVoid->setText(QString::number(g.InjectorVoid()));
    editKOveride->setText(QString::number(g.InjectorK()));
}

void CVInjectorDlg::comboInjectorK_Validate()
{
    const CVGeneralInfo &g = m_state.tune.general();
    int k = g.InjectorK();
    if (checkKOverride->isChecked()) {
        if (const std::optional<double> typed =
                NumericInput::CheckNumericRange(editKOveride->text(), 0, Info(TuneItem::InjectorK).MaxValue(), false))
            k = static_cast<int>(*typed);
    } else {
        k = InjectorKFromSize(comboInjectorK->currentIndex(), checkDualFiltration->isChecked());
    }
    // A choice counts as an edit even when it leaves K as it was.
    m_edits.CommitValue(TuneItem::InjectorK, 0, k);
    editKOveride->setText(QString::number(g.InjectorK()));
}

bool CVInjectorDlg::editKOveride_Validate()
{
    const std::optional<double> k =
        ValidateNumericRange(m_messages, window(), editKOveride->text(), 0, Info(TuneItem::InjectorK).MaxValue(), false);
    if (!k)
        return false;
    m_edits.ChangeValue(TuneItem::InjectorK, 0, static_cast<int>(*k));
    return true;
}

void CVInjectorDlg::checkKOverride_Click()
{
    if (checkKOverride->isChecked()) {
        editKOveride->setEnabled(true);
        comboInjectorK->setEnabled(false);
        checkDualFiltration->setEnabled(false);
        checkDualFiltration->setChecked(false);
        return;
    }
    comboInjectorK->setCurrentIndex(0);
    m_edits.CommitValue(TuneItem::InjectorK, 0, InjectorKFromSize(0, checkDualFiltration->isChecked()));
    editKOveride->setText(QString::number(m_state.tune.general().InjectorK()));
    editKOveride->setEnabled(false);
    comboInjectorK->setEnabled(true);
    checkDualFiltration->setEnabled(true);
}

void CVInjectorDlg::checkDualFiltration_Click()
{
    comboInjectorK_Validate();
}

bool CVInjectorDlg::validateByte(FieldEdit *edit, TuneItem item)
{
    const std::optional<double> v = ValidateNumericRange(m_messages, window(), edit->text(), 0, Info(item).MaxValue(), false);
    if (!v)
        return false;
    m_edits.ChangeValue(item, 0, static_cast<int>(*v));
    return true;
}

bool CVInjectorDlg::editInjectorBlast_Validate()
{
    return validateByte(editInjectorBlast, TuneItem::InjectorBlast);
}

bool CVInjectorDlg::editInjectorVoid_Validate()
{
    return validateByte(editInjectorVoid, TuneItem::InjectorVoid);
}
