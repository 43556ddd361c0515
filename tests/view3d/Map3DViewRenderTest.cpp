// The 3D map view on a real X server with OpenGL (Xvfb with Mesa): the
// graph comes up, shows the selected map with its axes and colours, follows
// grid edits and marks the live cell. Run through xvfb-run by CTest; skipped
// with a message where no X server is at hand.

#include "support/AppOnBoxTest.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/CVMapColorInfo.h"
#include "daq/AcquisitionSample.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

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
        for (int i = 0; i < N; ++i) {
            t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
            t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        }
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
        w().Actions().mnuView3DMap->trigger();
        ASSERT_TRUE(messages.shown().empty()) << messages.shown()[0].text.toStdString();
        ASSERT_TRUE(view().HasGraph());
        ASSERT_TRUE(view().graph()->hasContext());
        ASSERT_TRUE(waitFor([&] { return series().dataProxy()->rowCount() == N; }));
    }
    QVector3D point(int rpmIndex, int tpIndex) { return series().dataProxy()->itemAt(rpmIndex, tpIndex)->position(); }
};

} // namespace

TEST_F(Map3DViewRender, TheMenuOpensTheDockWithTheSelectedMap)
{
    open();
    QDockWidget *dock = app->map3DView().dock();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(w().Actions().mnuView3DMap->isChecked());
    EXPECT_EQ(series().dataProxy()->columnCount(), N);
    // Load across, display value up, RPM in depth.
    EXPECT_EQ(point(0, 0), QVector3D(0, 0, 500));
    EXPECT_EQ(point(3, 5), QVector3D(80, 17, 2000));
    EXPECT_EQ(point(15, 15), QVector3D(240, 75, 8000));
    EXPECT_EQ(series().texture(), Map3DView::SurfaceTexture(view().Data()));

    // Unticking hides it; the dock's close button unticks the item.
    w().Actions().mnuView3DMap->trigger();
    EXPECT_FALSE(dock->isVisible());
    w().Actions().mnuView3DMap->trigger();
    EXPECT_TRUE(dock->isVisible());
    dock->close();
    EXPECT_FALSE(w().Actions().mnuView3DMap->isChecked());
}

TEST_F(Map3DViewRender, ItFollowsEditsAndTheSelectedMap)
{
    open();
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

    // Another map: its own axes and values.
    for (int i = 0; i < N; ++i) {
        state().tune.map(MapKey::TIMINGRPM).SetMapValue(i, 20 + 8 * i);
        state().tune.map(MapKey::TIMINGTP).SetMapValue(i, 10 + 10 * i);
    }
    state().tune.map(MapKey::LOTM).SetMapValue(0, 130);
    w().SelectPanel(12);
    ASSERT_TRUE(waitFor([&] { return view().Data().panel == 12 && point(0, 0) == QVector3D(10, 2, 1000); }));
}

TEST_F(Map3DViewRender, TheLiveCellIsMarkedWhileAcquisitionRuns)
{
    open();
    AcquisitionSample sample;
    sample.acquired = true;
    sample.cells = {{MapKey::HOFM, 6, 9, 0}, {MapKey::HOHGFM, 1, 1, 0}, {MapKey::HOTM, 2, 2, 0}};
    app->map3DView().TakeSample(sample);
    ASSERT_TRUE(waitFor([&] { return series().selectedPoint() == QPoint(6, 9); }));
    EXPECT_EQ(view().Data().colors[6 * N + 9], CVMapColorInfo::TraceColor);
    const QImage texture = series().texture();
    EXPECT_EQ(texture.pixel(9 * 8 + 4, (N - 1 - 6) * 8 + 4), qRgb(0, 192, 0));

    // The next tick moves it.
    sample.cells = {{MapKey::HOFM, 7, 9, 0}};
    app->map3DView().TakeSample(sample);
    ASSERT_TRUE(waitFor([&] { return series().selectedPoint() == QPoint(7, 9); }));
    EXPECT_NE(view().Data().colors[6 * N + 9], CVMapColorInfo::TraceColor);

    // A failed tick changes nothing; the end of real-time mode clears it.
    AcquisitionSample failed;
    failed.status = "LabJack error";
    app->map3DView().TakeSample(failed);
    QAction *realTime = w().Actions().mnuOptionsRealTime;
    realTime->setChecked(true);
    realTime->setChecked(false);
    ASSERT_TRUE(waitFor([&] { return !view().Data().liveEntry; }));
    EXPECT_EQ(series().selectedPoint(), QSurface3DSeries::invalidSelectionPosition());
}
