#include "editors/ui/CVGlobalDlg.h"

#include "editors/EditSession.h"
#include "editors/ValidateNumericRange.h"
#include "editors/ui/FieldEdit.h"
#include "model/Tune.h"

#include <QGridLayout>
#include <QLabel>

using GeneralRules::Field;

CVGlobalDlg::CVGlobalDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent)
    , m_edits(edits)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("picGlobalGeneral"));
    auto *grid = new QGridLayout(this);

    auto addField = [&](int row, const char *editName, const char *labelName, const QString &caption) {
        auto *edit = new FieldEdit(this);
        edit->setObjectName(QLatin1String(editName));
        auto *label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(labelName));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    editRevLimiter = addField(0, "editRevLimiter", "lblRevLimiter", QStringLiteral("&Rev Limiter (RPM)"));
    editSpeedLimiter = addField(1, "editSpeedLimiter", "lblSpeedLimiter", QStringLiteral("&Speed Limiter (MPH)"));
    editVTCRelease = addField(2, "editVTCRelease", "lblVTCRelease", QStringLiteral("&VTC Release (RPM)"));
    editVersion = addField(3, "editVersion", "lblVersion", QStringLiteral("V&ersion String"));
    editVersion->setMaxLength(5);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    editRevLimiter->setValidation([this] { return RevLimiter_Validate(); });
    editSpeedLimiter->setValidation([this] { return SpeedLimiter_Validate(); });
    editVTCRelease->setValidation([this] { return VTCRelease_Validate(); });
    editVersion->setValidation([this] { return Version_Validate(); });
}

CVGlobalDlg::~CVGlobalDlg()
{
    for (FieldEdit *e : {editRevLimiter, editSpeedLimiter, editVTCRelease, editVersion})
        e->setValidation({});
}

void CVGlobalDlg::UpdateData()
{
    const CVGeneralInfo &g = m_edits.tune().general();
    editRevLimiter->setText(GeneralRules::ShownText(Field::RevLimiter, g.RevLimiter()));
    editSpeedLimiter->setText(GeneralRules::ShownText(Field::SpeedLimiter, g.SpeedLimiter()));
    editVTCRelease->setText(GeneralRules::ShownText(Field::VTCRelease, g.VTCRelease()));
    editVersion->setText(GeneralRules::ShownVersion(g.Version()));
}

bool CVGlobalDlg::RevLimiter_Validate()
{
    return validateNumeric(editRevLimiter, Field::RevLimiter);
}

bool CVGlobalDlg::SpeedLimiter_Validate()
{
    return validateNumeric(editSpeedLimiter, Field::SpeedLimiter);
}

bool CVGlobalDlg::VTCRelease_Validate()
{
    return validateNumeric(editVTCRelease, Field::VTCRelease);
}

bool CVGlobalDlg::validateNumeric(FieldEdit *edit, Field field)
{
    const GeneralRules::FieldRule &rule = GeneralRules::RuleOf(field);
    const std::optional<double> value =
        ValidateNumericRange(m_messages, window(), edit->text(), rule.low, rule.high, rule.allowSignAndPoint);
    if (!value)
        return false;
    // The box shows what is stored, also while a real-time write runs.
    const int raw = GeneralRules::RawFromValue(field, *value);
    edit->setText(GeneralRules::ShownText(field, raw));
    m_edits.ChangeValue(rule.item, 0, raw);
    return true;
}

bool CVGlobalDlg::Version_Validate()
{
    m_edits.ChangeVersion(GeneralRules::PaddedVersion(editVersion->text()));
    return true; // the version box never keeps the focus
}
