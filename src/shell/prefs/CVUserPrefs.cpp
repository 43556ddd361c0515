#include "shell/prefs/CVUserPrefs.h"

#include "daq/GeneralText.h"
#include "shell/prefs/PrefKeys.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>

namespace {

// One stored scalar: where it lives, and the member that holds it. Integers
// carry the range a stored value must fall in to be taken; anything else
// (unreadable, not a number, out of range) leaves the default in place.
struct ScalarSetting
{
    const char *section;
    const char *key;
    std::variant<int CVUserPrefs::*, bool CVUserPrefs::*, QString CVUserPrefs::*> member;
    int min = std::numeric_limits<int>::min();
    int max = std::numeric_limits<int>::max();
};

} // namespace

// The stored scalars in the order they are loaded and saved. A friend of
// CVUserPrefs, so the table may name its private members.
struct CVUserPrefsTable
{
    static const std::vector<ScalarSetting> &settings()
    {
        using namespace PrefKeys;
        using P = CVUserPrefs;
        static const std::vector<ScalarSetting> table{
            {SettingsSection, MainLeft, &P::m_wndLeftPos},
            {SettingsSection, MainTop, &P::m_wndTopPos},
            {SettingsSection, MainWidth, &P::m_wndWidth},
            {SettingsSection, MainHeight, &P::m_wndHeight},
            {SettingsSection, SplitterX, &P::m_splitterX},
            {SettingsSection, COMPort, &P::m_comPort, 1, 8},
            {SettingsSection, PortName, &P::m_portName},
            {SettingsSection, ShowRTWarning, &P::m_showRTWarning},
            {SettingsSection, ShowEULADialog, &P::m_showEULADialog},
            {SettingsSection, HighlightMode, &P::m_highlightMode},
            {SettingsSection, DataLogFormat, &P::m_dataLogFormat},
            {LabJackSection, SampleRate, &P::m_daqSampleRate, 25, 2500},
            {LabJackSection, RPMMultiplier, &P::m_daqRPMMultiplier},
            {SettingsSection, GridFontName, &P::m_gridFontName},
            {SettingsSection, GridFontSize, &P::m_gridFontSize, 1, 999},
            {SettingsSection, GridFontBold, &P::m_gridFontBold},
            {SettingsSection, GridFontItalic, &P::m_gridFontItalic},
            {SettingsSection, StagedRevLimiterEnabled, &P::m_stagedRevLimiterEnabled},
            {SettingsSection, StagedRevLimiter, &P::m_stagedRevLimiter, 1, 255},
            {SettingsSection, StagedRevLimiterInput, &P::m_stagedRevLimiterInput},
            {LabJackSection, DAQDriverLibrary, &P::m_daqDriverLibrary},
            {LabJackSection, SimulatedDAQ, &P::m_simulatedDAQ},
        };
        return table;
    }
};

CVUserPrefs::CVUserPrefs(SettingsStore &store) : m_store(store)
{
    load();
}

CVUserPrefs::~CVUserPrefs()
{
    Save();
}

void CVUserPrefs::load()
{
    for (const ScalarSetting &s : CVUserPrefsTable::settings()) {
        QString text;
        if (m_store.ReadText(QLatin1String(s.section), QLatin1String(s.key), text) != SettingsStore::Ok)
            continue;
        if (auto intMember = std::get_if<int CVUserPrefs::*>(&s.member)) {
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            if (ok && v >= s.min && v <= s.max)
                this->*(*intMember) = v;
        } else if (auto boolMember = std::get_if<bool CVUserPrefs::*>(&s.member)) {
            if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                this->*(*boolMember) = true;
            else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                this->*(*boolMember) = false;
        } else {
            this->*std::get<QString CVUserPrefs::*>(s.member) = text;
        }
    }
    loadDAQInputs();
}

