// The real LabJack path: the preferences name a stand-in for the vendor's
// library (StandInU12), the driver factory loads it through LabJackU12Driver,
// and the acquisition tick, the device reset and the info query run through
// the vendor's C signatures end to end.

#include "StandInU12.h"
#include "daq/AcquisitionLoop.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqDriverFactory.h"
#include "daq/DaqSettings.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "platform/LabJackU12Driver.h"
#include "platform/SettingsStore.h"
#include "link/LinkSession.h"
#include "model/TraceMarks.h"
#include "support/RecordingSender.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace {

class LabJackU12DriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The preference exactly as a user writes it into the settings file.
        QFile ini(dir.filePath("Vantrelle.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[LabJack]\nDriverLibrary=" STANDIN_U12_PATH "\nRPMMultiplier=30\n");
        ini.close();
        store = std::make_unique<SettingsStore>(dir.filePath("Vantrelle.ini"));
        prefs = std::make_unique<DaqSettings>(*store);
        driver = CreateDaqDriver(*prefs, false);
        ASSERT_NE(dynamic_cast<LabJackU12Driver *>(driver.get()), nullptr);
        daq = std::make_unique<CVDataAcquisition>(*driver, *prefs, state.tune, calc);
        state.tune.general().SetInjectorK(400);

        control.setFileName(STANDIN_U12_PATH);
        ASSERT_TRUE(control.load()) << control.errorString().toStdString();
        resolve(clear, "StandIn_Clear");
        resolve(queueCounter, "StandIn_QueueCounter");
        resolve(queueSample, "StandIn_QueueSample");
        resolve(setReset, "StandIn_SetReset");
        resolve(setVersions, "StandIn_SetVersions");
        resolve(callCount, "StandIn_CallCount");
        resolve(call, "StandIn_Call");
        clear();
    }

    template <typename F>
    void resolve(F &function, const char *name)
    {
        function = reinterpret_cast<F>(control.resolve(name));
        ASSERT_NE(function, nullptr) << name;
    }

    std::string callNames()
    {
        std::string names;
        for (int i = 0; i < callCount(); ++i)
            names += std::string(names.empty() ? "" : " ") + call(i)->name;
        return names;
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<DaqSettings> prefs;
    std::unique_ptr<DaqDriver> driver;
    ProgramState state;
    CVScalingCalculator calc;
    std::unique_ptr<CVDataAcquisition> daq;
    QLibrary control;
    void (*clear)() = nullptr;
    void (*queueCounter)(StandInCounterReply) = nullptr;
    void (*queueSample)(StandInSampleReply) = nullptr;
    void (*setReset)(long) = nullptr;
    void (*setVersions)(float, float) = nullptr;
    int (*callCount)() = nullptr;
    const StandInCall *(*call)(int) = nullptr;
};

