// The acquisition tick: order of its steps, the strip it fills, thresholds,
// load and injector figures from the traced cells, and the staged rev
// limiter rule. The order of the strip's rows is checked on the widget
// (DaqUiTest).

#include "support/ScriptedDaqDriver.h"
#include "daq/AcquisitionHealth.h"
#include "daq/AcquisitionLoop.h"
#include "daq/AcquisitionThread.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DataLogSink.h"
#include "link/RealTimeSender.h"
#include "link/LinkSession.h"
#include "model/ProgramState.h"
#include "model/TraceMarks.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include "support/RecordingSender.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <future>
#include <tuple>
#include <gtest/gtest.h>

namespace {

using Journal = std::vector<std::string>;

using Send = SentValue;
constexpr TuneItem Rev = TuneItem::RevLimiter;

using LogLine = std::tuple<qint32, float, qint32, qint32, qint32, float, float>;

class RecordingLog : public DataLogSink
{
public:
    explicit RecordingLog(Journal &j) : journal(j) {}
    void LogEntry(qint32 rpm, float tp, qint32 timing, qint32 low, qint32 high, float pw, float duty,
                  const std::vector<float> &inputValues) override
    {
        journal.push_back("log");
        lines.emplace_back(rpm, tp, timing, low, high, pw, duty);
        values.push_back(inputValues);
    }
    Journal &journal;
    std::vector<LogLine> lines;
    std::vector<std::vector<float>> values;
};

class TickTest : public ::testing::Test
{
protected:
    TickTest()
        : store(dir.filePath("Vantrelle.ini")), prefs(store), daq(driver, prefs, state.tune, calc), log(journal), loop(daq, prefs, state.tune, marks, link, sender)
    {
        state.tune.general().SetInjectorK(400);
        state.tune.general().SetRevLimiter(150);
        driver.journal = &journal;
        sender.journal = [this](const std::string &line) { journal.push_back(line); };
        loop.SetLogSink(&log);
    }

    CVDAQInput &add(const QString &name, int channel, int type, const QString &formula = {})
    {
        EXPECT_TRUE(
            prefs.AddDAQInput({.name = name, .channel = channel, .inputType = type, .scalingFormula = formula}));
        return *prefs.FindDAQInput(name);
    }
    void setThresholds(const QString &name, float warning, float critical)
    {
        CVDAQInput *in = prefs.FindDAQInput(name);
        in->SetThresholdsEnabled(true);
        in->SetWarningThreshold(warning);
        in->SetCriticalThreshold(critical);
        in->SetNormalThresholdColor(Normal);
        in->SetWarningThresholdColor(Warning);
        in->SetCriticalThresholdColor(Critical);
    }
    // The voltages of the next tick's sample call (four inputs at most).
    void readings(std::array<float, 4> voltages) { driver.samples.push_back({0, voltages}); }
    // One tick with its device calls on the acquisition thread.
    AcquisitionSample threadedTick()
    {
        std::optional<AcquisitionSample> out;
        const QMetaObject::Connection done =
            QObject::connect(&thread, &AcquisitionThread::cycleDone,
                             [&](CVDataAcquisition::Cycle &cycle) { out = loop.Complete(loop.EndAcquire(cycle)); });
        thread.Start(loop.BeginAcquire());
        while (!out)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(done);
        return *out;
    }
    void stagedOn(const QString &input)
    {
        prefs.SetStagedRevLimiterEnabled(true);
        prefs.SetStagedRevLimiter(140);
        prefs.SetStagedRevLimiterInput(input);
    }

