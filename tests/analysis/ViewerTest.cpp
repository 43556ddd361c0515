// The datalog viewer offscreen: opening files, the keys on the cursor, zoom
// and pan (their arithmetic is LogNavigation's); and
// through the main window: the cursor's cells on the grid, the overlay and a
// fuel correction applied to the tune.

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/GridLogMarks.h"
#include "analysis/ui/LogChartView.h"
#include "analysis/ui/FuelCorrectionDialog.h"
#include "analysis/ui/MapOverlayDialog.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapGridView.h"
#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"
#include "daq/CVRTLogger.h"
#include "model/TuneHistory.h"
#include "daq/ui/AcquisitionCommands.h"
#include "editors/ui/UndoAndCompareCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// A log of `count` samples 25 ms apart: RPM climbing 1000 + 10 per sample,
// TP 16 + (i / 20) % 8 * 16, AFR 16.17 throughout.
QByteArray makeLog(int count, char sep = ',')
{
    QByteArray text = "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,Injector Pulsewidth,"
                      "Injector Duty,MAS,AFR\r\n";
    for (int i = 0; i < count; ++i) {
        const int ms = i * 25;
        text += QStringLiteral("2026-12-06 10:%1:%2.%3,%4,%5,10,5,7,3.5,20,2.5,16.17\r\n")
                    .arg(ms / 60000 % 60, 2, 10, QChar('0'))
                    .arg(ms / 1000 % 60, 2, 10, QChar('0'))
                    .arg(ms % 1000, 3, 10, QChar('0'))
                    .arg(1000 + 10 * i)
                    .arg(16 + (i / 20) % 8 * 16)
                    .toLatin1();
    }
    if (sep != ',')
        text.replace(',', sep);
    return text;
}

class ViewerTest : public ::testing::Test
{
protected:
    ViewerTest() : ui{messages, files}, viewer(ui) { viewer.resize(1000, 700); }

    QString writeLog(const QString &name, const QByteArray &text)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testenv::writeFile(path, text));
        return path;
    }

    QTemporaryDir dir;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    UiServices ui;
    DatalogViewer viewer;
};