// Five analog inputs (two sample calls of 4 and 1 channels, one of them a
// differential pair with a gain); two ticks, the second failing in its
// second sample call. (Digital lines are mapped in AcquireTest.)
TEST_F(LabJackU12DriverTest, AcquisitionRunWithADriverErrorInTheMiddle)
{
    // "MAS" on AI0 is there from the start.
    ASSERT_TRUE(prefs->AddDAQInput({.name = "TPS", .channel = 1, .scalingFormula = "V*20"}));
    ASSERT_TRUE(prefs->AddDAQInput({.name = "Wide", .channel = 1, .inputType = CVDAQInput::Differential, .gain = 3}));
    ASSERT_TRUE(prefs->AddDAQInput({.name = "EGT", .channel = 4}));
    ASSERT_TRUE(prefs->AddDAQInput({.name = "Batt", .channel = 5}));

    struct Tick
    {
        StandInCounterReply counter;
        StandInSampleReply first, second;
        bool acquired;
        std::string status;
        qint32 rpm;
        float tps, batt;
    };
    const Tick ticks[] = {
        {{0, 100, 1 << 3, 0},
         {0, {2.0f, 0.5f, 1.25f, 3.0f}},
         {0, {12.5f}},
         true,
         "Receiving data.",
         3000,
         10.0f,
         12.5f},
        {{0, 90, 0, 1 << 1},
         {0, {2.1f, 0.6f, 1.0f, 3.1f}},
         {4, {}},
         false,
         "Stand-in error 4: the U12 said no",
         0,
         0.0f,
         0.0f},
    };
    RecordingSender sender;
    TraceMarks marks;
    LinkSession link;
    AcquisitionLoop loop(*daq, *prefs, state.tune, marks, link, sender);
    for (const Tick &t : ticks) {
        SCOPED_TRACE(t.status);
        clear();
        queueCounter(t.counter);
        queueSample(t.first);
        queueSample(t.second);
        const AcquisitionSample s = loop.Tick();
        EXPECT_EQ(std::pair(s.acquired, s.status.toStdString()), std::pair(t.acquired, t.status));
        EXPECT_EQ(callNames(), t.acquired ? "Counter AISample AISample" : "Counter AISample AISample GetErrorString");
        if (!t.acquired) {
            EXPECT_EQ(call(3)->errorCode, 4);
            continue;
        }
        EXPECT_EQ(s.rpm, t.rpm);
        EXPECT_GT(s.tp, 0.0f);
        ASSERT_EQ(s.inputs.size(), 5);
        EXPECT_EQ(std::pair(s.inputs[1].value, s.inputs[4].value), std::pair(t.tps, t.batt));

        // The arguments as the library received them, full-width longs, for
        // the first device.
        const StandInCall &counter = *call(0), &a = *call(1), &b = *call(2);
        EXPECT_EQ(std::pair(counter.idnum, a.idnum), std::pair(-1L, -1L));
        // No demo, the counter restarts at every read, no strobe.
        EXPECT_EQ(std::vector<long>(counter.args, counter.args + 3), (std::vector<long>{0, 1, 0}));
        EXPECT_EQ(std::vector<long>(a.args, a.args + 6), (std::vector<long>{0, 0, 0, 1, 4, 1}));
        EXPECT_EQ(std::vector<long>(a.channels, a.channels + 4), (std::vector<long>{0, 1, 9, 4}));
        EXPECT_EQ(std::vector<long>(a.gains, a.gains + 4), (std::vector<long>{0, 0, 3, 0}));
        EXPECT_EQ(std::pair(b.args[4], b.channels[0]), std::pair(1L, 5L));
    }
}

// Reset and the info query through the real driver, and a library path
// that does not load.
TEST_F(LabJackU12DriverTest, ResetAndInfoQuery)
{
    for (long code : {0L, 2L}) {
        SCOPED_TRACE(code);
        const bool active = code == 0;
        const float firmware = active ? 1.02f : 0.0f;
        clear();
        setReset(code);
        setVersions(1.1f, firmware);
        EXPECT_EQ(daq->HasActiveDevice(), active);
        EXPECT_FALSE(daq->CallError().isSet());
        EXPECT_EQ(daq->DAQReset(), code);
        if (!active) {
            EXPECT_EQ(daq->GetErrorInfo(static_cast<qint32>(code)).toStdString(), "Stand-in error 2: the U12 said no");
        }
        EXPECT_EQ(daq->GetDAQDriverVersion(), 1.1f);
        EXPECT_EQ(daq->GetDAQFirmwareVersion(), firmware);
        EXPECT_EQ(callNames(), active ? "Reset Reset GetDriverVersion GetFirmwareVersion"
                                      : "Reset Reset GetErrorString GetDriverVersion GetFirmwareVersion");
        EXPECT_EQ(std::pair(call(0)->idnum, call(callCount() - 1)->idnum), std::pair(-1L, -1L));
    }

    // A library that is not there, or a file that is no library: no device,
    // and an acquisition that reads nothing.
    for (const QString &name : {QString("vantrelle-no-such-driver"), dir.filePath("Vantrelle.ini")}) {
        LabJackU12Driver missing(name);
        CVDataAcquisition none(missing, *prefs, state.tune, calc);
        float tp = 1.0f;
        qint32 rpm = 1;
        DaqReadings readings;
        EXPECT_EQ(none.AcquireData(tp, rpm, readings), 0);
        EXPECT_EQ(std::pair(tp, rpm), std::pair(0.0f, 0));
        EXPECT_FALSE(none.HasActiveDevice());
        EXPECT_EQ(none.CallError().number, LabJackU12Driver::CannotLoadLibrary);
        EXPECT_TRUE(none.CallError().message.contains("Cannot load library " + name))
            << none.CallError().message.toStdString();
    }
}

} // namespace
