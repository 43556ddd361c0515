// The live-data widgets of the main window without a box: the strip after
// ticks, the trace on the grid and table panels, the data log's menu flows
// and what the DAQ setup panel refuses to delete. The rules behind them are
// tested on their own (TickTest, DAQInputsTest, LoggerTest).

#include "daq/CVRTLogger.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "daq/ui/AcquisitionCommands.h"
#include "daq/ui/CVDAQSetupDlg.h"
#include "daq/ui/RealTimeStripView.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/TablePanel.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/StockPrograms.h"
#include "platform/SettingsStore.h"
#include "model/TraceMarks.h"
#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class DaqUiTest : public AppOnBoxTest
{
protected:
    void addInput(const QString &name, int channel, int type, const QString &formula = QString())
    {
        ASSERT_TRUE(preferences().daq.AddDAQInput(DAQInputRecord{.name = name, .channel = channel, .inputType = type,
                                                                 .scalingFormula = formula, .thresholdsEnabled = true,
                                                                 .warningThreshold = 10, .criticalThreshold = 20}));
    }
    void start()
    {
        StartOptions options;
        options.simulatedDaq = true;
        AppOnBoxTest::start(QString(), options);
        const StockImageResult stock = LoadStockImage(105);
        ASSERT_EQ(stock.status, StockImageResult::Ok);
        TuneFromImage(stock.image, state().tune);
    }
    AcquisitionCommands &acq() { return app->acquisitionCommands(); }
    SimulatedU12Driver &sim() { return dynamic_cast<SimulatedU12Driver &>(app->daqDriver()); }
    RealTimeStripView &strip() { return *acq().strip(); }
    bool shown(QWidget *widget) { return widget->isVisibleTo(&strip()); }
    QString text(const char *label) { return strip().label(label)->text(); }
    CVDAQSetupDlg &panel() { return app->daqSetup(); }
    void realTimeOn() { testlink::GoLive(link()); }
    void realTimeOff() { link().StopRealTime(state().tune.general().RevLimiter()); }
};

} // namespace

TEST_F(DaqUiTest, TheStripShowsRowsPicturesAndColours)
{
    addInput("EGT", 3, CVDAQInput::SingleEnded, "20.1");
    addInput("Brake", 1, CVDAQInput::Digital);
    addInput("Launch", 0, CVDAQInput::Digital);
    start();
    sim().ForceLine(0, true);
    sim().ForceLine(1, false);
    acq().Tick();
    EXPECT_TRUE(strip().valueLabel(0)->text() == "20.1"
                && RealTimeStripView::TextColorOf(strip().valueLabel(0)) == CVDAQInput::DefaultCriticalColor);
    EXPECT_TRUE(shown(strip().onPicture(1)) && !shown(strip().offPicture(1)) && !shown(strip().valueLabel(1)));
    EXPECT_TRUE(shown(strip().offPicture(2)) && !shown(strip().onPicture(2)));
    EXPECT_FALSE(shown(strip().inputLabel(3))) << "rows not filled are hidden";
}

TEST_F(DaqUiTest, TraceReachesTheVisibleGridAndTheTablePanelsUntilCleared)
{
    start();
    const QColor green(0, 192, 0);
    const MapTrace &map = app->marks().Of(MapKey::HOFM);
    const auto current = [&] {
        return app->grid().gridModel()->background(map.LastRPMIndex() + 1, map.LastTPIndex() + 1);
    };
    const auto markedBoxes = [&](int index) {
        int n = 0;
        for (const FieldEdit *box : w().Container(index)->findChildren<FieldEdit *>())
            n += TablePanel::IsMarked(box);
        return n;
    };
    w().ShowPanel(PanelIndex::HOFM, true);
    for (int i = 0; i < 120; ++i) // into the simulated engine's pull, where it has load
        acq().Tick();
    EXPECT_EQ(current(), green);
    for (int panel : {PanelIndex::TTPMaps, PanelIndex::IgnitionDuty, PanelIndex::VQ})
        EXPECT_GE(markedBoxes(panel), 1) << panel;

    act("mnuDataLogClear")->trigger();
    EXPECT_NE(current(), green);
    EXPECT_EQ(markedBoxes(PanelIndex::TTPMaps), 0);
}

