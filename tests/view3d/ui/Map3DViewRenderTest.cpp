// The 3D map view on a real X server with OpenGL (Xvfb with Mesa): the
// graph comes up, shows the selected map with its axes and colours, follows
// grid edits, marks the live cell and draws again when uncovered. Run through xvfb-run by CTest; skipped
// with a message where no X server is at hand.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/CVMapColorInfo.h"
#include "daq/AcquisitionSample.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QWindow>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>

namespace {

constexpr int N = 16;

class Map3DViewRender : public AppOnBoxTest
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsSet("VANTRELLE_NO_XVFB"))
            GTEST_SKIP() << "xvfb-run is not installed: the 3D map view's rendering tests need an X server "
                            "with OpenGL (install the xvfb package)";
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "no X server (platform \"" << QGuiApplication::platformName().toStdString()
                         << "\"): run these tests through xvfb-run";
        start();
        Tune &t = state().tune;
        testenv::risingAxes(t);
        for (int e = 0; e < N * N; ++e)
            t.map(MapKey::HOFM).SetMapValue(e, (e / N) * 4 + e % N); // open loop, rising both ways
        w().resize(1200, 800);
        w().show();
        w().SelectPanel(7);
    }

    Map3DView &view() { return *app->map3DView().view(); }
    QSurface3DSeries &series() { return *view().series(); }
    // Opens the view through the menu.
    void open()
    {
        act("mnuView3DMap")->trigger();
        ASSERT_TRUE(messages.shown().empty()) << messages.shown()[0].text.toStdString();
        ASSERT_TRUE(view().HasGraph());
        ASSERT_TRUE(view().graph()->hasContext());
        ASSERT_TRUE(waitFor([&] { return series().dataProxy()->rowCount() == N; }));
    }
    QVector3D point(int rpmIndex, int tpIndex) { return series().dataProxy()->itemAt(rpmIndex, tpIndex)->position(); }
};

} // namespace

TEST_F(Map3DViewRender, ItShowsTheSelectedMapAndFollowsEdits)
{
    open();
    EXPECT_TRUE(app->map3DView().dock()->isVisible());
    // Load across, display value up, RPM in depth.
    EXPECT_EQ(point(3, 5), QVector3D(80, 17, 2000));
    EXPECT_EQ(series().texture(), Map3DView::SurfaceTexture(view().Data()));
    app->grid().setCurrentCell(4, 6); // RPM index 3, TP index 5
    ASSERT_TRUE(app->grid().SetCellValue(100, false));
    ASSERT_TRUE(waitFor([&] { return point(3, 5).y() == 100.0f; }));

    // A switch to closed loop keeps the height and turns the cell red.
    const int raw = state().tune.map(MapKey::HOFM).MapValue(3 * N + 5);
    app->grid().CellLoop();
    const int closed = state().tune.map(MapKey::HOFM).MapValue(3 * N + 5);
    ASSERT_NE(raw, closed);
    ASSERT_TRUE(waitFor([&] { return view().Data().colors[3 * N + 5] == CVMapColorInfo::Shared().GetBackColor(closed); }));
    EXPECT_EQ(series().texture(), Map3DView::SurfaceTexture(view().Data()));

    // The dock's close button unticks the item.
    app->map3DView().dock()->close();
    EXPECT_FALSE(act("mnuView3DMap")->isChecked());
}

// The view draws again when it comes back into sight: a window covering it
// goes away, or the main window is shown again.
TEST_F(Map3DViewRender, UncoveringOrShowingAgainAsksTheSurfaceToDraw)
{
    open();
    ASSERT_TRUE(waitFor([&] { return view().graph()->isExposed(); }));
    int before = 0;
    {
        QWidget cover;
        cover.setGeometry(w().frameGeometry().adjusted(-20, -20, 20, 20));
        cover.show();
        ASSERT_TRUE(waitFor([&] { return cover.windowHandle() && cover.windowHandle()->isExposed(); }));
        before = view().UpdateRequests();
    }
    EXPECT_TRUE(waitFor([&] { return view().UpdateRequests() > before; }));
    w().hide();
    before = view().UpdateRequests();
    w().show();
    EXPECT_TRUE(waitFor([&] { return view().UpdateRequests() > before && view().graph()->isExposed(); }));
}

TEST_F(Map3DViewRender, TheLiveCellIsMarkedWhileAcquisitionRuns)
{
    open();
    AcquisitionSample sample;
    sample.acquired = true;
    sample.cells = {{MapKey::HOFM, 6, 9, 0}, {MapKey::HOHGFM, 1, 1, 0}, {MapKey::HOTM, 2, 2, 0}};
    app->map3DView().TakeSample(sample);
    ASSERT_TRUE(waitFor([&] { return series().selectedPoint() == QPoint(6, 9); }));
    EXPECT_EQ(series().texture().pixel(9 * 8 + 4, (N - 1 - 6) * 8 + 4), qRgb(0, 192, 0));

    // The end of real-time mode clears it.
    testlink::GoLive(link());
    link().StopRealTime(state().tune.general().RevLimiter());
    ASSERT_TRUE(waitFor([&] { return !view().Data().liveEntry; }));
    EXPECT_EQ(series().selectedPoint(), QSurface3DSeries::invalidSelectionPosition());
}
