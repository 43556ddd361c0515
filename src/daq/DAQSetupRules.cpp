#include "daq/DAQSetupRules.h"

#include "daq/CVDAQInput.h"

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

} // namespace DAQSetupRules
