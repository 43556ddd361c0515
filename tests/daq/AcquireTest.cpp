// CVDataAcquisition against a scripted driver.

#include "support/ScriptedDaqDriver.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "model/Tune.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace {

class AcquireTest : public ::testing::Test
{
protected:
    AcquireTest()
        : store(dir.filePath("Vantrelle.ini")), prefs(store), daq(driver, prefs, tune, calc)
    {
        tune.general().SetInjectorK(400);
    }

    void add(const QString &name, int channel, int type, const QString &formula = {})
    {
        EXPECT_TRUE(
            prefs.AddDAQInput({.name = name, .channel = channel, .inputType = type, .scalingFormula = formula}));
    }
    qint32 acquire() { return daq.AcquireData(tp, rpm, readings); }
    // The input of that name as the last cycle read it.
    CVDAQInput reading(const QString &name) const
    {
        for (const std::vector<CVDAQInput> *list : {&readings.analog, &readings.digital})
            for (const CVDAQInput &input : *list)
                if (input.Name() == name)
                    return input;
        ADD_FAILURE() << "no reading of " << name.toStdString();
        return {};
    }

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    Tune tune;
    CVScalingCalculator calc;
    ScriptedDaqDriver driver;
    CVDataAcquisition daq;
    float tp = -1.0f;
    qint32 rpm = -1;
    DaqReadings readings;
};

TEST_F(AcquireTest, WorkedExampleGivesRPMAndLoad)
{
    driver.counter.count = 20;
    driver.samples.push_back({0, {2.0f, 0, 0, 0}});
    ASSERT_EQ(acquire(), 0);
    EXPECT_EQ(std::pair(rpm, tp), std::pair(3000, 19.98f));

    // Zero pulses: zero speed and load whatever the airflow.
    driver.counter.count = 0;
    driver.samples.push_back({0, {4.5f, 0, 0, 0}});
    ASSERT_EQ(acquire(), 0);
    EXPECT_EQ(std::pair(rpm, tp), std::pair(0, 0.0f));
    EXPECT_EQ(reading("MAS").Voltage(), 4.5f) << "the inputs are still sampled";
    EXPECT_EQ(prefs.FindDAQInput("MAS")->Voltage(), 0.0f) << "the readings live in the cycle, not in the settings";
}

TEST_F(AcquireTest, DigitalLinesComeFromTheCounterRead)
{
    add("D15", 15, CVDAQInput::Digital);
    add("IO1", 17, CVDAQInput::Digital, "V*5");
    add("Odd", 25, CVDAQInput::Digital);
    driver.counter.stateD = 1 << 15;
    driver.counter.stateIO = 1 << 1;
    ASSERT_EQ(acquire(), 0);
    // Digital inputs run their formula too; a channel beyond IO3 reads 0.
    EXPECT_EQ(std::tuple(reading("D15").Voltage(), reading("IO1").Value(), reading("Odd").Voltage()),
              std::tuple(1.0f, 5.0f, 0.0f));
}

TEST_F(AcquireTest, DriverErrorCodesEndTheCycleAndLeaveLaterInputsAlone)
{
    for (int i = 1; i < 6; ++i)
        add(QString("S%1").arg(i), i, CVDAQInput::SingleEnded);
    add("Switch", 0, CVDAQInput::Digital);
    // Counter failure: no sample taken, only the failure's text asked for.
    driver.counter.code = 7;
    EXPECT_EQ(acquire(), 7);
    EXPECT_EQ(std::pair(driver.calls, rpm), std::pair(std::vector<std::string>{"Counter", "GetErrorString"}, 0));

    // Second batch fails: the first batch is read, the rest not, no load.
    driver.counter = {0, 20, 1, 0};
    driver.samples.push_back({0, {2.0f, 1.0f, 1.0f, 1.0f}});
    driver.samples.push_back({12, {9.0f, 9.0f, 0, 0}});
    EXPECT_EQ(acquire(), 12);
    // Digital inputs only after a good cycle.
    EXPECT_EQ(std::tuple(tp, reading("S3").Voltage(), reading("S4").Voltage(), reading("Switch").Voltage()),
              std::tuple(0.0f, 1.0f, 0.0f, 0.0f));
}

TEST(EngineLoadTest, LoadFromAirflowSpeedAndInjectorK)
{
    // No airflow for a voltage at or below 0, instead of a power with no value.
    EXPECT_EQ(CVDataAcquisition::EngineLoad(3000, -0.5f, 400), 0.0f);
    EXPECT_GT(CVDataAcquisition::EngineLoad(6000, 4.0f, 400), CVDataAcquisition::EngineLoad(6000, 3.0f, 400));
}

} // namespace
