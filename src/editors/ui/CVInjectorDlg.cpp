#include "editors/ui/CVInjectorDlg.h"

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

namespace {

int blastOf(const ProgramState &s) { return s.tune.general().InjectorBlast(); }
void setBlast(ProgramState &s, int v) { s.tune.general().SetInjectorBlast(v); }
int voidOf(const ProgramState &s) { return s.tune.general().InjectorVoid(); }
void setVoid(ProgramState &s, int v) { s.tune.general().SetInjectorVoid(v); }

} // namespace

CVInjectorDlg::CVInjectorDlg(ProgramState &state, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
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
    const bool realTime = m_state.RealTimeEnabled;

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

void CVInjectorDlg::noteChange()
{
    // The injector values never go out in real time, so every change is one
    // the box has not been sent.
    m_state.NoteEdit();
    m_state.ChangesNotSent = true;
}

void CVInjectorDlg::comboInjectorK_Validate()
{
    CVGeneralInfo &g = m_state.tune.general();
    if (checkKOverride->isChecked()) {
        const std::optional<double> k = NumericInput::CheckNumericRange(editKOveride->text(), 0, 65535, false);
        if (k)
            g.SetInjectorK(static_cast<int>(*k));
    } else {
        g.SetInjectorK(InjectorKFromSize(comboInjectorK->currentIndex(), checkDualFiltration->isChecked()));
    }
    editKOveride->setText(QString::number(g.InjectorK()));
    noteChange();
}

bool CVInjectorDlg::editKOveride_Validate()
{
    const std::optional<double> k =
        ValidateNumericRange(m_messages, window(), editKOveride->text(), 0, 65535, false);
    if (!k)
        return false;
    CVGeneralInfo &g = m_state.tune.general();
    const int value = static_cast<int>(*k);
    const bool changed = value != g.InjectorK();
    g.SetInjectorK(value);
    if (changed)
        noteChange();
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
    m_state.tune.general().SetInjectorK(InjectorKFromSize(0, checkDualFiltration->isChecked()));
    editKOveride->setText(QString::number(m_state.tune.general().InjectorK()));
    editKOveride->setEnabled(false);
    comboInjectorK->setEnabled(true);
    checkDualFiltration->setEnabled(true);
    noteChange();
}

void CVInjectorDlg::checkDualFiltration_Click()
{
    comboInjectorK_Validate();
}

bool CVInjectorDlg::validateByte(FieldEdit *edit, int (*get)(const ProgramState &),
                                 void (*set)(ProgramState &, int))
{
    const std::optional<double> v = ValidateNumericRange(m_messages, window(), edit->text(), 0, 255, false);
    if (!v)
        return false;
    const int value = static_cast<int>(*v);
    const bool changed = value != get(m_state);
    set(m_state, value);
    if (changed)
        noteChange();
    return true;
}

bool CVInjectorDlg::editInjectorBlast_Validate()
{
    return validateByte(editInjectorBlast, blastOf, setBlast);
}

bool CVInjectorDlg::editInjectorVoid_Validate()
{
    return validateByte(editInjectorVoid, voidOf, setVoid);
}
