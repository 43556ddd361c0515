// A real-time session of the whole window against vantrelle-boxsim over a
// pseudo-terminal, with the simulated DAQ unit: the staged rev limiter's
// input going high and low sends exactly one rev limiter write each.

#include "daq/sim/SimulatedU12Driver.h"
#include "daq/ui/RealTimeStripView.h"
#include "model/ProgramState.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/ui/AcquisitionCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/BoxSim.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(StagedSession, HighAndLowSendOneWriteEach)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    BoxSim box;
    ASSERT_TRUE(box.started());
    CVUserPrefs prefs(store);
    prefs.link.SetShowRTWarning(false);
    ASSERT_TRUE(prefs.daq.AddDAQInput(DAQInputRecord{.name = "Launch", .channel = 3, .inputType = CVDAQInput::Digital}));
    prefs.daq.SetStagedRevLimiterEnabled(true);
    prefs.daq.SetStagedRevLimiterInput("Launch");
    prefs.daq.SetStagedRevLimiter(140);
    prefs.daq.SetDAQSampleRate(25);

    StartOptions options;
    options.portName = box.device();
    options.fastHandshake = true;
    options.simulatedDaq = true;
    MainApplication app(prefs, messages, files, options);
    frmMain &w = app.window();
    w.Load(QString());
    auto &sim = dynamic_cast<SimulatedU12Driver &>(app.daqDriver());
    sim.ForceLine(3, false);

    messages.queue(MsgAnswer::Yes); // "Ensure that your car is not running..."
    messages.queue(MsgAnswer::No);  // "Read the current Vantrelle settings?"
    w.Actions().mnuOptionsConnect->trigger();
    ASSERT_EQ(prefs.link.ConnectionState(), 2);
    w.State().tune.general().SetRevLimiter(150);
    const int framesBefore = box.logLines().size();

    w.Actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(w.State().RealTimeEnabled);
    AcquisitionCommands &acq = app.acquisitionCommands();

    const auto limiterWrites = [&] {
        return box.logLines().mid(framesBefore).filter(QRegularExpression("^77 01 7F B4 "));
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
    w.Actions().mnuOptionsRealTime->trigger();
    EXPECT_EQ(limiterWrites().size(), 2);
}
