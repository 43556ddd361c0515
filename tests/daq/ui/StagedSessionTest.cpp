// A real-time session of the whole window against vantrelle-boxsim over a
// pseudo-terminal, with the simulated DAQ unit: the ticks reach the gauges
// and the 3D view's live cell, which goes when real-time mode ends, and the
// staged rev limiter's input going high and low sends exactly one rev
// limiter write each.

#include "daq/sim/SimulatedU12Driver.h"
#include "daq/ui/AcquisitionCommands.h"
#include "daq/ui/RealTimeStripView.h"
#include "gauges/ui/GaugesWindow.h"
#include "model/TraceMarks.h"
#include "support/AppOnBoxTest.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QElapsedTimer>
#include <QLabel>

using LiveSession = AppOnBoxTest;

TEST_F(LiveSession, TicksReachTheGaugesAndThe3DViewAndTheStagedInputSendsOneWritePerEdge)
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

    connectBox();
    ASSERT_EQ(link().ConnectionState(), 2) << messages.texts().join(" | ").toStdString();
    state().tune.general().SetRevLimiter(150);
    w().SelectPanel(7);
    act("mnuViewGauges")->trigger();
    GaugesWindow &gauges = app->gauges();
    Map3DView &view = *app->map3DView().view();
    const int framesBefore = box->logLines().size();

    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled()) << messages.texts().join(" | ").toStdString();
    AcquisitionCommands &acq = app->acquisitionCommands();

    const auto limiterWrites = [&] {
        return box->logLines().mid(framesBefore).filter(QRegularExpression("^77 01 7F B4 "));
    };
    // One tick by hand, then a short turn of the event loop so the running
    // timer ticks too and the box's acknowledgements come in.
    const auto tickOnce = [&] {
        acq.Tick();
        QTest::qWait(5);
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

    // The ticks reach the gauges and the 3D view's live cell.
    ASSERT_TRUE(waitFor([&] { return gauges.ApplyCount() >= 3; }, 60000));
    EXPECT_EQ(gauges.findChild<QLabel *>("lblGaugesStatus")->text(), "Receiving data.");
    const MapTrace &hofm = app->marks().Of(MapKey::HOFM);
    EXPECT_TRUE(waitFor(
        [&] { return view.Data().liveEntry && view.Data().liveEntry == hofm.LastRPMIndex() * 16 + hofm.LastTPIndex(); },
        60000));
    // Closing the window unticks its menu item.
    gauges.close();
    EXPECT_FALSE(act("mnuViewGauges")->isChecked());

    sim.ForceLine(3, true);
    tickUntilWrites(1);
    EXPECT_EQ(acq.strip()->label("lblRevLimitValue")->text(), "7000");
    EXPECT_EQ(limiterWrites(), QStringList{"77 01 7F B4 8C 37"});

    sim.ForceLine(3, false);
    tickUntilWrites(2);
    EXPECT_EQ(limiterWrites(), (QStringList{"77 01 7F B4 8C 37", "77 01 7F B4 96 41"}));

    // Switching off with the tune's limit in force sends nothing more, and
    // the live cell goes.
    act("mnuOptionsRealTime")->trigger();
    EXPECT_EQ(limiterWrites().size(), 2);
    EXPECT_TRUE(waitFor([&] { return !view.Data().liveEntry.has_value(); }));
}
