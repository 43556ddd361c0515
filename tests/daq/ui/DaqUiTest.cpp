// The live-data widgets of the main window without a box: the real-time strip
// after ticks, the trace on the grid and the table panels, the data log's
// menu flows, the DAQ setup panel and the staged rev limiter and advanced
// dialogs. The rules behind them are tested on their own (TickTest,
// DAQInputsTest for DAQSetupRules, LoggerTest); here only what the widgets
// show and forward.

#include "app/CVUserPrefs.h"
#include "app/MainApplication.h"
#include "daq/CVRTLogger.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "daq/ui/AcquisitionCommands.h"
#include "daq/ui/CVDAQSetupDlg.h"
#include "daq/ui/RealTimeStripView.h"
#include "daq/ui/dlgRTAdvanced.h"
#include "daq/ui/dlgStagedRevLimiter.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/TablePanel.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/StockPrograms.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "shell/frmMain.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class DaqUiTest : public ::testing::Test
{
protected:
    DaqUiTest() : store(dir.filePath("Vantrelle.ini")) { prefs = std::make_unique<CVUserPrefs>(store); }

    void addInput(const QString &name, int channel, int type, const QString &formula = QString(),
                  bool thresholds = false, float warning = 0, float critical = 0)
    {
        ASSERT_TRUE(prefs->daq.AddDAQInput(DAQInputRecord{.name = name, .channel = channel, .inputType = type,
                                                          .scalingFormula = formula, .thresholdsEnabled = thresholds,
                                                          .warningThreshold = warning, .criticalThreshold = critical}));
    }
    void start(bool simulated = true)
    {
        StartOptions options;
        options.simulatedDaq = simulated;
        app = std::make_unique<MainApplication>(*prefs, messages, files, options);
        const StockImageResult stock = LoadStockImage(105);
        ASSERT_EQ(stock.status, StockImageResult::Ok);
        TuneFromImage(stock.image, state().tune);
    }
    frmMain &w() { return app->window(); }
    ProgramState &state() { return w().State(); }
    AcquisitionCommands &acq() { return app->acquisitionCommands(); }
    SimulatedU12Driver &sim() { return dynamic_cast<SimulatedU12Driver &>(app->daqDriver()); }
    RealTimeStripView &strip() { return *acq().strip(); }
    bool shown(QWidget *widget) { return widget->isVisibleTo(&strip()); }
    QString text(const char *label) { return strip().label(label)->text(); }
    CVDAQSetupDlg &panel() { return app->daqSetup(); }
    template <class T> T *find(const char *name) { return panel().findChild<T *>(name); }
    QString lastMessage() { return messages.shown().empty() ? QString() : messages.shown().back().text; }
    void selectType(int type)
    {
        find<QComboBox>("comboDAQInputType")->setCurrentIndex(type);
        emit find<QComboBox>("comboDAQInputType")->activated(type);
    }

    QTemporaryDir dir;
    SettingsStore store;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<CVUserPrefs> prefs;
    std::unique_ptr<MainApplication> app;
};

} // namespace

TEST_F(DaqUiTest, TheStripShowsRowsPicturesColoursAndDriverErrors)
{
    addInput("EGT", 3, CVDAQInput::SingleEnded, "20.1", true, 10, 20);
    addInput("Brake", 1, CVDAQInput::Digital);
    addInput("Launch", 0, CVDAQInput::Digital);
    start();
    sim().ForceLine(0, true);
    sim().ForceLine(1, false);
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    EXPECT_EQ(strip().inputLabel(0)->text(), "EGT");
    EXPECT_EQ(strip().valueLabel(0)->text(), "20.1");
    EXPECT_EQ(RealTimeStripView::TextColorOf(strip().valueLabel(0)), CVDAQInput::DefaultCriticalColor);
    EXPECT_FALSE(shown(strip().onPicture(0)));
    EXPECT_EQ(strip().inputLabel(1)->text(), "Launch");
    EXPECT_TRUE(shown(strip().onPicture(1)) && !shown(strip().offPicture(1)) && !shown(strip().valueLabel(1)));
    EXPECT_EQ(strip().inputLabel(2)->text(), "Brake");
    EXPECT_TRUE(shown(strip().offPicture(2)) && !shown(strip().onPicture(2)));
    EXPECT_FALSE(shown(strip().inputLabel(3))) << "rows not filled are hidden";

    // A failing driver shows its text and keeps the values; the next good tick recovers.
    const QString rpm = text("lblRTRPM");
    sim().SetConnected(false);
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Simulated U12 not connected");
    EXPECT_EQ(text("lblRTRPM"), rpm);
    sim().SetConnected(true);
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
}

