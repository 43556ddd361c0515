// Every window and dialog of the program opens within the screen, frame and
// all, and can be made that small: run on a 1280 x 800 laptop screen and on
// a 1920 x 1080 one scaled by 2 (960 x 540 to the program).

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "model/ProjectFile.h"

#include <QScreen>

namespace {

class ScreenFitTest : public AppOnBoxTest
{
protected:
    // The window is on the screen and could be shrunk onto it if it were not.
    void expectFits(QWidget *window)
    {
        const QRect area = window->screen()->availableGeometry();
        SCOPED_TRACE(window->objectName().toStdString() + " on " + std::to_string(area.width()) + "x" +
                     std::to_string(area.height()));
        EXPECT_TRUE(waitFor([&] { return area.contains(window->frameGeometry()); }, 5000))
            << window->frameGeometry().width() << "x" << window->frameGeometry().height();
        const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
        EXPECT_LE(least.width(), area.width());
        EXPECT_LE(least.height(), area.height());
        ++checked;
    }
    int checked = 0;
};

} // namespace

TEST_F(ScreenFitTest, EveryWindowAndDialogFitsTheScreen)
{
    Tune tune;
    ASSERT_TRUE(WriteProjectFile(dir.filePath("a.vnt"), tune));
    ASSERT_TRUE(testenv::writeFile(dir.filePath("run.csv"), "DATE/TIME,RPM,TP,AFR\r\n"
                                                            "2026-01-01 00:00:00.000,1000,16,14\r\n"
                                                            "2026-01-01 00:00:00.100,1100,18,14.5\r\n"));
    start(dir.filePath("a.vnt"));
    w().show();
    expectFits(&w());
    // Modal ones are checked while they are up.
    for (const char *name : {"mnuOptionsSettings", "mnuToolsMapCopy", "mnuToolsStagedRevLimiter",
                             "mnuDataLoggingSettings", "mnuHelpAbout"}) {
        OnNextModal(QString(), [this](QWidget *dialog) {
            expectFits(dialog);
            dialog->close();
        });
        act(name)->trigger();
    }
    EXPECT_EQ(checked, 6);
    files.queue(dir.filePath("run.csv"));
    files.queue(dir.filePath("a.vnt"));
    for (const char *name : {"mnuToolsDatalogViewer", "mnuToolsMapOverlay", "mnuToolsFuelCorrection",
                             "mnuToolsCompareProject", "mnuViewGauges", "mnuHelpContents", "mnuViewerScatter"})
        act(name)->trigger();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window != &w())
            expectFits(window);
    EXPECT_EQ(checked, 13);
}
