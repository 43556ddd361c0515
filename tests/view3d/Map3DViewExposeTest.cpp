// The 3D map view draws again when it comes back into sight: a window
// covering it goes away, or the main window is shown again. Needs an X
// server (run through xvfb-run by CTest).

#include "support/AppOnBoxTest.h"

#include "view3d/ui/Map3DView.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QAction>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtDataVisualization/Q3DSurface>

namespace {

class Map3DViewExpose : public AppOnBoxTest
{
};

TEST_F(Map3DViewExpose, UncoveringOrShowingAgainAsksTheSurfaceToDraw)
{
    if (qEnvironmentVariableIsSet("VANTRELLE_NO_XVFB") || QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server with OpenGL: run through xvfb-run";
    start();
    w().resize(1200, 800);
    w().show();
    w().SelectPanel(7);
    w().Actions().mnuView3DMap->trigger();
    Map3DView &view = *app->map3DView().view();
    ASSERT_TRUE(view.HasGraph());
    ASSERT_TRUE(waitFor([&] { return view.graph()->isExposed(); }));

    // Another window over the whole main window, then gone.
    int before = 0;
    {
        QWidget cover;
        cover.setGeometry(w().frameGeometry().adjusted(-20, -20, 20, 20));
        cover.show();
        ASSERT_TRUE(waitFor([&] { return cover.windowHandle() && cover.windowHandle()->isExposed(); }));
        before = view.UpdateRequests();
    }
    EXPECT_TRUE(waitFor([&] { return view.UpdateRequests() > before; }));

    // Hidden and shown again.
    w().hide();
    before = view.UpdateRequests();
    w().show();
    EXPECT_TRUE(waitFor([&] { return view.UpdateRequests() > before && view.graph()->isExposed(); }));
}

} // namespace
