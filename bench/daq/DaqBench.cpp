// Speed of the data-acquisition core: formula evaluations per second, and
// the CPU time of one full acquisition tick.
//
// Targets: at least 500,000 evaluations of a typical 30-character formula
// per second; a tick with 8 analog inputs with formulas, 12 digital inputs,
// trace and log under 0.3 ms of CPU (the 25 ms shortest period then costs
// under 1.5 % of one core). Each benchmark reports its figure against the
// target as a ratio ("vs_target" above 1 is better than the target).

#include "daq/CVAcquisitionLoop.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/CVScalingCalculator.h"
#include "daq/TraceTargets.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "model/Rounding.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "shell/prefs/CVUserPrefs.h"

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

class NoBox : public RealTimeSender
{
public:
    void SendRealTimeValue(int, int, int) override {}
    void SendRealTimeVersion(const QString &) override {}
};

// Does what the grid panel's trace does to the model: locate the cell on
// the axis maps and take its value.
class ModelTrace : public TraceTargets
{
public:
    explicit ModelTrace(Tune &tune) : m_tune(tune) {}
    void TraceCell(int panel, int rpm, int tp) override
    {
        const bool timing = panel == 11;
        CVMapInfo &map = m_tune.map(panel == 7 ? MapKey::HOFM : panel == 8 ? MapKey::HOHGFM : MapKey::HOTM);
        const int rpmAxisValue = static_cast<int>(vnt::RoundHalfEven(rpm / 50.0));
        const int row = m_tune.map(timing ? MapKey::TIMINGRPM : MapKey::FUELRPM).FindClosestMapIndex(rpmAxisValue);
        const int col = m_tune.map(timing ? MapKey::TIMINGTP : MapKey::FUELTP).FindClosestMapIndex(tp);
        map.SetLastRPMIndex(row);
        map.SetLastTPIndex(col);
        map.SetLastAccessedValue(map.MapValue(row * 16 + col));
    }
    void TraceCellRPM(int, int rpm) override { benchmark::DoNotOptimize(rpm); }
    void TraceCellVoltage(int, float volts) override { benchmark::DoNotOptimize(volts); }

private:
    Tune &m_tune;
};

void BM_FullTick(benchmark::State &state)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    CVUserPrefs prefs(store);
    // "MAS" plus seven analog inputs with formulas, twelve digital inputs.
    for (int ch = 1; ch < 8; ++ch)
        prefs.AddDAQInput(QStringLiteral("Sensor%1").arg(ch), ch, CVDAQInput::SingleEnded, 0, 0.0,
                          QStringLiteral("(V - 0.5) * 125 / 4 + %1.5 * V").arg(ch), true, true, 50.0f, 1, 100.0f, 2, 3);
    for (int line = 0; line < 12; ++line)
        prefs.AddDAQInput(QStringLiteral("Switch%1").arg(line), line < 8 ? line : line + 8, CVDAQInput::Digital, 0,
                          0.0, QString(), true, false, 0.0f, 0, 0.0f, 0, 0);
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
    NoBox box;
    CVAcquisitionLoop loop(daq, prefs, program, box);
    ModelTrace trace(program.tune);
    NoMessages messages;
    NoFiles files;
    CVRTLogger logger(prefs, messages, files, dir.filePath("logs"));
    if (!logger.CreateNewLogFile()) {
        state.SkipWithError("no log file");
        return;
    }
    loop.SetTraceTargets(&trace);
    loop.SetLogSink(&logger);

    for (auto _ : state) {
        const TickOutcome out = loop.Tick();
        benchmark::DoNotOptimize(out.rpm);
    }
    state.counters["vs_target"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * TargetTickSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullTick)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