// A failed write is told once and shown on the strip; the next switch-on asks
// about the samples kept, saves them when told, and logs afresh.
TEST_F(DaqUiTest, AFailedLogWriteIsToldOnceAndItsSamplesOfferedAtTheNextSwitchOn)
{
    preferences().daq.SetDAQSampleRate(40);
    start();
    realTimeOn();
    EXPECT_EQ(acq().timer()->interval(), 40);
    acq().Tick();
    acq().Tick();
    ASSERT_TRUE(QFile::remove(acq().logger().LogFileName()));
    for (int i = 0; i < 5; ++i)
        acq().Tick();
    ASSERT_EQ(messages.shown().size(), 1u) << "told once, not once per tick";
    EXPECT_TRUE(messages.shown()[0].text.startsWith("The datalog could not be written: "));
    EXPECT_TRUE(text("lblRTStatus").startsWith("Receiving data. Datalog stopped: ")) << text("lblRTStatus").toStdString();
    realTimeOff();
    EXPECT_FALSE(acq().timer()->isActive());
    const QString kept = dir.filePath("kept.csv");
    messages.queue(MsgAnswer::Yes);
    files.queue(kept);
    realTimeOn();
    EXPECT_EQ(messages.texts().last(), "Do you wish to save the last datalog?");
    EXPECT_EQ(QString::fromUtf8(testenv::readFile(kept)).split("\r\n", Qt::SkipEmptyParts).size(), 3);
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    realTimeOff();
}

// File > Exit while real-time mode logs, Yes to the datalog: the ticks that
// come while the save dialog is up go into the log; a cancelled save leaves
// logging as it was; a save copies every whole line, theirs included.
TEST_F(DaqUiTest, ExitWhileLoggingNeverStopsTheLog)
{
    start();
    realTimeOn();
    acq().timer()->stop(); // the test makes the ticks
    acq().Tick();
    files.whileOpen = [&] {
        acq().Tick();
        acq().Tick();
    };
    const QString saved = dir.filePath("exit.csv");
    for (const QString &answer : {QString(), saved}) {
        messages.clear();
        messages.queue(MsgAnswer::Yes);
        files.queue(answer);
        EXPECT_EQ(w().close(), !answer.isEmpty());
        EXPECT_EQ(messages.texts(), QStringList{"Do you wish to save the last datalog?"});
        EXPECT_TRUE(acq().logger().IsRecording() && acq().logger().StoppedReason().isEmpty());
        acq().Tick();
        EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    }
    EXPECT_EQ(QString::fromUtf8(testenv::readFile(saved)).split("\r\n", Qt::SkipEmptyParts).size(), 1 + 6);
    EXPECT_EQ(acq().logger().Samples(), 7) << "the log goes on after the save";
    files.whileOpen = nullptr;
}

// A tick that comes due while the unit still answers the last is skipped and
// counted, never queued; one still answering when real-time mode ends, or
// overtaken by a whole tick, reaches neither the views nor the log.
TEST_F(DaqUiTest, ATickDueWhileTheUnitAnswersIsSkippedAndOneCutByAStopIsDropped)
{
    start();
    realTimeOn();
    acq().timer()->stop(); // the test makes the ticks
    int samples = 0;
    QObject::connect(&acq(), &AcquisitionCommands::sampleTaken, [&] { ++samples; });
    const auto answered = [&] {
        while (acq().Acquiring())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    for (int i = 0; i < 3; ++i)
        acq().TimerDue();
    answered();
    EXPECT_EQ(std::tuple(samples, acq().health().Skipped(), acq().logger().Samples()), std::tuple(1, 2, qint64(1)));
    // A whole tick overtakes the cycle in flight, whose older answer goes.
    acq().TimerDue();
    acq().Tick();
    answered();
    EXPECT_EQ(samples, 2);
    acq().TimerDue();
    realTimeOff();
    answered();
    EXPECT_EQ(std::pair(samples, acq().logger().Samples()), std::pair(2, qint64(2)));
}

// Delete: never "MAS", never the staged rev limiter's input, only after Yes.
TEST_F(DaqUiTest, SetupPanelDeletesOnlyWhatNothingNeeds)
{
    addInput("EGT", 4, CVDAQInput::SingleEnded);
    addInput("Launch", 3, CVDAQInput::Digital);
    preferences().daq.SetStagedRevLimiterEnabled(true);
    preferences().daq.SetStagedRevLimiterInput("Launch");
    start();

    panel().SelectRow("MAS");
    panel().Delete();
    EXPECT_EQ(messages.texts(), QStringList{"The MAS input is required for real-time tracing."});
    panel().SelectRow("Launch");
    messages.queue(MsgAnswer::Yes);
    panel().Delete();
    EXPECT_NE(preferences().daq.FindDAQInput("Launch"), nullptr);
    panel().SelectRow("EGT");
    messages.queue(MsgAnswer::No);
    panel().Delete();
    EXPECT_NE(preferences().daq.FindDAQInput("EGT"), nullptr);
    messages.queue(MsgAnswer::Yes);
    panel().Delete();
    EXPECT_EQ(preferences().daq.FindDAQInput("EGT"), nullptr);
}

