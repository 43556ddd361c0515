// A real-time session on the simulated box and the simulated DAQ unit: the
// acquisition ticks reach the gauges and the 3D view's live cell, and the
// live cell goes when real-time mode ends.

#include "model/TraceMarks.h"
#include "support/AppOnBoxTest.h"

#include "gauges/ui/GaugesWindow.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QLabel>

using LiveSession = AppOnBoxTest;

TEST_F(LiveSession, TicksReachTheGaugesAndThe3DView)
{
    startOnBox({}, true);
    connectBox();
    ASSERT_EQ(link().ConnectionState(), 2) << messages.texts().join(" | ").toStdString();
    w().SelectPanel(7);
    act("mnuViewGauges")->trigger();
    GaugesWindow &gauges = app->gauges();
    Map3DView &view = *app->map3DView().view();

    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled()) << messages.texts().join(" | ").toStdString();
    ASSERT_TRUE(waitFor([&] { return gauges.ApplyCount() >= 3; }, 60000));
    EXPECT_EQ(gauges.findChild<QLabel *>("lblGaugesStatus")->text(), "Receiving data.");
    const MapTrace &hofm = app->marks().Of(MapKey::HOFM);
    EXPECT_TRUE(waitFor([&] {
        return view.Data().liveEntry && view.Data().liveEntry == hofm.LastRPMIndex() * 16 + hofm.LastTPIndex();
    }, 60000));

    // Closing the window unticks its menu item.
    gauges.close();
    EXPECT_FALSE(act("mnuViewGauges")->isChecked());

    act("mnuOptionsRealTime")->trigger();
    ASSERT_FALSE(link().RealTimeEnabled());
    EXPECT_TRUE(waitFor([&] { return !view.Data().liveEntry.has_value(); }));
}
