// The datalog viewer offscreen: opening files, the keys on the cursor, zoom
// and pan (their arithmetic is LogNavigation's); and through the main window:
// the cursor's cells on the grid and a fuel correction.

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/GridLogMarks.h"
#include "analysis/ui/LogChartView.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "analysis/ui/FuelCorrectionDialog.h"
#include "editors/ui/MapGridView.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"
#include "model/TuneHistory.h"
#include "editors/ui/CompareCommands.h"
#include "editors/ui/UndoCommands.h"
#include "shell/frmMain.h"
#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include <cmath>
#include <functional>
#include <QLabel>
#include <QValueAxis>
#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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

// count samples 25 ms apart, the first half at 1000 RPM and TP 16 (cell 1,1
// on risingAxes(t, 20, 12, 10, 15)), the second at 2000 RPM, TP 48 (cell
// 3,3), lean at 16.17 throughout.
QByteArray leanLog(int count)
{
    QByteArray text = "DATE/TIME,RPM,TP,AFR\r\n";
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("2026-12-06 10:00:%1.%2,%3,%4,16.17\r\n")
                    .arg(i * 25 / 1000, 2, 10, QChar('0'))
                    .arg(i * 25 % 1000, 3, 10, QChar('0'))
                    .arg(i < count / 2 ? 1000 : 2000)
                    .arg(i < count / 2 ? 16 : 48)
                    .toLatin1();
    return text;
}

class ViewerTest : public ::testing::Test
{
protected:
    ViewerTest() : ui{messages, files}, viewer(ui, {}) { viewer.resize(1000, 700); }

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
    ASSERT_EQ(std::pair(viewer.plotCount(), viewer.plottedColumns()), std::pair(3, std::vector<int>{0, 1, 8}));
    EXPECT_EQ(viewer.findChild<QTableWidget *>("tableCursor")->item(8, 1)->text(), "16.17");
    viewer.setColumnPlotted(7, true);

