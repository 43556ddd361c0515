// CVDataAcquisition against a scripted driver, and the vendor driver's
// "cannot load" path for real.

#include "support/ScriptedDaqDriver.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "model/Tune.h"
#include "platform/LabJackU12Driver.h"
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

    void add(const QString &name, int channel, int type, int gain = 0, const QString &formula = {})
    {
        EXPECT_TRUE(prefs.AddDAQInput({.name = name, .channel = channel, .inputType = type, .gain = gain, .scalingFormula = formula}));
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
    EXPECT_EQ(acquire(), 0);
    EXPECT_EQ(rpm, 3000);
    EXPECT_EQ(tp, 19.98f);
    // Counter restarted at every read; one channel sampled with the LED on
    // and calibration off.
    EXPECT_EQ(driver.lastCounterReset, 1);
    ASSERT_EQ(driver.sampleCalls.size(), 1u);
    EXPECT_EQ(std::tuple(driver.sampleCalls[0].numChannels, driver.sampleCalls[0].ledOn,
                         driver.sampleCalls[0].disableCal), std::tuple(1, 1, 1));

    // Zero pulses: zero speed and load whatever the airflow.
    driver.counter.count = 0;
    driver.samples.push_back({0, {4.5f, 0, 0, 0}});
    ASSERT_EQ(acquire(), 0);
    EXPECT_EQ(rpm, 0);
    EXPECT_EQ(tp, 0.0f);
    EXPECT_EQ(reading("MAS").Voltage(), 4.5f) << "the inputs are still sampled";
    EXPECT_EQ(prefs.FindDAQInput("MAS")->Voltage(), 0.0f) << "the readings live in the cycle, not in the settings";
}

TEST_F(AcquireTest, FiveInputsTakeTwoCallsAndDifferentialChannelsCountFrom8)
{
    add("P0", 0, CVDAQInput::Differential, 5); // channel 0 like MAS, added later: after it
    add("S3", 3, CVDAQInput::SingleEnded, 6);
    add("P2", 2, CVDAQInput::Differential, 7);
    add("S7", 7, CVDAQInput::SingleEnded);
    // Sorted: MAS(0) P0(0) P2(2) S3(3) | S7(7)
    driver.counter.count = 1;
    driver.samples.push_back({0, {1.0f, 2.0f, 3.0f, 4.0f}});
    driver.samples.push_back({0, {5.0f, 6.0f, 7.0f, 8.0f}});
    ASSERT_EQ(acquire(), 0);
    ASSERT_EQ(driver.sampleCalls.size(), 2u);
    EXPECT_EQ(driver.sampleCalls[0].numChannels, 4);
    EXPECT_EQ(driver.sampleCalls[0].channels, (std::array<qint32, 4>{0, 8, 10, 3}));
    EXPECT_EQ(driver.sampleCalls[0].gains, (std::array<qint32, 4>{0, 5, 7, 0}));
    EXPECT_EQ(driver.sampleCalls[1].numChannels, 1);
    EXPECT_EQ(driver.sampleCalls[1].channels, (std::array<qint32, 4>{7, 0, 0, 0}));
    EXPECT_EQ(reading("S3").Voltage(), 4.0f);
    EXPECT_EQ(reading("S7").Voltage(), 5.0f) << "the fifth input reads voltage 0 of the second call";
}

TEST_F(AcquireTest, DigitalLinesComeFromTheCounterRead)
{
    add("D15", 15, CVDAQInput::Digital);
    add("IO1", 17, CVDAQInput::Digital, 0, "V*5");
    add("Odd", 25, CVDAQInput::Digital);
    driver.counter.stateD = 1 << 15;
    driver.counter.stateIO = 1 << 1;
    ASSERT_EQ(acquire(), 0);
    EXPECT_EQ(reading("D15").Voltage(), 1.0f);
    EXPECT_EQ(reading("IO1").Value(), 5.0f) << "digital inputs run their formula too";
    EXPECT_EQ(reading("Odd").Voltage(), 0.0f) << "a channel beyond IO3 reads 0";
}

TEST_F(AcquireTest, DriverErrorCodesEndTheCycleAndLeaveLaterInputsAlone)
{
    for (int i = 1; i < 6; ++i)
        add(QString("S%1").arg(i), i, CVDAQInput::SingleEnded);
    add("Switch", 0, CVDAQInput::Digital);
    // Counter failure: nothing else called.
    driver.counter.code = 7;
    EXPECT_EQ(acquire(), 7);
    EXPECT_EQ(driver.calls, std::vector<std::string>{"Counter"});
    EXPECT_EQ(rpm, 0);

    // Second batch fails: the first batch is read, the rest not, no load.
    driver.counter = {0, 20, 1, 0};
    driver.samples.push_back({0, {2.0f, 1.0f, 1.0f, 1.0f}});
    driver.samples.push_back({12, {9.0f, 9.0f, 0, 0}});
    EXPECT_EQ(acquire(), 12);
    EXPECT_EQ(tp, 0.0f);
    EXPECT_EQ(std::pair(reading("S3").Voltage(), reading("S4").Voltage()), std::pair(1.0f, 0.0f));
    EXPECT_EQ(reading("Switch").Voltage(), 0.0f) << "digital inputs only after a good cycle";
}

TEST_F(AcquireTest, ADriverThatCannotBeCalledSetsTheCallError)
{
    driver.callFailure.set(53, "Cannot load library ljacklm");
    EXPECT_EQ(acquire(), 0);
    EXPECT_EQ(daq.LastError().message, "Cannot load library ljacklm");
    EXPECT_FALSE(daq.HasActiveDevice());
    driver.callFailure.clear();
    EXPECT_TRUE(daq.HasActiveDevice());
    EXPECT_FALSE(daq.CallError().isSet()) << "each operation starts clean";
}

TEST(EngineLoadTest, LoadFromAirflowSpeedAndInjectorK)
{
    // No airflow for a voltage at or below 0, instead of a power with no value.
    EXPECT_EQ(CVDataAcquisition::EngineLoad(3000, -0.5f, 400), 0.0f);
    EXPECT_GT(CVDataAcquisition::EngineLoad(6000, 4.0f, 400), CVDataAcquisition::EngineLoad(6000, 3.0f, 400));
}

TEST(LabJackDriverTest, AMissingLibraryIsReportedThroughTheErrorRecord)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    DaqSettings prefs(store);
    Tune tune;
    CVScalingCalculator calc;
    for (const QString &name : {QString("vantrelle-no-such-driver"), dir.filePath("not-a-library.so")}) {
        LabJackU12Driver driver(name);
        CVDataAcquisition daq(driver, prefs, tune, calc);
        float tp = 1.0f;
        qint32 rpm = 1;
        DaqReadings readings;
        EXPECT_EQ(daq.AcquireData(tp, rpm, readings), 0);
        EXPECT_EQ(std::pair(tp, rpm), std::pair(0.0f, 0));
        EXPECT_EQ(daq.CallError().number, LabJackU12Driver::CannotLoadLibrary);
        EXPECT_TRUE(daq.CallError().message.contains("Cannot load library")) << daq.CallError().message.toStdString();
        EXPECT_FALSE(daq.HasActiveDevice());
    }
}

} // namespace
