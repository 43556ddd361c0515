// A real-time session on the simulated box and the simulated DAQ unit: the
// acquisition ticks reach the gauges and the 3D view's live cell, and the
// live cell goes when real-time mode ends.

#include "../view3d/WaitFor.h"

#include "gauges/ui/GaugesWindow.h"
#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/BoxSim.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LiveSession, TicksReachTheGaugesAndThe3DView)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    ScriptedMessageBoxService messages;
    messages.setDefaultAnswer(MsgAnswer::Yes);
    ScriptedFileDialogService files;
    BoxSim box;
    ASSERT_TRUE(box.started());
    CVUserPrefs prefs(store);
    prefs.link.SetShowRTWarning(false);
    StartOptions options;
    options.portName = box.device();
    options.fastHandshake = true;
    options.simulatedDaq = true;
    MainApplication app(prefs, messages, files, options);
    frmMain &w = app.window();
    w.Load(QString());

    w.Actions().mnuOptionsConnect->trigger(); // "Ready?" and "Read?" both Yes
    ASSERT_EQ(prefs.link.ConnectionState(), 2) << messages.texts().join(" | ").toStdString();
    w.SelectPanel(7);
    w.Actions().mnuViewGauges->trigger();
    GaugesWindow &gauges = app.gauges();
    Map3DView &view = *app.map3DView().view();

    w.Actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(w.State().RealTimeEnabled) << messages.texts().join(" | ").toStdString();
    ASSERT_TRUE(waitFor([&] { return gauges.ApplyCount() >= 3; }, 60000));
    EXPECT_EQ(gauges.findChild<QLabel *>("lblGaugesStatus")->text(), "Receiving data.");
    EXPECT_GE(gauges.GaugeKeys().size(), 4);
    ASSERT_TRUE(waitFor([&] { return view.Data().liveEntry.has_value(); }, 60000));
    const CVMapInfo &hofm = w.State().tune.map(MapKey::HOFM);
    EXPECT_TRUE(waitFor([&] {
        return view.Data().liveEntry == hofm.LastRPMIndex() * 16 + hofm.LastTPIndex();
    }, 60000));

    w.Actions().mnuOptionsRealTime->trigger();
    ASSERT_FALSE(w.State().RealTimeEnabled);
    EXPECT_TRUE(waitFor([&] { return !view.Data().liveEntry.has_value(); }));
}
