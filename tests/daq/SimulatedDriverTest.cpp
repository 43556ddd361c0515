// The simulated U12 and its engine: a deterministic drive cycle read back
// through CVDataAcquisition as the program reads a device.

#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqDriverFactory.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "model/Tune.h"
#include "platform/LabJackU12Driver.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class SimulatedDriverTest : public ::testing::Test
{
protected:
    SimulatedDriverTest() : store(dir.filePath("Vantrelle.ini")), prefs(store), driver(&prefs, 7)
    {
        tune.general().SetInjectorK(400);
        prefs.AddDAQInput(DAQInputRecord{.name = "Launch", .channel = 0, .inputType = CVDAQInput::Digital});
        prefs.AddDAQInput(DAQInputRecord{.name = "Brake", .channel = 1, .inputType = CVDAQInput::Digital});
        prefs.AddDAQInput(DAQInputRecord{.name = "TPS", .channel = 1, .scalingFormula = "(V-0.5)*25"});
    }

    struct Reading
    {
        qint32 rpm;
        float tp;
        float mas;
        float throttle;
        bool launch;
        bool brake;
        double engineRPM;
    };
    Reading tick(CVDataAcquisition &daq)
    {
        Reading r{};
        EXPECT_EQ(daq.AcquireData(r.tp, r.rpm), 0);
        r.mas = prefs.FindDAQInput("MAS")->Voltage();
        r.throttle = prefs.FindDAQInput("TPS")->Value();
        r.launch = prefs.FindDAQInput("Launch")->Voltage() == 1.0f;
        r.brake = prefs.FindDAQInput("Brake")->Voltage() == 1.0f;
        r.engineRPM = driver.engine().MeanRPM();
        return r;
    }

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    Tune tune;
    CVScalingCalculator calc;
    SimulatedU12Driver driver;
};

TEST_F(SimulatedDriverTest, ADriveCycleIdlesLaunchesPullsThroughTheGearsAndLiftsOff)
{
    CVDataAcquisition daq(driver, prefs, tune, calc);
    std::vector<Reading> run;
    for (int i = 0; i < 600; ++i) // one minute at 100 ms
        run.push_back(tick(daq));

    // RPM as the program reads it follows the engine within one count.
    for (const Reading &r : run)
        EXPECT_LE(std::fabs(r.rpm - r.engineRPM), prefs.DAQRPMMultiplier() + 1.0);

    const auto idle = run[20];
    EXPECT_NEAR(idle.engineRPM, EngineModel::IdleRPM, 60.0);
    EXPECT_FALSE(idle.launch);
    EXPECT_LT(idle.mas, 1.8f);

    int maxRPM = 0;
    int shifts = 0;
    bool sawLaunch = false;
    bool sawBrake = false;
    float maxMAS = 0.0f;
    float maxTP = 0.0f;
    for (std::size_t i = 1; i < run.size(); ++i) {
        maxRPM = std::max(maxRPM, run[i].rpm);
        maxMAS = std::max(maxMAS, run[i].mas);
        maxTP = std::max(maxTP, run[i].tp);
        sawLaunch = sawLaunch || run[i].launch;
        sawBrake = sawBrake || run[i].brake;
        if (run[i - 1].engineRPM > 6000.0 && run[i].engineRPM < run[i - 1].engineRPM - 1000.0)
            ++shifts;
    }
    EXPECT_GE(maxRPM, 6500);
    EXPECT_GE(shifts, 4) << "four shifts per pull";
    EXPECT_TRUE(sawLaunch);
    EXPECT_TRUE(sawBrake);
    EXPECT_GT(maxMAS, 4.0f) << "airflow voltage rises with load";
    EXPECT_GT(maxTP, 100.0f);
    EXPECT_GT(idle.tp, 5.0f);
    EXPECT_LT(idle.tp, 40.0f);

    // The throttle sensor reads wide open during a pull.
    const auto pulling = std::find_if(run.begin(), run.end(), [](const Reading &r) { return r.engineRPM > 5000; });
    ASSERT_NE(pulling, run.end());
    EXPECT_GT(pulling->throttle, 80.0f);
}

TEST_F(SimulatedDriverTest, TheSameSeedGivesTheSameReadings)
{
    SimulatedU12Driver a(&prefs, 99);
    SimulatedU12Driver b(&prefs, 99);
    const qint32 channels[4] = {0, 1, 2, 9};
    const qint32 gains[4] = {0, 0, 0, 3};
    for (int i = 0; i < 200; ++i) {
        ErrorRecord e;
        qint32 id = -1, d1 = 0, io1 = 0, d2 = 0, io2 = 0, s = 0, over = 0;
        quint32 c1 = 0, c2 = 0;
        a.Counter(&id, 0, &d1, &io1, 1, 0, &c1, e);
        b.Counter(&id, 0, &d2, &io2, 1, 0, &c2, e);
        ASSERT_EQ(c1, c2);
        ASSERT_EQ(d1, d2);
        float v1[4] = {}, v2[4] = {};
        a.AISample(&id, 0, &s, 0, 1, 4, channels, gains, 1, &over, v1, e);
        b.AISample(&id, 0, &s, 0, 1, 4, channels, gains, 1, &over, v2, e);
        for (int k = 0; k < 4; ++k)
            ASSERT_EQ(v1[k], v2[k]);
    }
}