    // Keys move the cursor, zoom and pan every plot alike.
    QSignalSpy moved(&viewer, &DatalogViewer::cursorMoved);
    QTest::keyClick(&viewer, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(std::pair(viewer.cursorRow(), moved.count()), std::pair(std::ptrdiff_t(10), qsizetype(1)));
    EXPECT_FLOAT_EQ(moved.last().at(0).toFloat(), 1100.0f);
    QTest::keyClick(&viewer, Qt::Key_Plus);
    QTest::keyClick(&viewer, Qt::Key_PageDown);
    EXPECT_EQ(viewer.cursorRow(), 50); // a second on
    EXPECT_NEAR(viewer.viewStart(), 0.125, 1e-9); // halved about the cursor
    EXPECT_NEAR(viewer.viewEnd() - viewer.viewStart(), 399 * 0.025 / 2, 1e-9);
    // Every axis ticks on round numbers.
    const auto round = [](double step) {
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9;
    };
    for (int i = 0; i < viewer.plotCount(); ++i) {
        EXPECT_EQ(std::pair(viewer.plot(i)->timeAxis()->min(), viewer.plot(i)->timeAxis()->max()),
                  std::pair(viewer.viewStart(), viewer.viewEnd()));
        for (QValueAxis *axis : {viewer.plot(i)->timeAxis(), viewer.plot(i)->valueAxis()})
            EXPECT_TRUE(axis->tickType() == QValueAxis::TicksDynamic && round(axis->tickInterval()))
                << axis->tickInterval();
    }
}

TEST_F(ViewerTest, UnreadableFileKeepsTheLogShown)
{
    ASSERT_TRUE(viewer.openLog(writeLog("d.csv", makeLog(10))));
    EXPECT_FALSE(viewer.openLog(dir.filePath("missing.csv")) || viewer.openLog(writeLog("empty.csv", "")));
    EXPECT_EQ(viewer.log().rowCount(), 10u);
}

// Opening reads on another thread; a Cancel, a close or a second open
// while it runs leaves the log shown before, plots and cursor included.
TEST_F(ViewerTest, CancelledOpenKeepsTheLogShownAndAFinishedOneEqualsADirectRead)
{
    const QString first = writeLog("first.csv", makeLog(30));
    const QString second = writeLog("second.csv", makeLog(500, '\t'));
    ASSERT_TRUE(viewer.openLog(first));
    viewer.setCursorRow(7);
    const QString summary = viewer.loadSummary();
    for (const auto &stop : std::vector<std::function<void()>>{[this] { viewer.cancelOpening(); },
                                                               [this] { viewer.close(); }}) {
        const auto c = QObject::connect(&viewer, &DatalogViewer::openingStarted, stop);
        EXPECT_FALSE(viewer.openLog(second));
        QObject::disconnect(c);
        EXPECT_EQ(std::tuple(viewer.logPath(), viewer.log().rowCount(), viewer.cursorRow(), viewer.plotCount()),
                  std::tuple(first, std::size_t(30), std::ptrdiff_t(7), 3));
        EXPECT_EQ(viewer.loadSummary(), summary);
    }
    bool refused = false;
    const auto c = QObject::connect(&viewer, &DatalogViewer::openingStarted,
                                    [&] { refused = !viewer.openLog(first) && viewer.opening(); });
    ASSERT_TRUE(viewer.openLog(second));
    QObject::disconnect(c);
    EXPECT_TRUE(refused && !viewer.opening());
    DataLogReport report;
    const DataLog direct = ReadDataLog(second, &report);
    EXPECT_EQ(std::tuple(viewer.log().time, viewer.log().names, viewer.log().columns),
              std::tuple(direct.time, direct.names, direct.columns));
    EXPECT_EQ(viewer.loadSummary(), "Started 2026-12-06 10:00:00.000; " + report.summary());
}

TEST_F(ViewerTest, FollowsTheRunningLogAsItGrows)
{
    const QString path = writeLog("run.csv", makeLog(40));
    DatalogViewer following(ui, [path] { return path; });
    ASSERT_TRUE(following.followRunningLog(true));
    following.setColumnPlotted(8, false);
    following.setCursorRow(39);
    // Lines 40..59 written since: shown, the cursor staying on the last line.
    QByteArray more = makeLog(60);
    ASSERT_TRUE(testenv::writeFile(path, more));
    following.readFollowedLog();
    EXPECT_EQ(std::tuple(following.log().rowCount(), following.cursorRow(), following.plotCount()),
              std::tuple(std::size_t(60), std::ptrdiff_t(59), 2));
    // A log cut short (a new run's) is not shown over the longer one.
    ASSERT_TRUE(testenv::writeFile(path, makeLog(5)));
    following.readFollowedLog();
    EXPECT_EQ(following.log().rowCount(), 60u);
}

// Following the running log: each result comes from the lines written by
// then, computed off this thread; a setting changed while a job ran is never
// shown with that job's result.
TEST_F(ViewerTest, TheCorrectionFollowsTheRunningLogWithTheSettingsOfTheMoment)
{
    const QString path = writeLog("run.csv", leanLog(80));
    files.queue(path);
    viewer.chooseAndOpenLog(); // its columns are the ones to choose from
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    FuelCorrection::Settings s;
    s.targets.afr.fill(14.7);
    s.afrColumn = "AFR";
    ASSERT_TRUE(FuelCorrection::SaveSettings(store, s));
    ProgramState state;
    testenv::risingAxes(state.tune, 20, 12, 10, 15);
    for (int e = 0; e < 256; ++e)
        state.tune.map(MapKey::HOFM).SetMapValue(e, 10);
    FuelCorrection::AppliedCells applied;
    FuelCorrectionDialog dialog(state, store, viewer, applied, {}, [path] { return path; });
    QSignalSpy computed(&dialog, &FuelCorrectionDialog::followedComputed);
    const auto cell = [&dialog] { return dialog.proposal().cells[3 * 16 + 3]; };

    ASSERT_TRUE(dialog.followRunningLog(true));
    ASSERT_TRUE(computed.wait(30000));
    EXPECT_EQ(std::tuple(dialog.proposal().rows, cell().status, cell().proposedRaw),
              std::tuple(std::size_t(80), FuelCorrection::CellStatus::Proposed, 21));

    ASSERT_TRUE(testenv::writeFile(path, leanLog(160)));
    dialog.compute();                   // at once, not at the next tick
    dialog.minSamplesSpin()->setValue(500); // while that job runs
    ASSERT_TRUE(computed.wait(30000));
    EXPECT_EQ(computed.count(), 2);
    EXPECT_EQ(std::tuple(dialog.proposal().rows, cell().status, cell().samples),
              std::tuple(std::size_t(160), FuelCorrection::CellStatus::TooFewSamples, 79));
    // A cell locked while a job runs is locked in what is shown after it.
    dialog.minSamplesSpin()->setValue(10);
    dialog.compute();
    dialog.proposalGrid()->setCurrentCell(3, 3);
    dialog.lockSelected(true);
    ASSERT_TRUE(computed.wait(30000));
    EXPECT_EQ(cell().status, FuelCorrection::CellStatus::Locked);
    // Stopping to follow drops the job on its way: nothing comes after it.
    dialog.compute();
    dialog.followRunningLog(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(computed.count(), 3);
}

// ---- Through the main window ---------------------------------------------------------

class ViewerInWindowTest : public AppOnBoxTest
{
protected:
    void SetUp() override
    {
        start();
        Tune &t = app->state().tune;
        testenv::risingAxes(t, 20, 12, 10, 15);
        for (int e = 0; e < 256; ++e)
            t.map(MapKey::HOFM).SetMapValue(e, 10);
        t.map(MapKey::HOFM).SetMapValue(1 * 16 + 1, 200); // closed loop
        // The tune as set up here is where the undo history starts.
        app->undo().history().Reset(true);
    }
    AnalysisCommands &commands() { return app->analysisCommands(); }
    MapGridView &grid() { return *app->grid().grid(); }
};

TEST_F(ViewerInWindowTest, CursorMarksTheCellOfTheMapOnScreen)
{
    const QString path = dir.filePath("e.csv");
    ASSERT_TRUE(testenv::writeFile(path, makeLog(400)));
    app->window().SelectPanel(7);
    files.queue(path);
    act("mnuToolsDatalogViewer")->trigger();
    DatalogViewer *viewer = commands().viewer();
    ASSERT_TRUE(viewer);
    viewer->chooseAndOpenLog();
    // Sample 0: 1000 RPM (raw 20 -> row 1), TP 16 (column 1).
    EXPECT_EQ(std::pair(grid().markedRow(), grid().markedCol()), std::pair(2, 2));
    viewer->setCursorRow(150); // 2500 RPM -> raw 50 -> row 4; TP 16 + 7 * 16 = 128 -> column 8
    EXPECT_EQ(std::pair(grid().markedRow(), grid().markedCol()), std::pair(5, 9));
    // The timing map uses its own axes: raw 50 -> 44 (row 2); TP 128 -> 130 (column 8).
    app->window().SelectPanel(11);
    EXPECT_EQ(std::pair(grid().markedRow(), grid().markedCol()), std::pair(3, 9));
    viewer->close(); // takes its mark away
    EXPECT_EQ(grid().markedRow(), -1);
}

TEST_F(ViewerInWindowTest, FuelCorrectionAppliesChosenCellsAsOneEdit)
{
    // Cell 1,1 is closed loop; cell 3,3 is lean against a target of 14.7.
    const QString path = dir.filePath("g.csv");
    ASSERT_TRUE(testenv::writeFile(path, leanLog(80)));
    FuelCorrection::Settings s;
    s.targets.afr.fill(14.7);
    ASSERT_TRUE(FuelCorrection::SaveSettings(store, s));

    files.queue(path);
    act("mnuToolsFuelCorrection")->trigger();
    auto *dialog = app->window().findChild<FuelCorrectionDialog *>();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->compute()); // nothing proposed before the column is chosen
    dialog->afrCombo()->setCurrentIndex(dialog->afrCombo()->findText("AFR"));
    ASSERT_TRUE(dialog->compute());
    EXPECT_EQ(dialog->proposalGrid()->item(3, 3)->text(), "10 -> 21\n39 (1 out)"); // 1.1 x 1.1; the jump's sample out

    EXPECT_EQ(dialog->applySelected(), 0) << "nothing selected";
    // A cell the tuner changed after the proposal keeps the tuner's value
    // and is proposed again from it.
    CVMapInfo &fuel = app->state().tune.map(MapKey::HOFM);
    fuel.SetMapValue(3 * 16 + 3, 12);
    dialog->selectAllChanges();
    EXPECT_EQ(dialog->applySelected(), 0);
    EXPECT_EQ(fuel.MapValue(3 * 16 + 3), 12);
    EXPECT_TRUE(dialog->statusLabel()->text().contains("left as they are")) << dialog->statusLabel()->text().toStdString();
    fuel.SetMapValue(3 * 16 + 3, 10);
    ASSERT_TRUE(dialog->compute());
    dialog->selectAllChanges();
    EXPECT_EQ(dialog->applySelected(), 1);
    EXPECT_EQ(std::pair(app->state().tune.map(MapKey::HOFM).MapValue(3 * 16 + 3), app->state().Modified()),
              std::pair(21, true));
    // The same samples never correct the cell a second time.
    dialog->selectAllChanges();
    EXPECT_EQ(dialog->applySelected(), 0);
    // One step of the undo history, taken back by one Undo.
    EXPECT_TRUE(app->undo().history().UndoLabel().contains("Fuel Correction"));
    act("mnuEditUndo")->trigger();
    EXPECT_EQ(app->state().tune.map(MapKey::HOFM).MapValue(3 * 16 + 3), 10);

    // Nor after a restart: the history remembers the samples spent, and the
    // dialog says which cells were corrected from this log.
    SetUp();
    files.queue(path);
    act("mnuToolsFuelCorrection")->trigger();
    dialog = app->window().findChild<FuelCorrectionDialog *>();
    ASSERT_TRUE(dialog);
    dialog->afrCombo()->setCurrentIndex(dialog->afrCombo()->findText("AFR"));
    ASSERT_TRUE(dialog->compute());
    EXPECT_TRUE(dialog->findChild<QLabel *>("lblStatus")->text().contains("1 cells were already corrected"));
    dialog->selectAllChanges();
    EXPECT_EQ(dialog->applySelected(), 0);
}

} // namespace
