// A log played back through the whole application: the viewer's cursor
// drives the grid's live cell, the strip and the status bar; cursors A and B
// give the differences and the range of the overlay; playback and
// real-time mode end each other.

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/CursorReadout.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/GridLogMarks.h"
#include "analysis/ui/LogScatterWindow.h"
#include "analysis/ui/MapOverlayDialog.h"
#include "analysis/ui/PlaybackCommands.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapGridView.h"
#include "shell/frmMain.h"
#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <numeric>

namespace {

// 400 samples 25 ms apart: RPM 1000 + 10 i, TP 16 + (i / 20) % 8 * 16.
QByteArray makeLog()
{
    QByteArray text = "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,Injector Pulsewidth,"
                      "Injector Duty,MAS,AFR\r\n";
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("2026-12-06 10:00:%1.%2,%3,%4,10,5,7,3.5,20,2.5,%5\r\n")
                    .arg(i * 25 / 1000, 2, 10, QChar('0'))
                    .arg(i * 25 % 1000, 3, 10, QChar('0'))
                    .arg(1000 + 10 * i)
                    .arg(16 + (i / 20) % 8 * 16)
                    .arg(14 + i % 3)
                    .toLatin1();
    return text;
}

class PlaybackViewTest : public AppOnBoxTest
{
protected:
    DatalogViewer &openViewer()
    {
        testenv::risingAxes(state().tune, 20, 12, 10, 15);
        const QString path = dir.filePath("p.csv");
        EXPECT_TRUE(testenv::writeFile(path, makeLog()));
        act("mnuToolsDatalogViewer")->trigger();
        DatalogViewer *viewer = app->analysisCommands().viewer();
        EXPECT_TRUE(viewer && viewer->openLog(path));
        return *viewer;
    }
    QAction *viewerAction(DatalogViewer &viewer, const char *name)
    {
        return viewer.findChild<QAction *>(QLatin1String(name));
    }
    MapGridView &grid() { return *app->grid().grid(); }
    QLabel *label(const char *name) { return w().findChild<QLabel *>(QLatin1String(name)); }
};

} // namespace

TEST_F(PlaybackViewTest, TheCursorDrivesTheLiveCellStripAndStatus)
{
    start();
    DatalogViewer &viewer = openViewer();
    w().SelectPanel(7);
    ASSERT_TRUE(viewerAction(viewer, "actViewerPlayback")->isEnabled());
    viewerAction(viewer, "actViewerPlayback")->trigger();
    ASSERT_TRUE(app->playback().Active());
    // Sample 0: 1000 RPM (raw 20 -> row 1), TP 16 (column 1), framed as live.
    EXPECT_EQ(std::pair(grid().liveRow(), grid().liveCol()), std::pair(2, 2));
    EXPECT_TRUE(label("lblRTStatus")->text().startsWith("Playback"));
    EXPECT_FALSE(label("lblPlayback")->isHidden());
    viewer.setCursorRow(150); // 2500 RPM -> row 4; TP 128 -> column 8
    EXPECT_EQ(std::pair(grid().liveRow(), grid().liveCol()), std::pair(5, 9));

    // Cursors A and B: the time and every column's difference between them.
    viewer.setMarks(0, 150);
    EXPECT_EQ(viewer.readout()->deltaLabel()->text(), "A to B: 3.750 s");
    EXPECT_EQ(viewer.readout()->table()->item(0, 4)->text(), "1500");
    // The window is the overlay's range when asked.
    MapOverlayDialog *overlay = app->analysisCommands().ShowMapOverlay();
    ASSERT_TRUE(overlay && overlay->windowCheck()->isChecked());
    ASSERT_TRUE(overlay->showOverlay());
    const auto &counts = app->analysisCommands().marks().overlay()->counts;
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0), 151);
    // Time in each cell as a heat layer: the longest-held cell is the hottest.
    overlay->findChild<QRadioButton *>("radioTime")->setChecked(true);
    ASSERT_TRUE(overlay->showOverlay());
    double hottest = 0;
    for (int r = 1; r <= 16; ++r)
        for (int c = 1; c <= 16; ++c)
            hottest = std::max(hottest, grid().cellHeat(r, c));
    EXPECT_EQ(hottest, 1.0);
    EXPECT_TRUE(grid().cellHeat(2, 2) > 0 && grid().cellHeat(16, 16) == 0);
    // And the scatter's: the ratio against speed, A to B only.
    LogScatterWindow *scatter = app->analysisCommands().ShowScatter();
    ASSERT_TRUE(scatter);
    EXPECT_EQ(std::pair(scatter->xCombo()->currentText(), scatter->yCombo()->currentText()),
              std::pair(QStringLiteral("RPM"), QStringLiteral("AFR")));
    const ScatterPoints::Image &points = scatter->canvas()->image();
    EXPECT_EQ(std::pair(points.x.low, points.x.high), std::pair(1000.0, 2600.0)); // on steps of 200

    viewerAction(viewer, "actViewerPlayback")->trigger();
    EXPECT_TRUE(label("lblPlayback")->isHidden());
    viewer.setCursorRow(0);
    EXPECT_EQ(std::pair(grid().liveRow(), grid().liveCol()), std::pair(5, 9)) << "no longer driven";
}

TEST_F(PlaybackViewTest, PlaybackAndRealTimeModeEndEachOther)
{
    startOnBox({}, true);
    connectBox();
    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    DatalogViewer &viewer = openViewer();
    const int framesBefore = box->logLines().size();

    viewerAction(viewer, "actViewerPlay")->trigger(); // play starts playback
    EXPECT_TRUE(app->playback().Active() && app->playback().Playing());
    EXPECT_FALSE(link().RealTimeEnabled());
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith("Real-time mode ended"));
    for (int row = 0; row < 400; row += 7)
        viewer.setCursorRow(row);

    messages.queue(MsgAnswer::No); // "Do you wish to save the last datalog?"
    act("mnuOptionsRealTime")->trigger();
    EXPECT_TRUE(link().RealTimeEnabled());
    EXPECT_FALSE(app->playback().Active() || app->playback().Playing());
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith("Playback ended"));
    EXPECT_FALSE(viewerAction(viewer, "actViewerPlayback")->isChecked());
    act("mnuOptionsRealTime")->trigger();
    // Only the switches of the mode reached the box: nothing played back did.
    EXPECT_TRUE((framesStartingWith("77") + framesStartingWith("57")).isEmpty())
        << box->logLines().mid(framesBefore).join(' ').toStdString();
}