TEST_F(ViewerTest, OpensALogAndPlotsSpeedLoadAndRatio)
{
    files.queue(writeLog("a.txt", makeLog(400, '\t')));
    viewer.show();
    viewer.chooseAndOpenLog();
    ASSERT_TRUE(viewer.hasLog());
    ASSERT_EQ(viewer.plotCount(), 3);
    EXPECT_EQ(viewer.plottedColumns(), (std::vector<int>{0, 1, 8}));
    EXPECT_DOUBLE_EQ(viewer.viewStart(), 0.0);
    EXPECT_NEAR(viewer.viewEnd(), 399 * 0.025, 1e-9);
    EXPECT_EQ(viewer.findChild<QTableWidget *>("tableCursor")->item(8, 1)->text(), "16.17");
    viewer.setColumnPlotted(7, true);
    EXPECT_EQ(viewer.plotCount(), 4);

    // Keys zoom and pan every plot alike.
    QTest::keyClick(&viewer, Qt::Key_Plus);
    QTest::keyClick(&viewer, Qt::Key_PageDown);
    EXPECT_NEAR(viewer.viewStart(), 399 * 0.025 / 4, 1e-9);
    EXPECT_NEAR(viewer.viewEnd() - viewer.viewStart(), 399 * 0.025 / 2, 1e-9);
    for (int i = 0; i < viewer.plotCount(); ++i) {
        EXPECT_DOUBLE_EQ(viewer.plot(i)->timeAxis()->min(), viewer.viewStart());
        EXPECT_DOUBLE_EQ(viewer.plot(i)->timeAxis()->max(), viewer.viewEnd());
    }
    QTest::keyClick(&viewer, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(viewer.plot(0)->timeAxis()->max(), 399 * 0.025);
}

TEST_F(ViewerTest, CursorMovesByKeys)
{
    ASSERT_TRUE(viewer.openLog(writeLog("b.csv", makeLog(400))));
    viewer.show();
    QSignalSpy moved(&viewer, &DatalogViewer::cursorMoved);
    QTest::keyClick(&viewer, Qt::Key_Right);
    EXPECT_EQ(viewer.cursorRow(), 1);
    QTest::keyClick(&viewer, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(viewer.cursorRow(), 11);
    QTest::keyClick(&viewer, Qt::Key_Left);
    EXPECT_EQ(viewer.cursorRow(), 10);
    ASSERT_EQ(moved.count(), 3);
    EXPECT_FLOAT_EQ(moved.last().at(0).toFloat(), 1100.0f);
    EXPECT_TRUE(viewer.findChild<QLabel *>("lblCursor")->text().contains("Sample 11 at 0.250 s"));

}

TEST_F(ViewerTest, UnreadableFileKeepsTheLogShown)
{
    ASSERT_TRUE(viewer.openLog(writeLog("d.csv", makeLog(10))));
    EXPECT_FALSE(viewer.openLog(dir.filePath("missing.csv")));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(viewer.log().rowCount(), 10u);
    EXPECT_FALSE(viewer.openLog(writeLog("empty.csv", "")));
    EXPECT_EQ(viewer.log().rowCount(), 10u);
    // No running session: says so instead of opening anything.
    viewer.openRunningLog();
    EXPECT_EQ(messages.shown().size(), 3u);
}

// ---- Through the main window ---------------------------------------------------------

class ViewerInWindowTest : public ::testing::Test
{
protected:
    ViewerInWindowTest() : store(dir.filePath("Vantrelle.ini"))
    {
        prefs = std::make_unique<CVUserPrefs>(store);
        app = std::make_unique<MainApplication>(*prefs, messages, files, StartOptions{});
        app->window().Load(QString());
        Tune &t = app->state().tune;
        for (int i = 0; i < 16; ++i) {
            t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i); // 500 .. 8000 RPM
            t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
            t.map(MapKey::TIMINGRPM).SetMapValue(i, 20 + 12 * i);
            t.map(MapKey::TIMINGTP).SetMapValue(i, 10 + 15 * i);
        }
        for (int e = 0; e < 256; ++e)
            t.map(MapKey::HOFM).SetMapValue(e, 10);
        t.map(MapKey::HOFM).SetMapValue(1 * 16 + 1, 200); // closed loop
        // The tune as set up here is where the undo history starts.
        app->undoCompare().history().Reset(true);
    }
    AnalysisCommands &commands() { return app->analysisCommands(); }
    MapGridView &grid() { return *app->grid().grid(); }

    QTemporaryDir dir;
    SettingsStore store;
    std::unique_ptr<CVUserPrefs> prefs;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<MainApplication> app;
};

TEST_F(ViewerInWindowTest, CursorMarksTheCellOfTheMapOnScreen)
{
    const QString path = dir.filePath("e.csv");
    ASSERT_TRUE(testenv::writeFile(path, makeLog(400)));
    app->window().SelectPanel(7);
    files.queue(path);
    app->window().Actions().mnuToolsDatalogViewer->trigger();
    DatalogViewer *viewer = commands().viewer();
    ASSERT_TRUE(viewer);
    viewer->chooseAndOpenLog();
    ASSERT_TRUE(viewer->hasLog());
    // Sample 0: 1000 RPM (raw 20 -> row 1), TP 16 (column 1).
    EXPECT_EQ(grid().markedRow(), 2);
    EXPECT_EQ(grid().markedCol(), 2);
    viewer->setCursorRow(150); // 2500 RPM -> raw 50 -> row 4; TP 16 + 7 * 16 = 128 -> column 8
    EXPECT_EQ(grid().markedRow(), 5);
    EXPECT_EQ(grid().markedCol(), 9);
    // The timing map uses its own axes: raw 50 -> 44 (row 2); TP 128 -> 130 (column 8).
    app->window().SelectPanel(11);
    EXPECT_EQ(grid().markedRow(), 3);
    EXPECT_EQ(grid().markedCol(), 9);
    viewer->close(); // takes its mark away
    EXPECT_EQ(grid().markedRow(), -1);
}

// "Open Running Session Log" reads the logger's running file while the
// logger keeps it open and appending.
TEST_F(ViewerInWindowTest, OpensTheRunningSessionLog)
{
    app->window().Actions().mnuToolsDatalogViewer->trigger();
    DatalogViewer *viewer = commands().viewer();
    ASSERT_TRUE(viewer);
    CVRTLogger &logger = app->acquisitionCommands().logger();
    ASSERT_TRUE(logger.CreateNewLogFile());
    logger.LogEntry(1250, 42.5f, 12, 5, 7, 3.21f, 8.5f);
    logger.LogEntry(1300, 43.0f, 12, 5, 7, 3.3f, 8.75f);
    viewer->findChild<QAction *>("mnuViewerOpenRunning")->trigger();
    ASSERT_TRUE(viewer->hasLog());
    EXPECT_EQ(viewer->logPath(), logger.LogFileName());
    EXPECT_EQ(viewer->log().rowCount(), 2u);
    logger.LogEntry(1350, 44.0f, 12, 5, 7, 3.4f, 9.0f);
    viewer->openRunningLog();
    EXPECT_EQ(viewer->log().rowCount(), 3u);
    EXPECT_TRUE(logger.IsLogOpen());
}

TEST_F(ViewerInWindowTest, OverlayShowsCountsOnTheChosenMapOnly)
{
    const QString path = dir.filePath("f.csv");
    ASSERT_TRUE(testenv::writeFile(path, makeLog(40))); // rows 0..19 TP 16, 20..39 TP 32
    files.queue(path);
    app->window().Actions().mnuToolsMapOverlay->trigger(); // asks for a log first
    QCoreApplication::processEvents();
    auto *dialog = app->window().findChild<MapOverlayDialog *>();
    ASSERT_TRUE(dialog);
    dialog->mapCombo()->setCurrentIndex(dialog->mapCombo()->findData(static_cast<int>(MapKey::HOFM)));
    dialog->columnCombo()->setCurrentIndex(dialog->columnCombo()->findText("RPM"));
    ASSERT_TRUE(dialog->showOverlay());
    app->window().SelectPanel(7);
    // Sample i: raw RPM R(20 + i / 5); up to raw 25 (i <= 27) the nearest
    // axis entry is 20 (25 ties 20 and 30: the lower), row 1; then row 2.
    EXPECT_EQ(grid().cellNote(2, 2), "20"); // i 0..19: row 1, TP 16
    EXPECT_EQ(grid().cellNote(2, 3), "8");  // i 20..27: row 1, TP 32
    EXPECT_EQ(grid().cellNote(3, 3), "12"); // i 28..39: row 2, TP 32
    app->window().SelectPanel(8); // another map: no notes
    EXPECT_EQ(grid().cellNote(2, 2), "");
    app->window().SelectPanel(7);
    dialog->clearOverlay();
    EXPECT_EQ(grid().cellNote(2, 2), "");
}

TEST_F(ViewerInWindowTest, FuelCorrectionAppliesChosenCellsAsOneEdit)
{
    const QString path = dir.filePath("g.csv");
    // 40 samples at 1000 RPM and TP 16 (cell 1,1: closed loop) and 40 at
    // 2000 RPM, TP 48 (cell 3,3), lean at 16.17 against a target of 14.7.
    QByteArray text = "DATE/TIME,RPM,TP,AFR\r\n";
    for (int i = 0; i < 80; ++i)
        text += QStringLiteral("2026-12-06 10:00:%1.%2,%3,%4,16.17\r\n")
                    .arg(i * 25 / 1000, 2, 10, QChar('0'))
                    .arg(i * 25 % 1000, 3, 10, QChar('0'))
                    .arg(i < 40 ? 1000 : 2000)
                    .arg(i < 40 ? 16 : 48)
                    .toLatin1();
    ASSERT_TRUE(testenv::writeFile(path, text));
    FuelCorrection::Settings s;
    s.targets.afr.fill(14.7);
    ASSERT_TRUE(FuelCorrection::SaveSettings(store, s));

    files.queue(path);
    app->window().Actions().mnuToolsFuelCorrection->trigger();
    auto *dialog = app->window().findChild<FuelCorrectionDialog *>();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->compute()); // nothing proposed before the column is chosen
    dialog->afrCombo()->setCurrentIndex(dialog->afrCombo()->findText("AFR"));
    ASSERT_TRUE(dialog->compute());
    const auto &p = dialog->proposal();
    EXPECT_EQ(p.cells[1 * 16 + 1].status, FuelCorrection::CellStatus::ClosedLoop);
    // The jump 16 -> 48 leaves one sample either side out.
    EXPECT_EQ(p.transients, 2u);
    EXPECT_EQ(p.cells[3 * 16 + 3].samples, 39);
    EXPECT_EQ(p.cells[3 * 16 + 3].proposedRaw, 21); // 1.1 x 1.1
    EXPECT_EQ(dialog->proposalGrid()->item(3, 3)->text(), "10 -> 21\n39 (1 out)"); // samples, left out

    // Nothing selected: nothing applied.
    EXPECT_EQ(dialog->applySelected(), 0);
    EXPECT_FALSE(app->state().Modified);
    dialog->selectAllChanges();
    EXPECT_EQ(dialog->proposalGrid()->selectedItems().size(), 1);
    EXPECT_EQ(dialog->applySelected(), 1);
    EXPECT_EQ(app->state().tune.map(MapKey::HOFM).MapValue(3 * 16 + 3), 21);
    EXPECT_EQ(app->state().tune.map(MapKey::HOFM).MapValue(1 * 16 + 1), 200);
    EXPECT_TRUE(app->state().Modified);
    EXPECT_TRUE(app->state().ChangesNotSent);
    // The proposal now starts from the new value.
    EXPECT_EQ(dialog->proposal().cells[3 * 16 + 3].currentRaw, 21);
    // The same samples never correct the cell a second time.
    dialog->selectAllChanges();
    EXPECT_EQ(dialog->applySelected(), 0);
    EXPECT_EQ(app->state().tune.map(MapKey::HOFM).MapValue(3 * 16 + 3), 21);
    // One step of the undo history, taken back by one Undo.
    EXPECT_TRUE(app->undoCompare().history().UndoLabel().contains("Fuel Correction"));
    app->window().Actions().mnuEditUndo->trigger();
    EXPECT_EQ(app->state().tune.map(MapKey::HOFM).MapValue(3 * 16 + 3), 10);
}

} // namespace