void CVUserPrefs::Save()
{
    for (const ScalarSetting &s : CVUserPrefsTable::settings()) {
        QString text;
        if (auto intMember = std::get_if<int CVUserPrefs::*>(&s.member))
            text = QString::number(this->*(*intMember));
        else if (auto boolMember = std::get_if<bool CVUserPrefs::*>(&s.member))
            text = this->*(*boolMember) ? QStringLiteral("True") : QStringLiteral("False");
        else
            text = this->*std::get<QString CVUserPrefs::*>(s.member);
        m_store.WriteText(QLatin1String(s.section), QLatin1String(s.key), text);
    }
    m_store.Flush();
}

// ---- DAQ inputs -------------------------------------------------------------

namespace {

QString labJack()
{
    return QLatin1String(PrefKeys::LabJackSection);
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

CVDAQInput *CVUserPrefs::FindDAQInput(const QString &name) const
{
    for (const auto &input : m_daqInputs)
        if (input->Name() == name)
            return input.get();
    return nullptr;
}

QString CVUserPrefs::DAQInputRefusal(const QString &oldName, const QString &newName, qint32 inputType,
                                     bool enabled) const
{
    if (newName.isEmpty())
        return QStringLiteral("Please enter a name for this input");
    // The store keeps each input as a sub-key named by it; these characters
    // would split the name into nested keys and lose the input at the next
    // start.
    if (newName.contains(QLatin1Char('/')) || newName.contains(QLatin1Char('\\')))
        return QStringLiteral("The name cannot be a numeric value, or contain the following characters "
                              "\\ / : * ? \" < > |");
    if (enabled && inputType != CVDAQInput::Digital) {
        int analog = 0;
        for (const auto &input : m_daqInputs)
            if (input->Enabled() && input->IsAnalog() && !(!oldName.isEmpty() && input->Name() == oldName))
                ++analog;
        if (analog >= MaxEnabledAnalogInputs)
            return QStringLiteral("No more than %1 analog inputs can be enabled at a time.  "
                                  "Disable another analog input first.")
                .arg(MaxEnabledAnalogInputs);
    }
    return QString();
}

bool CVUserPrefs::writeDAQInput(const QString &name, double correction, const CVDAQInput &in)
{
    using namespace PrefKeys::DAQInputKeys;
    const QString path = labJack() + QLatin1Char('/') + name;
    const auto text = [&](const char *value, const QString &t) {
        return m_store.WriteText(path, key(value), t) == SettingsStore::Ok;
    };
    const auto number = [&](const char *value, qint64 n) {
        return m_store.WriteLong(path, key(value), static_cast<qint32>(n)) == SettingsStore::Ok;
    };
    const bool ok = text(Correction, QString::number(correction, 'g', 15))
        && number(Input, in.DAQInput())
        && number(InputType, in.InputType())
        && number(Gain, in.Gain())
        && text(ScalingFormula, in.ScalingFormula())
        && text(Enabled, in.Enabled() ? QStringLiteral("1") : QStringLiteral("0"))
        && number(ThresholdsEnabled, in.ThresholdsEnabled() ? 1 : 0)
        && text(WarningThreshold, vnt::GeneralText(in.WarningThreshold()))
        && number(WarningThresholdColor, in.WarningThresholdColor())
        && text(CriticalThreshold, vnt::GeneralText(in.CriticalThreshold()))
        && number(CriticalThresholdColor, in.CriticalThresholdColor())
        && number(NormalThresholdColor, in.NormalThresholdColor());
    // On disk at once: input changes survive a killed process.
    return m_store.Flush() == SettingsStore::Ok && ok;
}

bool CVUserPrefs::AddDAQInput(const QString &sInputName, qint32 lInput, qint32 eInputType, qint32 lGain,
                              double dVoltageCorrection, const QString &sScalingFormula, bool bEnabled,
                              bool bThresholdsEnabled, float fWarningThreshold, quint32 lWarningThresholdColor,
                              float fCriticalThreshold, quint32 lCriticalThresholdColor,
                              quint32 lNormalThresholdColor)
{
    if (!DAQInputRefusal(QString(), sInputName, eInputType, bEnabled).isEmpty())
        return false;
    auto input = std::make_shared<CVDAQInput>();
    input->SetName(sInputName);
    input->SetDAQInput(lInput);
    input->SetInputType(eInputType);
    input->SetGain(lGain);
    input->SetVoltageCorrection(static_cast<float>(dVoltageCorrection));
    input->SetScalingFormula(sScalingFormula);
    input->SetEnabled(bEnabled);
    input->SetThresholdsEnabled(bThresholdsEnabled);
    input->SetWarningThreshold(fWarningThreshold);
    input->SetWarningThresholdColor(lWarningThresholdColor);
    input->SetCriticalThreshold(fCriticalThreshold);
    input->SetCriticalThresholdColor(lCriticalThresholdColor);
    input->SetNormalThresholdColor(lNormalThresholdColor);
    m_daqInputs.push_back(input);
    const bool stored = writeDAQInput(sInputName, dVoltageCorrection, *input);
    rebuildSortedLists();
    return stored;
}

void CVUserPrefs::DeleteDAQInput(const QString &name)
{
    const auto it = std::find_if(m_daqInputs.begin(), m_daqInputs.end(),
                                 [&](const auto &input) { return input->Name() == name; });
    if (it != m_daqInputs.end())
        m_daqInputs.erase(it);
    m_store.DeleteSubKey(labJack(), name);
    m_store.Flush();
    rebuildSortedLists();
}

bool CVUserPrefs::UpdateDAQInput(const QString &sOldInputName, const QString &sNewInputName, qint32 lInput,
                                 qint32 eInputType, qint32 lGain, double dVoltageCorrection,
                                 const QString &sScalingFormula, bool bEnabled, bool bThresholdsEnabled,
                                 float fWarningThreshold, quint32 lWarningThresholdColor,
                                 float fCriticalThreshold, quint32 lCriticalThresholdColor,
                                 quint32 lNormalThresholdColor)
{
    // Checked before the old input goes, so a refused update loses nothing.
    if (!DAQInputRefusal(sOldInputName, sNewInputName, eInputType, bEnabled).isEmpty())
        return false;
    DeleteDAQInput(sOldInputName);
    return AddDAQInput(sNewInputName, lInput, eInputType, lGain, dVoltageCorrection, sScalingFormula, bEnabled,
                       bThresholdsEnabled, fWarningThreshold, lWarningThresholdColor, fCriticalThreshold,
                       lCriticalThresholdColor, lNormalThresholdColor);
}

int CVUserPrefs::GetNumEnabledInputs() const
{
    return static_cast<int>(
        std::count_if(m_daqInputs.begin(), m_daqInputs.end(), [](const auto &input) { return input->Enabled(); }));
}

void CVUserPrefs::rebuildSortedLists()
{
    const auto insertSorted = [](DAQInputList &list, const std::shared_ptr<CVDAQInput> &input) {
        const auto before = std::find_if(list.begin(), list.end(),
                                         [&](const auto &e) { return e->DAQInput() > input->DAQInput(); });
        list.insert(before, input);
    };
    DAQInputList analog;
    DAQInputList digital;
    for (const auto &input : m_daqInputs)
        if (input->Enabled() && input->InputType() != CVDAQInput::Digital)
            insertSorted(analog, input);
    for (const auto &input : m_daqInputs)
        if (input->Enabled() && input->InputType() == CVDAQInput::Digital)
            insertSorted(digital, input);
    m_sortedAnalog = std::move(analog);
    m_sortedDigital = std::move(digital);
}

void CVUserPrefs::loadDAQInputs()
{
    QStringList names;
    if (m_store.EnumerateSubKeys(labJack(), names) != SettingsStore::Ok || names.isEmpty()) {
        AddDAQInput(CVDAQInput::MASName(), 0, CVDAQInput::SingleEnded, 0, 0.0, QString(), true, false, 0.0f,
                    CVDAQInput::DefaultWarningColor, 0.0f, CVDAQInput::DefaultCriticalColor,
                    CVDAQInput::DefaultNormalColor);
        return;
    }

    using namespace PrefKeys::DAQInputKeys;
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
        m_daqInputs.push_back(std::move(input));
    }
    rebuildSortedLists();
}
