#include "daq/DAQSetupRules.h"

#include "daq/CVDAQInput.h"
#include "daq/CVScalingCalculator.h"

namespace DAQSetupRules {

QStringList GainItems()
{
    return {"1 (+/- 20v)", "2 (+/- 10v)",   "4 (+/- 5v)",     "5 (+/- 4v)",
            "8 (+/- 8v)",  "10 (+/- 2.5v)", "16 (+/- 1.25v)", "20 (+/- 1 v)"};
}

QStringList TypeItems()
{
    return {CVDAQInput::TypeName(CVDAQInput::SingleEnded), CVDAQInput::TypeName(CVDAQInput::Differential),
            CVDAQInput::TypeName(CVDAQInput::Digital)};
}

QStringList ChannelItems(qint32 inputType)
{
    int count = 8;
    if (inputType == CVDAQInput::Differential)
        count = 4;
    else if (inputType == CVDAQInput::Digital)
        count = 20;
    QStringList items;
    for (int channel = 0; channel < count; ++channel)
        items << CVDAQInput::ChannelName(inputType, channel);
    return items;
}

bool ChannelsConflict(qint32 typeA, qint32 channelA, qint32 typeB, qint32 channelB)
{
    if (typeA == typeB)
        return channelA == channelB;
    if (typeA == CVDAQInput::Digital || typeB == CVDAQInput::Digital)
        return false;
    // One single-ended, one differential.
    const qint32 single = typeA == CVDAQInput::SingleEnded ? channelA : channelB;
    const qint32 pair = typeA == CVDAQInput::Differential ? channelA : channelB;
    return single == 2 * pair || single == 2 * pair + 1;
}

QString ConflictingInput(const DAQInputList &inputs, const QString &oldName, qint32 inputType, qint32 channel)
{
    for (const auto &input : inputs) {
        if (!oldName.isEmpty() && input->Name() == oldName)
            continue;
        if (ChannelsConflict(inputType, channel, input->InputType(), input->DAQInput()))
            return input->Name();
    }
    return QString();
}

bool IsForbiddenName(const QString &name)
{
    for (QChar c : QStringLiteral("\\/:*?\"<>|"))
        if (name.contains(c))
            return true;
    bool numeric = false;
    name.trimmed().toDouble(&numeric);
    return numeric;
}

std::optional<Refusal> CheckInput(const DaqSettings &settings, CVScalingCalculator &calculator,
                                  const QString &oldName, const DAQInputRecord &input)
{
    const bool adding = oldName.isEmpty();
    const QString &name = input.name;
    const auto info = [](const QString &message) { return Refusal{message, false, false}; };
    if (name.isEmpty())
        return info(NameMissing);
    if ((adding || name != oldName) && settings.FindDAQInput(name))
        return info(NameTaken);
    const QString other = ConflictingInput(settings.DAQInputs(), oldName, input.inputType, input.channel);
    if (!other.isEmpty())
        return info(QString::fromUtf8(ChannelInUse) + other + QLatin1Char('\''));
    if (IsForbiddenName(name))
        return info(NameForbidden);
    if (input.thresholdsEnabled && !(input.criticalThreshold > input.warningThreshold))
        return info(ThresholdOrder);
    if (!input.scalingFormula.isEmpty()) {
        const FormulaResult result = calculator.ComputeFormula(input.scalingFormula, 0.0f);
        if (!result.ok())
            return Refusal{result.error.message, false, true};
    }
    if (!adding) {
        if (oldName == CVDAQInput::MASName() && name != oldName)
            return info(MASRename);
        if (settings.StagedRevLimiterEnabled() && oldName == settings.StagedRevLimiterInput()) {
            if (input.inputType != CVDAQInput::Digital)
                return Refusal{StagedType, true, false};
            if (!input.enabled)
                return Refusal{StagedDisable, true, false};
        }
    }
    // A ninth enabled analog input, among others the store cannot hold.
    if (const QString refusal = settings.DAQInputRefusal(oldName, input); !refusal.isEmpty())
        return info(refusal);
    return std::nullopt;
}

bool StoreInput(DaqSettings &settings, const QString &oldName, const DAQInputRecord &input)
{
    if (oldName.isEmpty()) {
        // A failed store write still leaves the input in memory: it is there.
        return settings.AddDAQInput(input) || settings.FindDAQInput(input.name);
    }
    const bool stagedInput = settings.StagedRevLimiterEnabled() && oldName == settings.StagedRevLimiterInput();
    if (!settings.UpdateDAQInput(oldName, input) && !settings.FindDAQInput(input.name))
        return false;
    if (stagedInput)
        settings.SetStagedRevLimiterInput(input.name);
    return true;
}

} // namespace DAQSetupRules
