// The simulated U12 and its engine: a deterministic drive cycle read back
// through CVDataAcquisition as the program reads a device.

#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "model/Tune.h"
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

    Reading most{};
    int shifts = 0;
    for (std::size_t i = 1; i < run.size(); ++i) {
        most = {std::max(most.rpm, run[i].rpm), std::max(most.tp, run[i].tp), std::max(most.mas, run[i].mas), 0,
                most.launch || run[i].launch, most.brake || run[i].brake, 0};
        shifts += run[i - 1].engineRPM > 6000.0 && run[i].engineRPM < run[i - 1].engineRPM - 1000.0;
    }
    EXPECT_GE(most.rpm, 6500);
    EXPECT_GE(shifts, 4) << "four shifts per pull";
    EXPECT_TRUE(most.launch && most.brake);
    EXPECT_GT(most.mas, 4.0f) << "airflow voltage rises with load";
    EXPECT_GT(most.tp, 100.0f);

    // The throttle sensor reads wide open during a pull.
    const auto pulling = std::find_if(run.begin(), run.end(), [](const Reading &r) { return r.engineRPM > 5000; });
    ASSERT_NE(pulling, run.end());
    EXPECT_GT(pulling->throttle, 80.0f);
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
}

} // namespace
