#include "daq/BenchInputs.h"

#include "daq/CVDAQInput.h"
#include "daq/DaqSettings.h"
#include "daq/sim/EngineModel.h"

int AddBenchInputs(DaqSettings &prefs)
{
    const DAQInputList &inputs = prefs.DAQInputs();
    if (inputs.size() != 1 || !inputs.front()->IsMAS())
        return 0;
    struct Bench
    {
        const char *name;
        qint32 channel;
        qint32 type;
        const char *formula;
        bool thresholds;
        float warning;
        float critical;
    };
    const Bench bench[] = {
        {"TPS", 1, CVDAQInput::SingleEnded, "(V-0.5)*25", false, 0, 0},
        {"O2", 2, CVDAQInput::SingleEnded, "", true, 0.5f, 0.9f},
        {"Coolant", 3, CVDAQInput::SingleEnded, "125-V*29.2", true, 95, 105},
        {"EGT", 4, CVDAQInput::SingleEnded, "V*250", true, 850, 950},
        {"Battery", 5, CVDAQInput::SingleEnded, "V*4", false, 0, 0},
        {"AFR", EngineModel::WidebandChannel, CVDAQInput::SingleEnded, "10+V*2", false, 0, 0},
        {"Launch", 0, CVDAQInput::Digital, "", false, 0, 0},
        {"Brake", 1, CVDAQInput::Digital, "", false, 0, 0},
    };
    int added = 0;
    for (const Bench &b : bench)
        if (prefs.AddDAQInput(DAQInputRecord{.name = QString::fromLatin1(b.name),
                                             .channel = b.channel,
                                             .inputType = b.type,
                                             .scalingFormula = QString::fromLatin1(b.formula),
                                             .thresholdsEnabled = b.thresholds,
                                             .warningThreshold = b.warning,
                                             .criticalThreshold = b.critical}))
            ++added;
    return added;
}
