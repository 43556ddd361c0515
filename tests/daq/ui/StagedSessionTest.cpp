// A real-time session of the whole window against vantrelle-boxsim over a
// pseudo-terminal, with the simulated DAQ unit: the staged rev limiter's
// input going high and low sends exactly one rev limiter write each.

#include "daq/sim/SimulatedU12Driver.h"
#include "daq/ui/AcquisitionCommands.h"
#include "daq/ui/RealTimeStripView.h"
#include "support/AppOnBoxTest.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>

using StagedSession = AppOnBoxTest;

TEST_F(StagedSession, HighAndLowSendOneWriteEach)
{
    DaqSettings &daq = preferences().daq;
    ASSERT_TRUE(daq.AddDAQInput(DAQInputRecord{.name = "Launch", .channel = 3, .inputType = CVDAQInput::Digital}));
    daq.SetStagedRevLimiterEnabled(true);
    daq.SetStagedRevLimiterInput("Launch");
    daq.SetStagedRevLimiter(140);
    daq.SetDAQSampleRate(25);
    startOnBox({}, true);
    auto &sim = dynamic_cast<SimulatedU12Driver &>(app->daqDriver());
    sim.ForceLine(3, false);

    connectBox(MsgAnswer::No);
    ASSERT_EQ(link().ConnectionState(), 2);
    state().tune.general().SetRevLimiter(150);
    const int framesBefore = box->logLines().size();

    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    AcquisitionCommands &acq = app->acquisitionCommands();

    const auto limiterWrites = [&] {
        return box->logLines().mid(framesBefore).filter(QRegularExpression("^77 01 7F B4 "));
    };
    // One tick by hand, then a short turn of the event loop so the running
    // timer ticks too and the box's acknowledgements come in.
    const auto tickOnce = [&] {
        acq.Tick();
        QTimer pause;
        pause.setSingleShot(true);
        QEventLoop loop;
        QObject::connect(&pause, &QTimer::timeout, &loop, &QEventLoop::quit);
        pause.start(5);
        loop.exec();
    };
    // Ticks until the box has logged the expected number of limiter writes
    // (the box runs in its own process: never assume how soon it logs).
    const auto tickUntilWrites = [&](int count) {
        QElapsedTimer clock;
        clock.start();
        while (limiterWrites().size() < count && clock.elapsed() < 20000)
            tickOnce();
        for (int i = 0; i < 5; ++i) // and a few more, which must send nothing further
            tickOnce();
    };

    tickUntilWrites(0);
    EXPECT_TRUE(limiterWrites().isEmpty());
    EXPECT_EQ(acq.strip()->label("lblRevLimitValue")->text(), "7500");

    sim.ForceLine(3, true);
    tickUntilWrites(1);
    EXPECT_EQ(acq.strip()->label("lblRevLimitValue")->text(), "7000");
    ASSERT_EQ(limiterWrites().size(), 1) << limiterWrites().join(" | ").toStdString();
    EXPECT_EQ(limiterWrites()[0], "77 01 7F B4 8C 37");

    sim.ForceLine(3, false);
    tickUntilWrites(2);
    ASSERT_EQ(limiterWrites().size(), 2) << limiterWrites().join(" | ").toStdString();
    EXPECT_EQ(limiterWrites()[1], "77 01 7F B4 96 41");

    // Switching off with the tune's limit in force sends nothing more.
    act("mnuOptionsRealTime")->trigger();
    EXPECT_EQ(limiterWrites().size(), 2);
}
