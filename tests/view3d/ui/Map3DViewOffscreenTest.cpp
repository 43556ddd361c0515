// Without OpenGL (the offscreen platform) the 3D view must not create its
// graph: it stays hidden, says why, and keeps following the tune.

#include "support/AppOnBoxTest.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "daq/AcquisitionSample.h"
#include "model/TraceMarks.h"
#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"
#include "view3d/ui/OpenGLSupport.h"

#include <QDockWidget>
#include <QGuiApplication>

TEST(Map3DViewOffscreen, TheViewCreatesNoGraph)
{
    ProgramState state;
    const TraceMarks marks;
    Map3DView view(state, marks, {});
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    EXPECT_FALSE(CheckOpenGL().ok);
    EXPECT_FALSE(view.EnsureGraph());
    EXPECT_FALSE(view.EnsureGraph()) << "asking again is harmless";
    EXPECT_EQ(view.graph(), nullptr);
}

using Map3DViewMenuOffscreen = AppOnBoxTest;

TEST_F(Map3DViewMenuOffscreen, TheMenuItemSaysWhyAndTheDockStaysHidden)
{
    start();
    QAction *item = act("mnuView3DMap");
    QDockWidget *dock = w().findChild<QDockWidget *>("dock3DMapView");
    ASSERT_NE(dock, nullptr);

    for (int attempt = 0; attempt < 2; ++attempt) {
        messages.clear();
        item->trigger();
        EXPECT_EQ(messages.texts(), QStringList{app->map3DView().view()->UnavailableReason()});
        EXPECT_FALSE(item->isChecked() || dock->isVisible());
    }

    // Selecting maps and editing them goes on as before, and so does the live
    // cell.
    Map3DView &view = *app->map3DView().view();
    w().SelectPanel(9);
    app->grid().setCurrentCell(2, 2);
    EXPECT_TRUE(app->grid().SetCellValue(33, false));
    EXPECT_TRUE(waitFor([&] { return view.Data().heights[16 + 1] == 33; }));
    EXPECT_EQ(view.Data().panel, 9);
    AcquisitionSample sample;
    sample.acquired = true;
    sample.cells = {{MapKey::LOFM, 2, 5, 0}};
    view.TakeSample(sample);
    view.RefreshNow();
    EXPECT_EQ(std::pair(view.Data().liveEntry, view.RedrawCount()), std::pair(std::optional<int>(2 * 16 + 5), 0));
}

TEST_F(Map3DViewMenuOffscreen, AWholeNewTuneIsPickedUpAtTheNextSelection)
{
    start();
    Map3DView &view = *app->map3DView().view();
    w().SelectPanel(7);
    ASSERT_TRUE(waitFor([&] { return view.Data().panel == 7; }));
    // A project load or a read replaces the tune and then selects the general
    // panel, which leaves the grid as it was.
    state().tune.map(MapKey::HOFM).SetMapValue(0, 77);
    w().SelectPanel(2);
    EXPECT_TRUE(waitFor([&] { return view.Data().heights[0] == 77; }));
    EXPECT_EQ(view.Data().panel, 7);
}
