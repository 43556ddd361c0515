// The dashboard in the main window: View > Gauges opens and closes it, and
// every acquisition tick reaches it (and the 3D view's live cell).

#include "../view3d/AppFixture.h"
#include "../view3d/WaitFor.h"

#include "gauges/ui/GaugesWindow.h"
#include "daq/ui/AcquisitionCommands.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QAction>

class GaugesMenu : public AppFixture
{
};

TEST_F(GaugesMenu, TheMenuItemOpensAndClosesTheWindow)
{
    start();
    QAction *item = w().Actions().mnuViewGauges;
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Gauges");
    GaugesWindow &gauges = app->gauges();
    EXPECT_FALSE(gauges.isVisible());
    item->trigger();
    EXPECT_TRUE(gauges.isVisible());
    EXPECT_TRUE(item->isChecked());
    // Closing the window unticks the item.
    gauges.close();
    EXPECT_FALSE(gauges.isVisible());
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(gauges.isVisible());
    item->trigger();
    EXPECT_FALSE(gauges.isVisible());
}

TEST_F(GaugesMenu, EveryTickReachesTheGaugesAndThe3DView)
{
    start();
    w().Actions().mnuViewGauges->trigger();
    AcquisitionSample sample;
    sample.acquired = true;
    sample.status = "Receiving data.";
    sample.rpm = 4250;
    sample.tpInt = 37;
    sample.cells = {{MapKey::HOFM, 5, 6, 12}, {MapKey::HOHGFM, 5, 6, 3}, {MapKey::HOTM, 4, 6, 20}};
    emit app->acquisitionCommands().sampleTaken(sample);

    ASSERT_TRUE(waitFor([&] { return app->gauges().ApplyCount() == 1; }));
    EXPECT_EQ(app->gauges().Gauge(GaugesWindow::RpmKey())->valueText(), "4250");
    EXPECT_EQ(app->gauges().Gauge(GaugesWindow::TpKey())->valueText(), "37");

    Map3DView &view = *app->map3DView().view();
    w().SelectPanel(11);
    ASSERT_TRUE(waitFor([&] { return view.Data().panel == 11; }));
    ASSERT_TRUE(view.Data().liveEntry);
    EXPECT_EQ(*view.Data().liveEntry, 4 * 16 + 6);
}
