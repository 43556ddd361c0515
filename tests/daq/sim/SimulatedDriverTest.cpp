// The simulated U12 refuses what the device refuses, with codes and texts the
// tick shows. Its engine is driven through the window (DaqUiTest) and the
// command-line log (LoggerTest).

#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqSettings.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "model/Tune.h"
#include "platform/SettingsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SimulatedDriverTest, ArgumentsTheDeviceRefusesGiveErrorCodesWithTexts)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    DaqSettings prefs(store);
    Tune tune;
    CVScalingCalculator calc;
    SimulatedU12Driver driver(&prefs, 7);
    CVDataAcquisition daq(driver, prefs, tune, calc);
    ErrorRecord e;
    qint32 id = -1, s = 0, over = 0;
    float v[4] = {};
    const qint32 gains[4] = {0, 0, 0, 0}, good[4] = {0, 1, 2, 3};
    EXPECT_EQ(driver.AISample(&id, 0, &s, 0, 1, 3, good, gains, 1, &over, v, e), SimulatedU12Driver::BadChannelCount);
    EXPECT_FALSE(e.isSet());

    // An analog input on a channel the device does not have: the tick sees
    // the driver's code and text.
    prefs.AddDAQInput(DAQInputRecord{.name = "Twelve", .channel = 12});
    float tp = 0;
    qint32 rpm = 0;
    DaqReadings readings;
    const qint32 code = daq.AcquireData(tp, rpm, readings);
    EXPECT_EQ(code, SimulatedU12Driver::BadChannel);
    EXPECT_EQ(daq.GetErrorInfo(code), "Invalid analog channel number");

    driver.SetConnected(false);
    EXPECT_FALSE(daq.HasActiveDevice());
    EXPECT_EQ(daq.AcquireData(tp, rpm, readings), SimulatedU12Driver::NotConnected);
}