TEST_F(DaqUiTest, TraceReachesTheVisibleGridAndTheTablePanelsUntilCleared)
{
    start();
    const QColor green(0, 192, 0);
    const auto greenCells = [&] {
        int n = 0;
        for (int r = 1; r <= 16; ++r)
            for (int c = 1; c <= 16; ++c)
                n += app->grid().gridModel()->background(r, c) == green;
        return n;
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
    const CVMapInfo &map = state().tune.map(MapKey::HOFM);
    EXPECT_EQ(greenCells(), 1) << "current-cell mode marks one cell";
    EXPECT_EQ(app->grid().gridModel()->background(map.LastRPMIndex() + 1, map.LastTPIndex() + 1), green);
    EXPECT_GE(state().tune.map(MapKey::HOTM).LastRPMIndex(), 0) << "HOTM traced though not shown";
    for (int panel : {PanelIndex::TTPMaps, PanelIndex::IgnitionDuty, PanelIndex::VQ})
        EXPECT_GE(markedBoxes(panel), 1) << panel;

    w().Actions().mnuDataLogClear->trigger();
    EXPECT_EQ(greenCells(), 0);
    EXPECT_EQ(markedBoxes(PanelIndex::TTPMaps), 0);
    EXPECT_EQ(markedBoxes(PanelIndex::VQ), 0);
}

TEST_F(DaqUiTest, LogMenuFlowsSaveCancelAndAskAtTheNextSwitchOn)
{
    prefs->daq.SetDAQSampleRate(40);
    start();
    acq().RealTimeStarted();
    EXPECT_TRUE(acq().timer()->isActive());
    EXPECT_EQ(acq().timer()->interval(), 40);
    ASSERT_TRUE(acq().logger().IsLogOpen());
    EXPECT_TRUE(messages.shown().empty()) << "the first log asks nothing";
    for (int i = 0; i < 5; ++i)
        acq().Tick();
    acq().RealTimeStopped();
    EXPECT_FALSE(acq().timer()->isActive());

    // Cancelled: the log stays, and the next switch-on offers it first.
    QAction *save = w().Actions().mnuDataLoggingSave;
    files.queue(QString());
    save->trigger();
    EXPECT_FALSE(save->isEnabled());
    const QString kept = dir.filePath("kept.csv");
    messages.queue(MsgAnswer::Yes);
    files.queue(kept);
    acq().RealTimeStarted();
    EXPECT_EQ(messages.texts(), QStringList{"Do you wish to save the last datalog?"});
    EXPECT_EQ(QString::fromUtf8(testenv::readFile(kept)).split("\r\n", Qt::SkipEmptyParts).size(), 6);
    acq().RealTimeStopped();
    files.queue(dir.filePath("run.csv"));
    save->setEnabled(true);
    save->trigger();
    EXPECT_FALSE(acq().logger().IsLogOpen());
}

TEST_F(DaqUiTest, AFailedLogWriteIsShownOnTheStripAndToldOnce)
{
    start();
    acq().RealTimeStarted();
    acq().Tick();
    acq().Tick();
    const QString log = acq().logger().LogFileName();
    ASSERT_TRUE(QFile::remove(log));
    for (int i = 0; i < 5; ++i)
        acq().Tick();
    ASSERT_EQ(messages.shown().size(), 1u) << "told once, not once per tick";
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(messages.shown()[0].text.startsWith("The datalog could not be written: "));
    EXPECT_TRUE(text("lblRTStatus").startsWith("Receiving data. Datalog stopped: ")) << text("lblRTStatus").toStdString();
    acq().RealTimeStopped();
    messages.queue(MsgAnswer::No);
    acq().RealTimeStarted();
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    acq().RealTimeStopped();
}

TEST_F(DaqUiTest, AdvancedSettingsChangeTheRunningTimerAtOnce)
{
    start();
    acq().RealTimeStarted();
    {
        dlgRTAdvanced dialog(prefs->daq, messages);
        const struct
        {
            const char *rate, *multiplier, *message;
        } cases[] = {{"24", "150", "Please enter a valid value between 25 and 2500"},
                     {"25.5", "150", "Please enter a valid value between 25 and 2500"},
                     {"100", "1001", "Please enter a valid value between 1 and 1000"},
                     {"25", "1000", ""}};
        for (const auto &c : cases) {
            messages.clear();
            dialog.sampleRateEdit()->setText(c.rate);
            dialog.multiplierEdit()->setText(c.multiplier);
            EXPECT_EQ(dialog.OKClicked(), !*c.message) << c.rate << " " << c.multiplier;
            EXPECT_EQ(lastMessage(), c.message);
        }
    }
    EXPECT_EQ(prefs->daq.DAQRPMMultiplier(), 1000);
    app->daqSetup().onAdvancedSettingsChanged();
    EXPECT_EQ(acq().timer()->interval(), 25);
    EXPECT_TRUE(acq().timer()->isActive());
    acq().RealTimeStopped();
    prefs->daq.SetDAQSampleRate(0); // hand-edited out of range: held within it
    acq().ApplySampleRate();
    EXPECT_EQ(acq().timer()->interval(), 25);
}

// The panel shows what the checks refuse, with its icon, and stores the rest.
TEST_F(DaqUiTest, SetupPanelForwardsUpdatesAndDeletes)
{
    addInput("Boost", 1, CVDAQInput::Differential);
    addInput("Launch", 3, CVDAQInput::Digital);
    prefs->daq.SetStagedRevLimiterEnabled(true);
    prefs->daq.SetStagedRevLimiterInput("Launch");
    start();
    panel().SelectRow("Boost");
    find<QLineEdit>("editDAQName")->setText("Launch");
    EXPECT_FALSE(panel().Update());
    EXPECT_EQ(lastMessage(), "An element already exists with that name");
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Information);
    EXPECT_EQ(prefs->daq.FindDAQInput("Launch")->InputType(), CVDAQInput::Digital);
    panel().SelectRow("Boost");
    find<QLineEdit>("editDAQVoltageCorrection")->setText("5.5");
    EXPECT_FALSE(panel().Update());
    EXPECT_EQ(lastMessage(), "Please enter a valid value between -5 and 5");

    find<QPushButton>("buttonDAQNew")->click();
    find<QLineEdit>("editDAQName")->setText("EGT");
    selectType(1);
    find<QComboBox>("comboGain")->setCurrentIndex(3);
    selectType(0);
    EXPECT_EQ(find<QComboBox>("comboGain")->currentIndex(), 0) << "leaving Differential resets the gain";
    find<QComboBox>("comboDAQInput")->setCurrentIndex(4);
    find<QLineEdit>("editDAQScalingFormula")->setText("V*2");
    find<QCheckBox>("checkDAQThresholdEnabled")->setChecked(true);
    find<QLineEdit>("editDAQWarnThreshold")->setText("5");
    find<QLineEdit>("editDAQCriticalThreshold")->setText("6");
    std::optional<QColor> colour = QColor(10, 20, 30);
    panel().SetColorPicker([&](QWidget *, const QColor &) { return colour; });
    find<QPushButton>("buttonDAQWarn")->click();
    colour.reset();
    find<QPushButton>("buttonDAQCritical")->click(); // cancelled
    ASSERT_TRUE(panel().Update());
    const CVDAQInput *egt = prefs->daq.FindDAQInput("EGT");
    ASSERT_NE(egt, nullptr);
    EXPECT_EQ(egt->ChannelName(), "AI4");
    EXPECT_EQ(egt->ScalingFormula(), "V*2");
    EXPECT_EQ(egt->WarningThresholdColor(), 10u | (20u << 8) | (30u << 16));
    EXPECT_EQ(egt->CriticalThresholdColor(), CVDAQInput::DefaultCriticalColor);
    EXPECT_EQ(panel().list()->findItems("EGT", Qt::MatchExactly).size(), 1);

    // Delete: never "MAS", never the staged rev limiter's input, only after Yes.
    messages.clear();
    panel().SelectRow("MAS");
    panel().Delete();
    EXPECT_EQ(lastMessage(), "The MAS input is required for real-time tracing.");
    panel().SelectRow("Launch");
    messages.queue(MsgAnswer::Yes);
    panel().Delete();
    EXPECT_NE(prefs->daq.FindDAQInput("Launch"), nullptr);
    panel().SelectRow("EGT");
    messages.queue(MsgAnswer::No);
    panel().Delete();
    EXPECT_EQ(lastMessage(), "Delete the selected item?");
    EXPECT_NE(prefs->daq.FindDAQInput("EGT"), nullptr);
    messages.queue(MsgAnswer::Yes);
    panel().Delete();
    EXPECT_EQ(prefs->daq.FindDAQInput("EGT"), nullptr);
    EXPECT_TRUE(panel().list()->findItems("EGT", Qt::MatchExactly).isEmpty());

    // Real-time mode disables the list buttons.
    state().RealTimeEnabled = true;
    w().SelectPanel(PanelIndex::DAQ);
    EXPECT_FALSE(find<QPushButton>("buttonDAQNew")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("buttonLJInfo")->isEnabled());
}

