// Time to load the preferences when they hold many DAQ inputs: the store
// opened and every input read, as at start-up and in `vantrelle-cli sample`.
//
// Target: 5000 inputs load in under a second; the time grows in step with
// the number of inputs (250, 1000 and 5000 are timed), never with its square.

#include "daq/DaqSettings.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr double TargetSecondsFor5000 = 1.0;

// A preferences file as the DAQ setup panel writes it, one sub-key of
// section LabJack per input.
bool WritePreferences(const QString &path, int inputs)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = "[LabJack]\n";
    for (int i = 0; i < inputs; ++i) {
        const QByteArray name = "Input" + QByteArray::number(i) + '\\';
        for (const char *line : {"Correction=0", "Input=3", "InputType=0", "Gain=0", "ScalingFormula=V * 2",
                                 "ThresholdsEnabled=1", "WarningThreshold=50",
                                 "WarningThresholdColor=1", "CriticalThreshold=100", "CriticalThresholdColor=2",
                                 "NormalThresholdColor=3"})
            text += name + line + '\n';
        // Every other input enabled, so the sorted lists are built too.
        text += name + "Enabled=" + QByteArray::number(i % 2) + '\n';
    }
    return file.write(text) == text.size();
}

void BM_PreferencesLoad(benchmark::State &state)
{
    const int inputs = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantrelle.ini"));
    if (!WritePreferences(path, inputs)) {
        state.SkipWithError("preferences not written");
        return;
    }
    for (auto _ : state) {
        SettingsStore store(path);
        DaqSettings prefs(store);
        if (static_cast<int>(prefs.DAQInputs().size()) != inputs) {
            state.SkipWithError("inputs lost");
            return;
        }
    }
    // The target scaled to this many inputs: above 1 is better.
    const double target = TargetSecondsFor5000 * inputs / 5000.0;
    state.counters["vs_target"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * target, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PreferencesLoad)->Arg(250)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
