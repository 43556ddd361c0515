#include "daq/DaqSettings.h"

#include "daq/GeneralText.h"
#include "platform/SettingsFields.h"
#include "platform/SettingsStore.h"

#include <algorithm>
#include <cmath>

namespace {

// The values of one input's sub-key below section LabJack, in the order
// they are written.
namespace InputKeys {
inline constexpr const char *Correction = "Correction";                         // text
inline constexpr const char *Input = "Input";                                   // number
inline constexpr const char *InputType = "InputType";                           // number
inline constexpr const char *Gain = "Gain";                                     // number
inline constexpr const char *ScalingFormula = "ScalingFormula";                 // text
inline constexpr const char *Enabled = "Enabled";                               // text "1" / "0"
inline constexpr const char *ThresholdsEnabled = "ThresholdsEnabled";           // number 1 / 0
inline constexpr const char *WarningThreshold = "WarningThreshold";             // text
inline constexpr const char *WarningThresholdColor = "WarningThresholdColor";   // number
inline constexpr const char *CriticalThreshold = "CriticalThreshold";           // text
inline constexpr const char *CriticalThresholdColor = "CriticalThresholdColor"; // number
inline constexpr const char *NormalThresholdColor = "NormalThresholdColor";     // number
} // namespace InputKeys

QString labJack()
{
    return QLatin1String(DaqKeys::LabJackSection);
}

QString key(const char *name)
{
    return QLatin1String(name);
}

// Leading and trailing spaces (U+0020 only) removed.
QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

DAQInputRecord DAQInputRecord::Of(const CVDAQInput &in)
{
    return {in.Name(),
            in.DAQInput(),
            in.InputType(),
            in.Gain(),
            in.VoltageCorrection(),
            in.ScalingFormula(),
            in.Enabled(),
            in.ThresholdsEnabled(),
            in.WarningThreshold(),
            in.WarningThresholdColor(),
            in.CriticalThreshold(),
            in.CriticalThresholdColor(),
            in.NormalThresholdColor()};
}

std::vector<SettingsFields::Field> DaqSettings::fields()
{
    namespace K = DaqKeys;
    const char *const settings = SettingsFields::SettingsSection;
    return {
        {settings, K::HighlightMode, &m_highlightMode},
        {settings, K::DataLogFormat, &m_dataLogFormat},
        {K::LabJackSection, K::SampleRate, &m_sampleRate, MinSamplePeriodMs, MaxSamplePeriodMs},
        {K::LabJackSection, K::RPMMultiplier, &m_rpmMultiplier},
        {settings, K::StagedRevLimiterEnabled, &m_stagedEnabled},
        {settings, K::StagedRevLimiter, &m_stagedLimit, 1, 255},
        {settings, K::StagedRevLimiterInput, &m_stagedInput},
        {K::LabJackSection, K::DriverLibrary, &m_driverLibrary},
        {K::LabJackSection, K::Simulated, &m_simulated},
    };
}

int DaqSettings::SamplePeriodMs() const
{
    return std::clamp(m_sampleRate, MinSamplePeriodMs, MaxSamplePeriodMs);
}

DaqSettings::DaqSettings(SettingsStore &store) : m_store(store)
{
    SettingsFields::Load(m_store, fields());
    loadDAQInputs();
}

void DaqSettings::Save()
{
    SettingsFields::Save(m_store, fields());
}

CVDAQInput *DaqSettings::FindDAQInput(const QString &name) const
{
    for (const auto &input : m_inputs)
        if (input->Name() == name)
            return input.get();
    return nullptr;
}

QString DaqSettings::DAQInputRefusal(const QString &oldName, const DAQInputRecord &input) const
{
    if (input.name.isEmpty())
        return QStringLiteral("Please enter a name for this input");
    // The store keeps each input as a sub-key named by it; these characters
    // would split the name into nested keys and lose the input at the next
    // start.
    if (input.name.contains(QLatin1Char('/')) || input.name.contains(QLatin1Char('\\')))
        return QStringLiteral("The name cannot be a numeric value, or contain the following characters "
                              "\\ / : * ? \" < > |");
    if (input.enabled && input.inputType != CVDAQInput::Digital) {
        int analog = 0;
        for (const auto &other : m_inputs)
            if (other->Enabled() && other->IsAnalog() && !(!oldName.isEmpty() && other->Name() == oldName))
                ++analog;
        if (analog >= MaxEnabledAnalogInputs)
            return QStringLiteral("No more than %1 analog inputs can be enabled at a time.  "
                                  "Disable another analog input first.")
                .arg(MaxEnabledAnalogInputs);
    }
    return QString();
}

bool DaqSettings::writeDAQInput(const DAQInputRecord &in)
{
    using namespace InputKeys;
    const QString path = labJack() + QLatin1Char('/') + in.name;
    const auto text = [&](const char *value, const QString &t) {
        return m_store.WriteText(path, key(value), t) == SettingsStore::Ok;
    };
    const auto number = [&](const char *value, qint64 n) {
        return m_store.WriteLong(path, key(value), static_cast<qint32>(n)) == SettingsStore::Ok;
    };
    // Thresholds are written as the single-precision values kept in memory.
    const bool ok = text(Correction, QString::number(in.voltageCorrection, 'g', 15))
        && number(Input, in.channel)
        && number(InputType, in.inputType)
        && number(Gain, in.gain)
        && text(ScalingFormula, in.scalingFormula)
        && text(Enabled, in.enabled ? QStringLiteral("1") : QStringLiteral("0"))
        && number(ThresholdsEnabled, in.thresholdsEnabled ? 1 : 0)
        && text(WarningThreshold, vnt::GeneralText(in.warningThreshold))
        && number(WarningThresholdColor, in.warningThresholdColor)
        && text(CriticalThreshold, vnt::GeneralText(in.criticalThreshold))
        && number(CriticalThresholdColor, in.criticalThresholdColor)
        && number(NormalThresholdColor, in.normalThresholdColor);
    // On disk at once: input changes survive a killed process.
    return m_store.Flush() == SettingsStore::Ok && ok;
}

bool DaqSettings::AddDAQInput(const DAQInputRecord &in)
{
    if (!DAQInputRefusal(QString(), in).isEmpty())
        return false;
    auto input = std::make_shared<CVDAQInput>();
    input->SetName(in.name);
    input->SetDAQInput(in.channel);
    input->SetInputType(in.inputType);
    input->SetGain(in.gain);
    input->SetVoltageCorrection(static_cast<float>(in.voltageCorrection));
    input->SetScalingFormula(in.scalingFormula);
    input->SetEnabled(in.enabled);
    input->SetThresholdsEnabled(in.thresholdsEnabled);
    input->SetWarningThreshold(in.warningThreshold);
    input->SetWarningThresholdColor(in.warningThresholdColor);
    input->SetCriticalThreshold(in.criticalThreshold);
    input->SetCriticalThresholdColor(in.criticalThresholdColor);
    input->SetNormalThresholdColor(in.normalThresholdColor);
    m_inputs.push_back(input);
    const bool stored = writeDAQInput(in);
    rebuildSortedLists();
    return stored;
}

void DaqSettings::DeleteDAQInput(const QString &name)
{
    const auto it =
        std::find_if(m_inputs.begin(), m_inputs.end(), [&](const auto &input) { return input->Name() == name; });
    if (it != m_inputs.end())
        m_inputs.erase(it);
    m_store.DeleteSubKey(labJack(), name);
    m_store.Flush();
    rebuildSortedLists();
}

bool DaqSettings::UpdateDAQInput(const QString &oldName, const DAQInputRecord &input)
{
    // Checked before the old input goes, so a refused update loses nothing.
    if (!DAQInputRefusal(oldName, input).isEmpty())
        return false;
    DeleteDAQInput(oldName);
    return AddDAQInput(input);
}

int DaqSettings::GetNumEnabledInputs() const
{
    return static_cast<int>(
        std::count_if(m_inputs.begin(), m_inputs.end(), [](const auto &input) { return input->Enabled(); }));
}

void DaqSettings::rebuildSortedLists()
{
    // A stable sort keeps inputs on the same number in their DAQInputs
    // order, in n log n: many inputs must not cost the square of their number.
    const auto sorted = [this](bool digital) {
        DAQInputList list;
        for (const auto &input : m_inputs)
            if (input->Enabled() && (input->InputType() == CVDAQInput::Digital) == digital)
                list.push_back(input);
        std::stable_sort(list.begin(), list.end(),
                         [](const auto &a, const auto &b) { return a->DAQInput() < b->DAQInput(); });
        return list;
    };
    m_sortedAnalog = sorted(false);
    m_sortedDigital = sorted(true);
}

void DaqSettings::loadDAQInputs()
{
    QStringList names;
    if (m_store.EnumerateSubKeys(labJack(), names) != SettingsStore::Ok || names.isEmpty()) {
        DAQInputRecord mas;
        mas.name = CVDAQInput::MASName();
        AddDAQInput(mas);
        return;
    }

    using namespace InputKeys;
    for (const QString &name : names) {
        const QString path = labJack() + QLatin1Char('/') + name;
        // Anything unreadable or not a number falls back to 0.
        const auto readNumber = [&](const char *value, qint32 fallback = 0) {
            qint32 n = 0;
            return m_store.ReadLong(path, key(value), n) == SettingsStore::Ok ? n : fallback;
        };
        const auto readReal = [&](const char *value) {
            QString text;
            if (m_store.ReadText(path, key(value), text) != SettingsStore::Ok)
                return 0.0;
            bool ok = false;
            const double d = text.trimmed().toDouble(&ok);
            return ok && std::isfinite(d) ? d : 0.0;
        };

        auto input = std::make_shared<CVDAQInput>();
        input->SetName(name);
        input->SetVoltageCorrection(static_cast<float>(readReal(Correction)));
        input->SetDAQInput(readNumber(Input));
        input->SetInputType(readNumber(InputType));
        input->SetGain(readNumber(Gain));
        QString enabled;
        const bool enabledRead = m_store.ReadText(path, key(Enabled), enabled) == SettingsStore::Ok;
        input->SetEnabled(!(enabledRead && enabled == QLatin1String("0")));
        QString formula;
        m_store.ReadText(path, key(ScalingFormula), formula);
        input->SetScalingFormula(trimSpaces(formula));

        qint32 thresholds = 0;
        if (m_store.ReadLong(path, key(ThresholdsEnabled), thresholds) != SettingsStore::Ok) {
            // Written before thresholds existed.
            input->SetThresholdsEnabled(false);
            input->SetWarningThreshold(0.0f);
            input->SetCriticalThreshold(0.0f);
            input->SetWarningThresholdColor(CVDAQInput::DefaultWarningColor);
            input->SetCriticalThresholdColor(CVDAQInput::DefaultCriticalColor);
            input->SetNormalThresholdColor(CVDAQInput::DefaultNormalColor);
        } else {
            input->SetThresholdsEnabled(thresholds != 0);
            input->SetWarningThreshold(static_cast<float>(readReal(WarningThreshold)));
            input->SetCriticalThreshold(static_cast<float>(readReal(CriticalThreshold)));
            input->SetWarningThresholdColor(
                static_cast<quint32>(readNumber(WarningThresholdColor, CVDAQInput::DefaultWarningColor)));
            input->SetCriticalThresholdColor(
                static_cast<quint32>(readNumber(CriticalThresholdColor, CVDAQInput::DefaultCriticalColor)));
            input->SetNormalThresholdColor(
                static_cast<quint32>(readNumber(NormalThresholdColor, CVDAQInput::DefaultNormalColor)));
        }
        m_inputs.push_back(std::move(input));
    }
    rebuildSortedLists();
}