    static constexpr quint32 Normal = 1, Warning = 2, Critical = 3;

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    ProgramState state;
    TraceMarks marks;
    LinkSession link;
    CVScalingCalculator calc;
    ScriptedDaqDriver driver;
    CVDataAcquisition daq;
    Journal journal;
    RecordingSender sender;
    RecordingLog log;
    AcquisitionLoop loop;
    AcquisitionThread thread{daq};
};

TEST_F(TickTest, StepsRunInOrderAndTheLogGetsTheTracedValues)
{
    add("Launch", 3, CVDAQInput::Digital);
    stagedOn("Launch");
    driver.counter = {0, 20, 1 << 3, 0};
    readings({2.0f, 0, 0, 0});
    // 3000 RPM and TP 20 reach fuel cell (5, 1) and timing cell (4, 2); the
    // maps hold other values everywhere else.
    Tune &t = state.tune;
    testenv::risingAxes(t);
    for (int i = 0; i < 256; ++i)
        for (MapKey k : {MapKey::HOFM, MapKey::HOHGFM, MapKey::HOTM})
            t.map(k).SetMapValue(i, 99);
    t.map(MapKey::HOFM).SetMapValue(5 * 16 + 1, 11);       // open loop: 11
    t.map(MapKey::HOHGFM).SetMapValue(5 * 16 + 1, 202);    // closed loop fuel: 10
    t.map(MapKey::HOTM).SetMapValue(4 * 16 + 2, 161);      // closed loop timing: 33

    EXPECT_TRUE(loop.Tick().acquired);
    EXPECT_EQ(journal, (Journal{"Counter", "AISample", "value 11 0 140", "log"}));
    EXPECT_EQ(log.lines, std::vector<LogLine>{LogLine(3000, 19.98f, 33, 11, 10, 2.75f, 6.88f)});
    EXPECT_EQ(log.values, (std::vector<std::vector<float>>{{2.0f, 1.0f}})) << "MAS, then the digital line";

    EXPECT_EQ(std::tuple(loop.Strip().rpm, loop.Strip().tp, loop.Strip().injectorDuty),
              std::tuple(QString("3000"), QString("20"), QString("6.88%")));
}

TEST_F(TickTest, ThresholdsColourByStrictlyGreater)
{
    add("Oil", 1, CVDAQInput::SingleEnded);
    setThresholds("Oil", 10.0f, 20.0f);
    setThresholds("MAS", 1.0f, 2.0f);
    for (const auto &[value, color] : {std::pair(10.0f, Normal), {10.5f, Warning}, {20.0f, Warning}, {20.1f, Critical}}) {
        readings({1.5f, value, 0, 0});
        ASSERT_TRUE(loop.Tick().acquired);
        EXPECT_EQ(loop.Strip().rows[0].valueColor, color) << value;
        EXPECT_EQ(loop.Strip().masColor, Warning) << "MAS colours its own label";
    }
}

TEST(AcquisitionHealthTest, RateOverTheLastSecondsAndSkips)
{
    const struct
    {
        std::vector<qint64> completed;
        double perSecond;
    } cases[] = {{{}, 0.0}, {{500}, 0.0}, {{0, 100, 200}, 10.0}, {{0, 250, 500}, 4.0},
                 // A pause longer than the window leaves only what came after.
                 {{0, 100, 6000, 6100, 6200}, 10.0}};
    for (const auto &c : cases) {
        AcquisitionHealth health;
        health.NoteSkipped();
        health.Reset();
        for (const qint64 t : c.completed)
            health.NoteCompleted(t);
        EXPECT_EQ(std::pair(health.SamplesPerSecond(), health.Skipped()), std::pair(c.perSecond, 0))
            << c.completed.size();
    }
}

TEST(TickFiguresTest, IntegerLoadPulseWidthAndDuty)
{
    const struct
    {
        float tp;
        int expected;
    } cases[] = {{19.98f, 20}, {19.5f, 20}, {18.5f, 18}, {20.5f, 20}, {21.5f, 22}, {0.0f, 0}, {18.49f, 18},
                 // Rounded twice: 19.495 -> 19.5 -> 20; but 13.46 stays 13.
                 {19.495f, 20}, {13.46f, 13}};
    for (const auto &c : cases)
        EXPECT_EQ(IntegerLoad(c.tp), c.expected) << c.tp;

    const auto figures = [](float tp, qint32 rpm, int enrichment) {
        const InjectorFigures f = ComputeInjectorFigures(tp, rpm, enrichment);
        return std::pair(f.pulseWidth, f.duty);
    };
    EXPECT_EQ(figures(20.0f, 3000, 10), std::pair(2.75f, 6.88f));
    EXPECT_EQ(figures(168.0f, 6000, 0), std::pair(21.0f, 100.0f)) << "105 %, shown as 100";
    EXPECT_EQ(figures(40.0f, 0, 0).second, 0.0f) << "no duty without engine speed";
}

TEST_F(TickTest, DeviceFailuresEndTheTickAndKeepWhatTheLastGoodTickShowed)
{
    add("Oil", 1, CVDAQInput::SingleEnded);
    driver.counter = {0, 20, 0, 0};
    readings({2.0f, 7.0f, 0, 0});
    ASSERT_TRUE(loop.Tick().acquired);
    const RealTimeStrip good = loop.Strip();
    journal.clear();

    driver.counter.code = 4;
    EXPECT_FALSE(loop.Tick().acquired);
    EXPECT_EQ(std::tuple(loop.Strip().status, loop.Strip().rpm, loop.Strip().rows[0].valueText),
              std::tuple(QString("Scripted error 4"), good.rpm, QString("7")));
    EXPECT_EQ(journal, (Journal{"Counter", "GetErrorString"})) << "no log";

    driver.callFailure.set(53, "Cannot load library ljacklm: no such file");
    EXPECT_FALSE(loop.Tick().acquired);
    EXPECT_EQ(loop.Strip().status, "Cannot load library ljacklm: no such file");
    driver.callFailure.clear();
    driver.counter.code = 0;
    readings({2.0f, 8.0f, 0, 0});
    ASSERT_TRUE(loop.Tick().acquired);
    EXPECT_EQ(loop.Strip().rows[0].valueText, "8");
}

TEST_F(TickTest, FormulaFailuresAndAMissingMASDoNotEndTheTick)
{
    add("Bad", 1, CVDAQInput::SingleEnded, "V/0");
    ASSERT_TRUE(prefs.UpdateDAQInput("MAS", DAQInputRecord{.name = "MAS", .channel = 0, .enabled = false}));
    driver.counter = {0, 20, 0, 0};
    readings({3.0f, 0, 0, 0});
    const AcquisitionSample out = loop.Tick();
    EXPECT_EQ(std::tuple(out.acquired, loop.Strip().rows[0].valueText, out.tp, out.masVoltage, out.vqIndex),
              std::tuple(true, QString("0"), 0.0f, 0.0f, 0));
}

TEST_F(TickTest, ATickRunDuringTheWriteSendsNothingForTheSameEdge)
{
    add("Launch", 3, CVDAQInput::Digital);
    stagedOn("Launch");
    driver.counter = {0, 10, 1 << 3, 0};
    int nested = 0;
    sender.duringSend = [&] {
        if (nested++ < 3) {
            readings({1.0f, 0, 0, 0});
            loop.Tick();
        }
    };
    readings({1.0f, 0, 0, 0});
    loop.Tick();
    EXPECT_EQ(sender.values, (std::vector<Send>{{Rev, 0, 140}}));
    EXPECT_EQ(std::pair(nested, log.lines.size()), std::pair(1, std::size_t(2))) << "both ticks logged";
}

// The same answers give the same steps in the same order, the same log lines
// and the same writes whether the device calls run here or on the thread.
TEST_F(TickTest, TheAcquisitionThreadChangesNothingTheTickDecides)
{
    add("Oil", 1, CVDAQInput::SingleEnded, "V*10");
    add("Launch", 3, CVDAQInput::Digital);
    stagedOn("Launch");
    const auto run = [&](const std::function<AcquisitionSample()> &tick) {
        journal.clear();
        std::vector<std::string> shown;
        for (const qint32 lines : {1 << 3, 0, 1 << 3, 0}) {
            driver.counter = {0, 20, lines, 0};
            readings({2.0f, 0.5f, 0, 0});
            const AcquisitionSample out = tick();
            shown.push_back(
                QString("%1 %2 %3 %4").arg(out.rpm).arg(out.tp).arg(out.status).arg(out.injectorDuty).toStdString());
        }
        return std::pair(journal, shown);
    };
    const auto here = run([&] { return loop.Tick(); });
    const auto there = run([&] { return threadedTick(); });
    EXPECT_EQ(std::vector(here.first.begin(), here.first.begin() + 8),
              (Journal{"Counter", "AISample", "value 11 0 140", "log", "Counter", "AISample", "value 11 0 150", "log"}));
    EXPECT_EQ(there, here);
    EXPECT_EQ(log.lines.size(), 8u);
}

// A unit that fails or is unplugged while it answers ends that tick with one
// message, as at once, and logs nothing.
TEST_F(TickTest, AUnitFailingWhileItAnswersEndsTheTickWithItsMessage)
{
    add("Oil", 1, CVDAQInput::SingleEnded);
    const struct
    {
        const char *what;
        std::function<void()> fault;
        QString status;
    } cases[] = {
        {"error code", [&] { driver.counter.code = 4; }, "Scripted error 4"},
        {"unplugged", [&] { driver.callFailure.set(31, "The device was removed"); }, "The device was removed"},
    };
    for (const auto &c : cases) {
        driver.counter = {0, 20, 0, 0};
        driver.callFailure.clear();
        std::promise<void> entered;
        std::promise<void> release;
        std::atomic<bool> hold = true; // the first call only
        driver.beforeCall = [&] {
            if (hold.exchange(false)) {
                entered.set_value();
                release.get_future().wait();
            }
        };
        std::optional<AcquisitionSample> out;
        const QMetaObject::Connection done =
            QObject::connect(&thread, &AcquisitionThread::cycleDone,
                             [&](CVDataAcquisition::Cycle &cycle) { out = loop.Complete(loop.EndAcquire(cycle)); });
        journal.clear();
        thread.Start(loop.BeginAcquire());
        entered.get_future().wait();
        c.fault();
        release.set_value();
        while (!out)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(done);
        driver.beforeCall = nullptr;
        EXPECT_EQ(std::tuple(out->acquired, loop.Strip().status), std::tuple(false, c.status)) << c.what;
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "log"), 0) << c.what;
    }
}

} // namespace
