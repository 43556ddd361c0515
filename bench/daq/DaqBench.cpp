// Speed of the data-acquisition core: formula evaluations per second, and
// the CPU time of one full acquisition tick.
//
// Targets: at least 500,000 evaluations of a typical 30-character formula
// per second; a tick with 8 analog inputs with formulas, 12 digital inputs,
// trace and log under 0.3 ms of CPU (the 25 ms shortest period then costs
// under 1.5 % of one core). Each benchmark reports its figure against the
// target as a ratio ("vs_target" above 1 is better than the target).

#include "daq/AcquisitionLoop.h"
#include "link/LinkSession.h"
#include "model/TraceMarks.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/CVScalingCalculator.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "support/NullSender.h"
#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr double TargetEvaluationsPerSecond = 500000.0;
constexpr double TargetTickSeconds = 0.3e-3;

// 30 characters, the shape of a real sensor formula.
const QString TypicalFormula = QStringLiteral("(V - 0.5) * 125 / 4 + 32.5 * V");

void BM_FormulaEvaluation(benchmark::State &state)
{
    CVScalingCalculator calc;
    float v = 0.5f;
    for (auto _ : state) {
        const FormulaResult r = calc.ComputeFormula(TypicalFormula, v);
        benchmark::DoNotOptimize(r.value);
        v += 0.001f;
        if (v > 5.0f)
            v = 0.5f;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["vs_target"] = benchmark::Counter(static_cast<double>(state.iterations()) / TargetEvaluationsPerSecond,
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormulaEvaluation);

class NoMessages : public MessageBoxService
{
public:
    MsgAnswer show(QWidget *, const QString &, MsgIcon, MsgButtons) override { return MsgAnswer::No; }
};

class NoFiles : public FileDialogService
{
public:
    QString openFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

void BM_FullTick(benchmark::State &state)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    DaqSettings prefs(store);
    // "MAS" plus seven analog inputs with formulas, twelve digital inputs.
    for (int ch = 1; ch < 8; ++ch)
        prefs.AddDAQInput(DAQInputRecord{.name = QStringLiteral("Sensor%1").arg(ch),
                                         .channel = ch,
                                         .scalingFormula = QStringLiteral("(V - 0.5) * 125 / 4 + %1.5 * V").arg(ch),
                                         .thresholdsEnabled = true,
                                         .warningThreshold = 50.0f,
                                         .warningThresholdColor = 1,
                                         .criticalThreshold = 100.0f,
                                         .criticalThresholdColor = 2,
                                         .normalThresholdColor = 3});
    for (int line = 0; line < 12; ++line)
        prefs.AddDAQInput(DAQInputRecord{.name = QStringLiteral("Switch%1").arg(line),
                                         .channel = line < 8 ? line : line + 8,
                                         .inputType = CVDAQInput::Digital});
    prefs.SetStagedRevLimiterEnabled(true);
    prefs.SetStagedRevLimiter(140);
    prefs.SetStagedRevLimiterInput(QStringLiteral("Switch0"));

    ProgramState program;
    program.tune.general().SetInjectorK(400);
    program.tune.general().SetRevLimiter(150);
    for (int i = 0; i < 16; ++i) {
        program.tune.map(MapKey::FUELRPM).SetMapValue(i, 10 + i * 9);
        program.tune.map(MapKey::TIMINGRPM).SetMapValue(i, 10 + i * 9);
        program.tune.map(MapKey::FUELTP).SetMapValue(i, 12 + i * 12);
        program.tune.map(MapKey::TIMINGTP).SetMapValue(i, 8 + i * 12);
    }

    SimulatedU12Driver driver(&prefs, 1);
    CVScalingCalculator calc;
    CVDataAcquisition daq(driver, prefs, program.tune, calc);
    NullSender box;
    TraceMarks marks;
    LinkSession link;
    AcquisitionLoop loop(daq, prefs, program.tune, marks, link, box);
    NoMessages messages;
    NoFiles files;
    CVRTLogger logger(prefs, messages, files, dir.filePath("logs"));
    if (!logger.CreateNewLogFile()) {
        state.SkipWithError("no log file");
        return;
    }
    loop.SetLogSink(&logger);

    for (auto _ : state) {
        const AcquisitionSample out = loop.Tick();
        benchmark::DoNotOptimize(out.rpm);
    }
    state.counters["vs_target"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * TargetTickSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullTick)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