TEST_F(SimulatedDriverTest, LinesCanBeForcedForTheStagedRevLimiter)
{
    ErrorRecord e;
    qint32 id = -1, d = 0, io = 0;
    quint32 count = 0;
    driver.ForceLine(3, true);
    driver.ForceLine(18, true);
    driver.Counter(&id, 0, &d, &io, 1, 0, &count, e);
    EXPECT_TRUE(d & (1 << 3));
    EXPECT_EQ(io, 1 << 2);
    driver.ReleaseLine(3);
    driver.ForceLine(18, false);
    driver.Counter(&id, 0, &d, &io, 1, 0, &count, e);
    EXPECT_FALSE(d & (1 << 3));
    EXPECT_EQ(io, 0);
    driver.ForceLine(99, true); // no such line: ignored
}

TEST_F(SimulatedDriverTest, ArgumentsTheDeviceRefusesGiveErrorCodesWithTexts)
{
    CVDataAcquisition daq(driver, prefs, tune, calc);
    ErrorRecord e;
    qint32 id = -1, s = 0, over = 0;
    float v[4] = {};
    const qint32 gains[4] = {0, 0, 0, 0};
    const qint32 good[4] = {0, 1, 2, 3};
    EXPECT_EQ(driver.AISample(&id, 0, &s, 0, 1, 3, good, gains, 1, &over, v, e), SimulatedU12Driver::BadChannelCount);
    const qint32 bad[4] = {12, 0, 0, 0};
    EXPECT_EQ(driver.AISample(&id, 0, &s, 0, 1, 1, bad, gains, 1, &over, v, e), SimulatedU12Driver::BadChannel);
    const qint32 badGain[4] = {8, 0, 0, 0};
    const qint32 gain9[4] = {9, 0, 0, 0};
    EXPECT_EQ(driver.AISample(&id, 0, &s, 0, 1, 1, badGain, gain9, 1, &over, v, e), SimulatedU12Driver::BadGain);
    EXPECT_FALSE(e.isSet());

    // An analog input on a channel the device does not have: the tick sees
    // the driver's code and text.
    prefs.AddDAQInput(DAQInputRecord{.name = "Twelve", .channel = 12});
    float tp = 0;
    qint32 rpm = 0;
    const qint32 code = daq.AcquireData(tp, rpm);
    EXPECT_EQ(code, SimulatedU12Driver::BadChannel);
    EXPECT_EQ(daq.GetErrorInfo(code), "Invalid analog channel number");

    driver.SetConnected(false);
    EXPECT_FALSE(daq.HasActiveDevice());
    EXPECT_FALSE(daq.CallError().isSet());
    EXPECT_EQ(daq.AcquireData(tp, rpm), SimulatedU12Driver::NotConnected);
    EXPECT_EQ(daq.GetDAQFirmwareVersion(), 0.0f);
    driver.SetConnected(true);
    EXPECT_TRUE(daq.HasActiveDevice());
    EXPECT_EQ(daq.GetDAQDriverVersion(), SimulatedU12Driver::DriverVersion);
}

TEST_F(SimulatedDriverTest, DifferentialChannelsReadTheDifferenceWithinTheGainRange)
{
    ErrorRecord e;
    qint32 id = -1, s = 0, over = 0;
    quint32 count = 0;
    qint32 d = 0, io = 0;
    for (int i = 0; i < 100; ++i)
        driver.Counter(&id, 0, &d, &io, 1, 0, &count, e); // warm into the cycle
    const qint32 channels[4] = {4, 5, 10, 10};
    const qint32 gains[4] = {0, 0, 0, 7};
    float v[4] = {};
    ASSERT_EQ(driver.AISample(&id, 0, &s, 0, 1, 4, channels, gains, 1, &over, v, e), 0);
    EXPECT_NEAR(v[2], v[0] - v[1], 0.05);
    EXPECT_LE(std::fabs(v[3]), 1.0f) << "gain 20 reads +/-1 V";
}

TEST_F(SimulatedDriverTest, TimeMovesOnBySamplePeriodAndCountsFollowTheMultiplier)
{
    ErrorRecord e;
    qint32 id = -1, d = 0, io = 0;
    quint32 count = 0;
    prefs.SetDAQSampleRate(50);
    driver.Counter(&id, 0, &d, &io, 1, 0, &count, e);
    EXPECT_DOUBLE_EQ(driver.engine().TimeMs(), 50.0);
    prefs.SetDAQRPMMultiplier(75);
    quint32 total = 0;
    for (int i = 0; i < 20; ++i) {
        driver.Counter(&id, 0, &d, &io, 1, 0, &count, e);
        total += count;
    }
    // About idle speed / 75 per period.
    EXPECT_NEAR(total / 20.0, EngineModel::IdleRPM / 75.0, 1.0);
}

TEST_F(SimulatedDriverTest, TheFactoryFollowsPreferenceAndOption)
{
    EXPECT_NE(dynamic_cast<LabJackU12Driver *>(CreateDaqDriver(prefs, false).get()), nullptr);
    EXPECT_NE(dynamic_cast<SimulatedU12Driver *>(CreateDaqDriver(prefs, true).get()), nullptr);
    prefs.SetSimulatedDAQ(true);
    EXPECT_NE(dynamic_cast<SimulatedU12Driver *>(CreateDaqDriver(prefs, false).get()), nullptr);
    prefs.SetSimulatedDAQ(false);
    prefs.SetDAQDriverLibrary("/opt/labjack/libljacklm.so");
    auto driver = CreateDaqDriver(prefs, false);
    auto *lj = dynamic_cast<LabJackU12Driver *>(driver.get());
    ASSERT_NE(lj, nullptr);
    EXPECT_EQ(lj->libraryName(), "/opt/labjack/libljacklm.so");
}

} // namespace
