// The simulated engine answers the tune. Read as the application reads it
// (bench inputs, acquisition tick, trace), the dyno holds each open-loop
// cell for its time, and the wideband finds the target ratio on a right
// tune, the planted factor on a wrong one, and the target again once the
// tuner has corrected the cells from what it read. The sensor's heater phase
// and transport delay are measured on its output.

#include "analysis/FuelCorrection.h"
#include "daq/AcquisitionLoop.h"
#include "daq/BenchInputs.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqDriverFactory.h"
#include "daq/DaqSettings.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "link/LinkSession.h"
#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/TraceMarks.h"
#include "model/Tune.h"
#include "model/Units.h"
#include "platform/SettingsStore.h"
#include "support/NullSender.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <numeric>

namespace {

constexpr MapKey Fuel = EngineFuelling::FuelMap;
constexpr auto Dyno = EngineSimulation::Drive::Dyno;

Tune stockTune()
{
    Tune tune;
    const StockImageResult stock = LoadStockImage(SimulatedEngineStockProgram);
    EXPECT_EQ(stock.status, StockImageResult::Ok);
    TuneFromImage(stock.image, tune);
    return tune;
}

struct Bench
{
    explicit Bench(const EngineSimulation &sim)
        : store(dir.filePath("Vantrelle.ini")), prefs(store), tune(stockTune()),
          driver(CreateDaqDriver(prefs, true, sim, &tune)), daq(*driver, prefs, tune, calc),
          loop(daq, prefs, tune, marks, link, sender)
    {
        AddBenchInputs(prefs);
        prefs.SetDAQRPMMultiplier(10); // a fine tachometer: the trace sees the cell the dyno holds
    }
    EngineModel &engine() { return dynamic_cast<SimulatedU12Driver &>(*driver).engine(); }

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    Tune tune;
    std::unique_ptr<DaqDriver> driver;
    CVScalingCalculator calc;
    CVDataAcquisition daq;
    TraceMarks marks;
    LinkSession link;
    NullSender sender;
    AcquisitionLoop loop;
};

// The cells of the next whole dyno sweep the ticks stayed in for 1.5 s or
// more, with the wideband's ratio at each tick (100 ms apart).
std::map<int, std::vector<double>> sweep(Bench &bench)
{
    std::map<int, std::vector<double>> held;
    std::vector<double> run;
    int cell = -1;
    bool swept = false;
    do {
        const AcquisitionSample s = bench.loop.Tick();
        swept = swept || bench.engine().CurrentPhase() == EngineModel::Phase::Hold;
        const int entry = s.cellOf(Fuel)->rpmIndex * 16 + s.cellOf(Fuel)->tpIndex;
        if (entry != cell && run.size() >= 15)
            held[cell] = run;
        if (entry != cell || !swept)
            run.clear();
        cell = entry;
        run.push_back(std::find_if(s.inputs.begin(), s.inputs.end(), [](const auto &in) { return in.name == "AFR"; })->value);
    } while (!swept || bench.engine().CurrentPhase() == EngineModel::Phase::Hold);
    if (run.size() >= 15)
        held[cell] = run;
    return held;
}

// The ratio over a run's last second, the sensor settled.
double settled(const std::vector<double> &run)
{
    return std::accumulate(run.end() - 10, run.end(), 0.0) / 10;
}

} // namespace

TEST(SimulatedEngineTest, TheDynoHoldsEachOpenLoopCellAndTheWidebandFindsTheTargetTimesThePlantedFactor)
{
    const FuelCorrection::TargetTable targets = FuelCorrection::TargetTable::Defaults();
    for (const double error : {0.0, 12.0}) {
        SCOPED_TRACE(error);
        Bench bench({.drive = Dyno, .fuelErrorPercent = error, .seed = 7});
        const CVMapInfo &map = bench.tune.map(Fuel);
        const auto held = sweep(bench);
        // Between idle and the shift speed, at loads the engine fills at any
        // speed, no open-loop cell is missed.
        for (int entry = 0; entry < 256; ++entry) {
            const int rpm = Units::RpmOf(bench.tune.map(MapKey::FUELRPM).MapValue(entry / 16));
            const int tp = bench.tune.map(MapKey::FUELTP).MapValue(entry % 16);
            EXPECT_TRUE(map.MapValue(entry) >= 128 || rpm < 900 || tp < 36 || tp > 96 || held.count(entry)) << entry;
        }
        double largest = 0;
        for (const auto &[entry, run] : held) {
            const double target = targets.afr[static_cast<std::size_t>(entry)];
            const double planted = bench.engine().fuelling().PlantedFactor(entry / 16, entry % 16);
            EXPECT_TRUE(map.MapValue(entry) < 128 && run.size() * 100.0 >= EngineModel::DynoHoldTime) << entry;
            EXPECT_NEAR(settled(run), target * planted, 0.004 * target) << entry;
            largest = std::max(largest, std::fabs(settled(run) / target - 1));
        }
        // Measured, not taken from the model: the error is there to find.
        EXPECT_GE(largest, error / 100 / 2);
        if (error == 0)
            continue;
        // The tuner corrects each cell from what the sensor read; the next
        // sweep burns the targets.
        for (const auto &[entry, run] : held)
            bench.tune.map(Fuel).SetMapValue(entry, FuelCorrection::CorrectedEnrichment(
                                                        map.MapValue(entry), settled(run), targets.afr[entry]));
        for (const auto &[entry, run] : sweep(bench))
            EXPECT_NEAR(settled(run), targets.afr[static_cast<std::size_t>(entry)], 0.006 * targets.afr[entry]);
    }
}

TEST(SimulatedEngineTest, TheWidebandReadsZeroWhileHeatingAndAnswersAThrottleStepAfterTheTransportDelay)
{
    // Every open-loop cell 30 % rich: the dyno's step from idle's closed loop
    // onto its first cell is a step of the ratio, about 14.7 to 11.3.
    Tune rich = stockTune();
    for (int i = 0; i < 256; ++i)
        if (const int raw = rich.map(Fuel).MapValue(i); raw < 128)
            rich.map(Fuel).SetMapValue(i, std::min(127, (100 + raw) * 13 / 10 - 100));
    // From the throttle opening (AI1 above 1 V) to the wideband below 1.5 V.
    const auto response = [&](int delayMs) {
        EngineModel engine({.drive = Dyno, .o2DelayMs = delayMs}, &rich, stockTune());
        double opened = -1;
        while (engine.TimeMs() < 20000) {
            engine.Advance(2);
            const double t = engine.TimeMs();
            const double afrVolts = engine.ChannelVoltage(EngineModel::WidebandChannel);
            if (t < 7990) {
                EXPECT_EQ(afrVolts, 0.0) << t;
            } else if (t > 8020 && t < 9000) {
                EXPECT_NEAR(afrVolts, 2.35, 0.15) << "stoichiometric at idle once heated, " << t;
            }
            if (opened < 0 && engine.ChannelVoltage(1) > 1.0)
                opened = t;
            if (opened >= 0 && afrVolts < 1.5)
                return t - opened;
        }
        return -1.0;
    };
    const double undelayed = response(0);
    ASSERT_GT(undelayed, 0);
    for (const int delay : {150, 400, 1000}) {
        SCOPED_TRACE(delay);
        EXPECT_NEAR(response(delay) - undelayed, delay, 4);
    }
}