TEST_F(DaqUiTest, DeviceResetAndInfoTellWhatTheDriverSays)
{
    start();
    panel().DeviceInfo();
    EXPECT_EQ(lastMessage(), "DAQ Information:\n\nDriver Version: 1.1\nFirmware Version: 1.1");
    sim().SetConnected(false);
    panel().ResetDevice();
    EXPECT_EQ(lastMessage(), "The following error was received from the DAQ.\n\n\tSimulated U12 not connected");
    EXPECT_EQ(find<QLabel>("lblDAQStatus")->text(), "No DAQ units were found.");
    sim().SetConnected(true);
    panel().ResetDevice();
    EXPECT_EQ(find<QLabel>("lblDAQStatus")->text(), "Found active DAQ device.");

    prefs->daq.SetDAQDriverLibrary("vantrelle-no-such-driver");
    start(false);
    acq().Tick();
    EXPECT_TRUE(text("lblRTStatus").contains("vantrelle-no-such-driver")) << text("lblRTStatus").toStdString();
    panel().ResetDevice();
    EXPECT_TRUE(lastMessage().startsWith("An error occured while trying to communicate with the DAQ device.  "
                                         "Specifically: \n\n\t"));
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
}

TEST_F(DaqUiTest, StagedRevLimiterDialogRules)
{
    addInput("Launch", 3, CVDAQInput::Digital);
    addInput("Brake", 1, CVDAQInput::Digital);
    start();
    state().tune.general().SetRevLimiter(150);
    prefs->daq.SetStagedRevLimiterInput("Gone");
    {
        dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
        EXPECT_EQ(dialog.currentLimitLabel()->text(), "7500");
        EXPECT_EQ(dialog.inputsCombo()->currentText(), "Brake") << "a stale name falls back to the first";
        dialog.enableCheck()->setChecked(true);
        for (const char *bad : {"12751", "49", "7000.5", "abc", ""}) {
            dialog.limitEdit()->setText(bad);
            EXPECT_FALSE(dialog.OKClicked()) << bad;
            EXPECT_EQ(lastMessage(), "Please enter a valid value between 50 and 12750") << bad;
        }
        EXPECT_FALSE(prefs->daq.StagedRevLimiterEnabled());
        dialog.limitEdit()->setText("7025");
        dialog.inputsCombo()->setCurrentIndex(1);
        EXPECT_TRUE(dialog.OKClicked());
    }
    EXPECT_TRUE(prefs->daq.StagedRevLimiterEnabled());
    EXPECT_EQ(prefs->daq.StagedRevLimiter(), 140) << "7025 / 50 = 140.5, halves to even";
    EXPECT_EQ(prefs->daq.StagedRevLimiterInput(), "Launch");
    {
        // Unticked: stored without checks; a text that is no number keeps the limit.
        dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
        dialog.enableCheck()->setChecked(false);
        dialog.limitEdit()->setText("fast");
        EXPECT_TRUE(dialog.OKClicked());
    }
    EXPECT_FALSE(prefs->daq.StagedRevLimiterEnabled());
    EXPECT_EQ(prefs->daq.StagedRevLimiter(), 140);
    prefs->daq.DeleteDAQInput("Launch");
    prefs->daq.DeleteDAQInput("Brake");
    dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
    dialog.enableCheck()->setChecked(true);
    dialog.limitEdit()->setText("7000");
    EXPECT_FALSE(dialog.OKClicked());
    EXPECT_EQ(lastMessage(), "You must first define a digital input in the Data Acquisition Setup");
}

TEST_F(DaqUiTest, SimulatedUnitAddsTheBenchWiringOnlyToAnEmptySetup)
{
    start();
    QStringList names;
    for (const auto &input : prefs->daq.DAQInputs())
        names << input->Name();
    EXPECT_EQ(names.join(","), "MAS,TPS,O2,Coolant,EGT,Battery,Launch,Brake");
    for (const auto &input : prefs->daq.DAQInputs()) { // every bench input passes the panel's own checks
        panel().SelectRow(input->Name());
        EXPECT_TRUE(panel().Update()) << input->Name().toStdString() << ": " << lastMessage().toStdString();
    }
    prefs->daq.DeleteDAQInput("TPS");
    start();
    EXPECT_EQ(prefs->daq.FindDAQInput("TPS"), nullptr) << "a setup of the user's own is left alone";
}
