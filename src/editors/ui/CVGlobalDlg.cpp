#include "editors/ui/CVGlobalDlg.h"

#include "editors/EditSession.h"
#include "editors/NumericInput.h"
#include "editors/ValidateNumericRange.h"
#include "editors/ui/FieldEdit.h"
#include "platform/Rounding.h"
#include "model/Tune.h"

#include <QGridLayout>
#include <QLabel>

namespace {

constexpr double MphPerUnit = 1.24;

int R(double x)
{
    return static_cast<int>(vnt::RoundHalfEven(x));
}

QString rpmText(int raw)
{
    return QString::number(raw * 50);
}

QString mphText(int raw)
{
    return NumericInput::PlainNumberText(raw * MphPerUnit);
}

// The version without its leading and trailing blanks (other characters,
// such as the zero bytes of an erased image, are kept).
QString withoutBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

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
    editRevLimiter->setText(rpmText(g.RevLimiter()));
    editSpeedLimiter->setText(mphText(g.SpeedLimiter()));
    editVTCRelease->setText(rpmText(g.VTCRelease()));
    editVersion->setText(withoutBlanks(g.Version()));
}

CVGlobalDlg::NumericField CVGlobalDlg::revLimiterField()
{
    return {editRevLimiter, 50, 12750, false, 11, [](double v) { return R(v / 50); }, rpmText};
}

CVGlobalDlg::NumericField CVGlobalDlg::speedLimiterField()
{
    return {editSpeedLimiter, 1.24, 316.2, true, 12, [](double v) { return R(v / MphPerUnit); }, mphText};
}

CVGlobalDlg::NumericField CVGlobalDlg::vtcReleaseField()
{
    return {editVTCRelease, 50, 12750, false, 16, [](double v) { return R(v / 50); }, rpmText};
}

bool CVGlobalDlg::RevLimiter_Validate()
{
    return validateNumeric(revLimiterField());
}

bool CVGlobalDlg::SpeedLimiter_Validate()
{
    return validateNumeric(speedLimiterField());
}

bool CVGlobalDlg::VTCRelease_Validate()
{
    return validateNumeric(vtcReleaseField());
}

bool CVGlobalDlg::validateNumeric(const NumericField &field)
{
    const std::optional<double> value = ValidateNumericRange(
        m_messages, window(), field.edit->text(), field.low, field.high, field.allowSignAndPoint);
    if (!value)
        return false;
    // The box shows what is stored, also while a real-time write runs.
    const int raw = field.toRaw(*value);
    field.edit->setText(field.toText(raw));
    m_edits.ChangeValue(field.item, 0, raw);
    return true;
}

bool CVGlobalDlg::Version_Validate()
{
    QString text = editVersion->text().left(5);
    if (text.size() < 5)
        text.prepend(QString(5 - text.size(), QLatin1Char(' ')));
    m_edits.ChangeVersion(text);
    return true; // the version box never keeps the focus
}
