// The live-data side of the main window without a box: the real-time strip
// after acquisition ticks, the trace on the grid and the table panels, the
// data log's start, save and cancel sequences, the DAQ setup panel and the
// staged rev limiter, data-logging and advanced dialogs.

#include "daq/CVRTLogger.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "daq/ui/CVDAQSetupDlg.h"
#include "daq/ui/RealTimeStripView.h"
#include "daq/ui/dlgDataLoggingSettings.h"
#include "daq/ui/dlgRTAdvanced.h"
#include "daq/ui/dlgStagedRevLimiter.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/TablePanel.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "platform/FileDialogService.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/ui/AcquisitionCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QSet>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr quint32 Warn = CVDAQInput::DefaultWarningColor;
constexpr quint32 Crit = CVDAQInput::DefaultCriticalColor;
constexpr quint32 Normal = CVDAQInput::DefaultNormalColor;

class DaqUiTest : public ::testing::Test
{
protected:
    DaqUiTest() : store(dir.filePath("Vantrelle.ini")) { prefs = std::make_unique<CVUserPrefs>(store); }

    void addInput(const QString &name, int channel, int type, const QString &formula = QString(),
                  bool thresholds = false, float warning = 0, float critical = 0, bool enabled = true)
    {
        ASSERT_TRUE(prefs->daq.AddDAQInput(DAQInputRecord{.name = name,
                                                          .channel = channel,
                                                          .inputType = type,
                                                          .scalingFormula = formula,
                                                          .enabled = enabled,
                                                          .thresholdsEnabled = thresholds,
                                                          .warningThreshold = warning,
                                                          .criticalThreshold = critical}));
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
    QString text(const char *label) { return strip().label(label)->text(); }
    CVDAQSetupDlg &panel() { return app->daqSetup(); }
    template <class T> T *find(const char *name) { return panel().findChild<T *>(name); }
    QString lastMessage() { return messages.shown().empty() ? QString() : messages.shown().back().text; }

    QTemporaryDir dir;
    SettingsStore store;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<CVUserPrefs> prefs;
    std::unique_ptr<MainApplication> app;
};

} // namespace

// ---- the strip --------------------------------------------------------------

TEST_F(DaqUiTest, StripStartsWithItsDesignTexts)
{
    start();
    const std::pair<const char *, const char *> texts[] = {
        {"lblRTStatus", "No data available."}, {"lblRTRPM", "0000"},    {"lblRTTP", "000"},
        {"lblRTMAS", "0.0v"},                   {"lblRTInjPW", "0.00 ms"}, {"lblRTInjDuty", "0%"},
        {"lblRTStagedRevLimiter", "Rev Limit:"}, {"lblRevLimitValue", "0000"},
        {"lblRTStatusCaption", "Acquisition Status:"}, {"lblRTRPMCaption", "RPM:"}, {"lblRTTPCaption", "TP:"},
        {"lblRTMASCaption", "MAS:"}, {"lblRTInjPWCaption", "Injector PW:"}, {"lblRTInjDutyCaption", "Duty Cycle:"}};
    for (const auto &[name, initial] : texts) {
        ASSERT_NE(strip().label(name), nullptr) << name;
        EXPECT_EQ(text(name), initial) << name;
    }
    EXPECT_EQ(strip().parentWidget(), w().RealTimeStrip());
    for (int r = 0; r < RealTimeStrip::RowCount; ++r)
        EXPECT_FALSE(strip().inputLabel(r)->isVisibleTo(&strip())) << r;
}

TEST_F(DaqUiTest, TicksFillRowsInOrderAndHideTheRest)
{
    addInput("EGT", 3, CVDAQInput::SingleEnded, "V*250");
    addInput("TPS", 1, CVDAQInput::SingleEnded);
    addInput("Boost", 0, CVDAQInput::Differential); // AI0-AI1 shares a terminal with MAS only on paper
    addInput("Brake", 1, CVDAQInput::Digital);
    addInput("Launch", 0, CVDAQInput::Digital);
    start();
    sim().ForceLine(0, true);
    sim().ForceLine(1, false);
    acq().Tick();

    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    EXPECT_NE(text("lblRTRPM"), "0000");
    EXPECT_TRUE(text("lblRTMAS").endsWith("v"));
    EXPECT_TRUE(text("lblRTInjPW").endsWith(" ms"));
    EXPECT_TRUE(text("lblRTInjDuty").endsWith("%"));
    // Analog rows first (by channel: Boost 0, TPS 1, EGT 3), then digital (D0, D1).
    const QStringList names{"Boost", "TPS", "EGT", "Launch", "Brake"};
    for (int r = 0; r < names.size(); ++r) {
        EXPECT_EQ(strip().inputLabel(r)->text(), names[r]) << r;
        EXPECT_TRUE(strip().inputLabel(r)->isVisibleTo(&strip())) << r;
    }
    for (int r = 0; r < 3; ++r) {
        EXPECT_TRUE(strip().valueLabel(r)->isVisibleTo(&strip()));
        EXPECT_FALSE(strip().onPicture(r)->isVisibleTo(&strip()));
        EXPECT_FALSE(strip().offPicture(r)->isVisibleTo(&strip()));
    }
    EXPECT_FALSE(strip().valueLabel(3)->isVisibleTo(&strip()));
    EXPECT_TRUE(strip().onPicture(3)->isVisibleTo(&strip())) << "Launch forced high";
    EXPECT_FALSE(strip().offPicture(3)->isVisibleTo(&strip()));
    EXPECT_FALSE(strip().onPicture(4)->isVisibleTo(&strip()));
    EXPECT_TRUE(strip().offPicture(4)->isVisibleTo(&strip())) << "Brake forced low";
    EXPECT_FALSE(strip().inputLabel(5)->isVisibleTo(&strip()));

    // A line going low flips its pictures; a deleted input's row disappears.
    sim().ForceLine(0, false);
    prefs->daq.DeleteDAQInput("TPS");
    acq().Tick();
    EXPECT_EQ(strip().inputLabel(1)->text(), "EGT");
    EXPECT_EQ(strip().inputLabel(2)->text(), "Launch");
    EXPECT_TRUE(strip().offPicture(2)->isVisibleTo(&strip()));
    EXPECT_FALSE(strip().onPicture(2)->isVisibleTo(&strip()));
    EXPECT_TRUE(strip().inputLabel(3)->isVisibleTo(&strip()));
    EXPECT_FALSE(strip().inputLabel(4)->isVisibleTo(&strip())) << "rows no longer filled are hidden";
    EXPECT_FALSE(strip().offPicture(4)->isVisibleTo(&strip()));
}

TEST_F(DaqUiTest, ThresholdColoursFollowTheValue)
{
    // Constant formulas give the value exactly; thresholds warning 10, critical 20.
    struct Case
    {
        const char *formula;
        quint32 color;
    } cases[] = {{"10", Normal}, {"10.5", Warn}, {"20", Warn}, {"20.1", Crit}};
    int channel = 1;
    for (const Case &c : cases)
        addInput(QStringLiteral("In%1").arg(channel), channel, CVDAQInput::SingleEnded, c.formula, true, 10, 20),
            ++channel;
    addInput("Plain", 7, CVDAQInput::SingleEnded, "99");
    start();
    acq().Tick();
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(strip().valueLabel(r)->text(), cases[r].formula) << r;
        EXPECT_EQ(RealTimeStripView::TextColorOf(strip().valueLabel(r)), cases[r].color) << cases[r].formula;
    }
    const quint32 before = RealTimeStripView::TextColorOf(strip().valueLabel(4));
    EXPECT_NE(before, Crit);
    EXPECT_EQ(strip().valueLabel(4)->text(), "99");
}

TEST_F(DaqUiTest, DriverErrorShowsItsTextAndTheNextGoodTickRecovers)
{
    start();
    acq().Tick();
    const QString rpm = text("lblRTRPM");
    sim().SetConnected(false);
    QSignalSpy spy(&acq(), &AcquisitionCommands::sampleTaken);
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Simulated U12 not connected");
    EXPECT_EQ(text("lblRTRPM"), rpm) << "values keep what the last good tick left";
    ASSERT_EQ(spy.count(), 1);
    EXPECT_FALSE(spy.at(0).at(0).value<AcquisitionSample>().acquired);
    sim().SetConnected(true);
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    ASSERT_EQ(spy.count(), 2);
    const AcquisitionSample sample = spy.at(1).at(0).value<AcquisitionSample>();
    EXPECT_TRUE(sample.acquired);
    EXPECT_EQ(QString::number(sample.rpm), text("lblRTRPM"));
    EXPECT_EQ(sample.cells.size(), 3);
    ASSERT_FALSE(sample.inputs.isEmpty());
    EXPECT_EQ(sample.inputs.front().name, "MAS");
}

TEST_F(DaqUiTest, MissingDriverLibraryShowsTheLoadFailure)
{
    prefs->daq.SetDAQDriverLibrary("vantrelle-no-such-driver");
    start(false);
    acq().Tick();
    EXPECT_TRUE(text("lblRTStatus").contains("vantrelle-no-such-driver")) << text("lblRTStatus").toStdString();
    EXPECT_EQ(find<QLabel>("lblDAQStatus")->text(), "No DAQ units were found.");
}

TEST_F(DaqUiTest, StagedRevLimitLabelsShowOnlyWhileEnabled)
{
    addInput("Launch", 3, CVDAQInput::Digital);
    start();
    acq().Tick();
    EXPECT_FALSE(strip().label("lblRTStagedRevLimiter")->isVisibleTo(&strip()));
    prefs->daq.SetStagedRevLimiterEnabled(true);
    prefs->daq.SetStagedRevLimiterInput("Launch");
    prefs->daq.SetStagedRevLimiter(140);
    state().tune.general().SetRevLimiter(150);
    sim().ForceLine(3, false);
    acq().Tick();
    EXPECT_TRUE(strip().label("lblRTStagedRevLimiter")->isVisibleTo(&strip()));
    EXPECT_TRUE(strip().label("lblRevLimitValue")->isVisibleTo(&strip()));
    EXPECT_EQ(text("lblRevLimitValue"), "7500");
}

// ---- the trace ----------------------------------------------------------------

TEST_F(DaqUiTest, TraceReachesTheVisibleGridAndTheTablePanels)
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
    ASSERT_EQ(greenCells(), 0);
    // Run the simulated engine into its pull, where it has load.
    QList<std::pair<int, int>> visited;
    for (int i = 0; i < 120; ++i) {
        acq().Tick();
        const CVMapInfo &map = state().tune.map(MapKey::HOFM);
        const std::pair<int, int> cell{map.LastRPMIndex(), map.LastTPIndex()};
        if (visited.isEmpty() || visited.back() != cell)
            visited << cell;
    }
    EXPECT_EQ(greenCells(), 1) << "current-cell mode marks one cell";
    EXPECT_GT(visited.size(), 3) << "the trace walks across the map";
    const CVMapInfo &map = state().tune.map(MapKey::HOFM);
    EXPECT_EQ(app->grid().gridModel()->background(map.LastRPMIndex() + 1, map.LastTPIndex() + 1), green);
    EXPECT_GE(state().tune.map(MapKey::HOTM).LastRPMIndex(), 0) << "HOTM traced though not shown";
    EXPECT_GE(markedBoxes(PanelIndex::TTPMaps), 1);
    EXPECT_GE(markedBoxes(PanelIndex::IgnitionDuty), 1);
    EXPECT_GE(markedBoxes(PanelIndex::VQ), 1);

    // "&Clear Real-Time Data Points" takes the marks away again.
    w().Actions().mnuDataLogClear->trigger();
    EXPECT_EQ(greenCells(), 0);
    EXPECT_EQ(markedBoxes(PanelIndex::TTPMaps), 0);
    EXPECT_EQ(markedBoxes(PanelIndex::VQ), 0);
}

// vantrelle-cli traces and logs as the application does: the same simulated
// engine and tune give the same log lines (time stamps aside), though the
// application shows no map and the tool has no panels at all.
TEST_F(DaqUiTest, TheCommandLineLogsWhatTheApplicationLogs)
{
    start();
    // Every cell of the traced maps holds a value of its own, so a cell
    // missed, or a trace left out, changes the log.
    Tune &tune = state().tune;
    for (int i = 0; i < 256; ++i) {
        tune.map(MapKey::HOFM).SetMapValue(i, i % 128);
        tune.map(MapKey::HOHGFM).SetMapValue(i, 192 + i % 64);
        tune.map(MapKey::HOTM).SetMapValue(i, 128 + i % 46);
    }
    const QString tunePath = dir.filePath("traced.vnt");
    ASSERT_TRUE(WriteProjectFile(tunePath, tune));
    // The tool reads the same preferences (the bench inputs were stored when
    // the application added them).
    const QString config = dir.filePath("config");
    ASSERT_TRUE(QDir().mkpath(config + "/Vantrelle"));
    ASSERT_TRUE(QFile::copy(store.fileName(), config + "/Vantrelle/Vantrelle.ini"));

    constexpr int Ticks = 120;
    acq().RealTimeStarted();
    acq().timer()->stop(); // the ticks below are the only ones
    for (int i = 0; i < Ticks; ++i)
        acq().Tick();
    const QByteArray appLog = testenv::readFile(acq().logger().LogFileName());

    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config);
    cli.setProcessEnvironment(env);
    const QString out = dir.filePath("cli.csv");
    cli.start(testenv::binary("vantrelle-cli"), {"--sim-daq", "log", out, "--tune", tunePath, "--count",
                                                 QString::number(Ticks), "--rate", "0"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    // Without the first column, the time of day.
    const auto lines = [](const QByteArray &log) {
        QStringList result;
        for (const QString &line : QString::fromUtf8(log).split("\r\n", Qt::SkipEmptyParts))
            result << line.section(',', 1);
        return result;
    };
    const QStringList app = lines(appLog);
    ASSERT_EQ(app.size(), Ticks + 1);
    EXPECT_EQ(lines(testenv::readFile(out)), app);
    // The trace walked: the timing and enrichment columns took many values.
    QSet<QString> traced;
    for (const QString &line : app.mid(1))
        traced << line.section(',', 2, 4);
    EXPECT_GT(traced.size(), 5) << app.join('\n').toStdString();
}

// ---- the data log -----------------------------------------------------------

TEST_F(DaqUiTest, LogStartsAtSwitchOnAndSavesFromTheMenu)
{
    addInput("EGT", 3, CVDAQInput::SingleEnded);
    addInput("Launch", 0, CVDAQInput::Digital);
    prefs->daq.SetDAQSampleRate(40);
    start();
    acq().RealTimeStarted();
    EXPECT_TRUE(acq().timer()->isActive());
    EXPECT_EQ(acq().timer()->interval(), 40);
    EXPECT_EQ(acq().timer()->objectName(), "timerDAQ");
    ASSERT_TRUE(acq().logger().IsLogOpen());
    EXPECT_TRUE(messages.shown().empty()) << "the first log asks nothing";
    for (int i = 0; i < 5; ++i)
        acq().Tick();
    acq().RealTimeStopped();
    EXPECT_FALSE(acq().timer()->isActive());

    const QString path = dir.filePath("run.csv");
    files.queue(path);
    QAction *save = w().Actions().mnuDataLoggingSave;
    save->setEnabled(true);
    save->trigger();
    EXPECT_FALSE(save->isEnabled());
    ASSERT_EQ(files.asked().size(), 1u);
    EXPECT_EQ(files.asked()[0].title, "Save");
    EXPECT_EQ(files.asked()[0].filter, CVRTLogger::SaveFilter());
    EXPECT_EQ(files.asked()[0].selectedFilter, 1);
    const QStringList lines = QString::fromUtf8(testenv::readFile(path)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,Injector Pulsewidth,"
                        "Injector Duty,MAS,EGT,Launch");
    EXPECT_EQ(lines[1].split(',').size(), 11);
    EXPECT_FALSE(acq().logger().IsLogOpen());
}

TEST_F(DaqUiTest, CancelledSaveKeepsTheLogAndTheNextSwitchOnAsks)
{
    prefs->daq.SetDataLogFormat(0);
    start();
    acq().RealTimeStarted();
    acq().Tick();
    acq().RealTimeStopped();
    files.queue(QString()); // Cancel
    w().Actions().mnuDataLoggingSave->trigger();
    EXPECT_EQ(files.asked().back().selectedFilter, 2) << "tab-separated preselects the text filter";
    EXPECT_FALSE(w().Actions().mnuDataLoggingSave->isEnabled());
    EXPECT_TRUE(acq().logger().IsLogOpen());
    const QString first = acq().logger().LogFileName();

    // The next switch-on offers the old log; No discards it and starts anew.
    messages.queue(MsgAnswer::No);
    acq().RealTimeStarted();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Do you wish to save the last datalog?");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(acq().logger().IsLogOpen());
    EXPECT_NE(acq().logger().LogFileName(), first);
    EXPECT_TRUE(acq().logger().Separator() == "\t");

    // Yes at the question saves the old log before the new one starts.
    acq().Tick();
    acq().RealTimeStopped();
    const QString kept = dir.filePath("kept.txt");
    messages.queue(MsgAnswer::Yes);
    files.queue(kept);
    acq().RealTimeStarted();
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the last datalog?");
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(testenv::readFile(kept).startsWith("DATE/TIME\tRPM\tTP"));
    acq().RealTimeStopped();
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
    EXPECT_EQ(testenv::readFile(log).count('\n'), 3) << "put back: the header and the two samples";
    acq().RealTimeStopped();

    // The next run starts a new log, after offering the stopped one.
    messages.queue(MsgAnswer::No);
    acq().RealTimeStarted();
    acq().Tick();
    EXPECT_EQ(text("lblRTStatus"), "Receiving data.");
    EXPECT_FALSE(QFile::exists(log));
    acq().RealTimeStopped();
}

TEST_F(DaqUiTest, DataLoggingSettingsDialog)
{
    start();
    for (int format : {1, 0}) {
        prefs->daq.SetDataLogFormat(format);
        dlgDataLoggingSettings dialog(prefs->daq);
        EXPECT_EQ(dialog.windowTitle(), "Data Logging Settings");
        EXPECT_EQ(dialog.csvOption()->text(), "Comma separated values (CSV)");
        EXPECT_EQ(dialog.textOption()->text(), "Text Format (tab separated values)");
        EXPECT_EQ(dialog.csvOption()->isChecked(), format != 0);
        EXPECT_EQ(dialog.textOption()->isChecked(), format == 0);
        // Switch, then Cancel: nothing stored.
        (format ? dialog.textOption() : dialog.csvOption())->setChecked(true);
        dialog.findChild<QPushButton *>("CancelButton")->click();
        EXPECT_EQ(prefs->daq.DataLogFormat(), format);
        // OK stores.
        dialog.findChild<QPushButton *>("OKButton")->click();
        EXPECT_EQ(prefs->daq.DataLogFormat(), format ? 0 : 1);
    }
}

// ---- advanced settings -------------------------------------------------------

TEST_F(DaqUiTest, AdvancedSettingsChangeTheRunningTimerAtOnce)
{
    start();
    acq().RealTimeStarted();
    EXPECT_EQ(acq().timer()->interval(), 100);
    {
        dlgRTAdvanced dialog(prefs->daq, messages);
        EXPECT_EQ(dialog.windowTitle(), "Real-Time Advanced Settings");
        EXPECT_EQ(dialog.sampleRateEdit()->text(), "100");
        EXPECT_EQ(dialog.multiplierEdit()->text(), "150");
        struct Case
        {
            const char *rate, *multiplier;
            bool ok;
            const char *message;
        } cases[] = {{"24", "150", false, "Please enter a valid value between 25 and 2500"},
                     {"2501", "150", false, "Please enter a valid value between 25 and 2500"},
                     {"25.5", "150", false, "Please enter a valid value between 25 and 2500"},
                     {"100", "0", false, "Please enter a valid value between 1 and 1000"},
                     {"100", "1001", false, "Please enter a valid value between 1 and 1000"},
                     {"25", "1000", true, ""}};
        for (const Case &c : cases) {
            messages.clear();
            dialog.sampleRateEdit()->setText(c.rate);
            dialog.multiplierEdit()->setText(c.multiplier);
            EXPECT_EQ(dialog.OKClicked(), c.ok) << c.rate << " " << c.multiplier;
            EXPECT_EQ(lastMessage(), c.message);
        }
    }
    EXPECT_EQ(prefs->daq.DAQSampleRate(), 25);
    EXPECT_EQ(prefs->daq.DAQRPMMultiplier(), 1000);
    app->daqSetup().onAdvancedSettingsChanged();
    EXPECT_EQ(acq().timer()->interval(), 25);
    EXPECT_TRUE(acq().timer()->isActive());
    acq().RealTimeStopped();

    // A hand-edited period out of range is held within it.
    prefs->daq.SetDAQSampleRate(0);
    acq().ApplySampleRate();
    EXPECT_EQ(acq().timer()->interval(), 25);
}

// ---- the setup panel ------------------------------------------------------------

namespace {

// Fills the editor the way a user does; type changes go through the combo's
// own signal so the type rule runs.
struct Editor
{
    CVDAQSetupDlg &p;
    template <class T> T *f(const char *name) { return p.findChild<T *>(name); }
    void type(int t)
    {
        f<QComboBox>("comboDAQInputType")->setCurrentIndex(t);
        emit f<QComboBox>("comboDAQInputType")->activated(t);
    }
    void fill(const QString &name, int t, int channel, const QString &formula = QString())
    {
        f<QLineEdit>("editDAQName")->setText(name);
        type(t);
        f<QComboBox>("comboDAQInput")->setCurrentIndex(channel);
        f<QLineEdit>("editDAQScalingFormula")->setText(formula);
    }
};

} // namespace

TEST_F(DaqUiTest, SetupPanelControlsAndCaptions)
{
    start();
    EXPECT_EQ(find<QLabel>("lblDAQConfig")->text(), "Data Acquisition Configuration");
    EXPECT_EQ(find<QLabel>("lblDAQStatus")->text(), "Found active DAQ device.");
    QTreeWidget *list = panel().list();
    ASSERT_EQ(list->columnCount(), 4);
    EXPECT_EQ(list->headerItem()->text(0), "Name");
    EXPECT_EQ(list->headerItem()->text(1), "Input");
    EXPECT_EQ(list->headerItem()->text(2), "Type");
    EXPECT_EQ(list->headerItem()->text(3), "Correction (v)");
    EXPECT_EQ(w().Container(PanelIndex::DAQ), panel().parentWidget());
    EXPECT_EQ(w().Panels().At(PanelIndex::DAQ), &panel());
    const std::pair<const char *, const char *> captions[] = {
        {"buttonDAQNew", "&New"}, {"buttonDAQUpdate", "&Update"}, {"buttonDAQDelete", "&Delete"},
        {"buttonLJReset", "&Reset DAQ Device"}, {"buttonLJInfo", "DA&Q Info..."}, {"buttonRTAdvanced", "Advanced&..."}};
    for (const auto &[name, caption] : captions)
        EXPECT_EQ(find<QPushButton>(name)->text(), caption) << name;
    EXPECT_EQ(find<QCheckBox>("checkInputEnabled")->text(), "Ena&bled");
    EXPECT_EQ(find<QCheckBox>("checkDAQThresholdEnabled")->text(), "Enable Threshold &Warnings");
    EXPECT_EQ(find<QComboBox>("comboGain")->count(), 8);
    EXPECT_EQ(find<QComboBox>("comboGain")->itemText(7), "20 (+/- 1 v)");

    // MAS selected first: Enabled and the formula hidden, correction shown.
    EXPECT_EQ(panel().SelectedName(), "MAS");
    EXPECT_FALSE(find<QCheckBox>("checkInputEnabled")->isVisibleTo(&panel()));
    EXPECT_FALSE(find<QLineEdit>("editDAQScalingFormula")->isVisibleTo(&panel()));
    EXPECT_TRUE(find<QLineEdit>("editDAQVoltageCorrection")->isVisibleTo(&panel()));
    EXPECT_EQ(find<QLineEdit>("editDAQVoltageCorrection")->text(), "0.0000");

    // New: defaults, Enabled shown and ticked; Digital hides the analog fields.
    Editor e{panel()};
    find<QPushButton>("buttonDAQNew")->click();
    EXPECT_TRUE(panel().IsNewInput());
    EXPECT_TRUE(find<QCheckBox>("checkInputEnabled")->isVisibleTo(&panel()));
    EXPECT_TRUE(find<QCheckBox>("checkInputEnabled")->isChecked());
    EXPECT_TRUE(find<QLineEdit>("editDAQScalingFormula")->isVisibleTo(&panel()));
    EXPECT_EQ(find<QLineEdit>("editDAQVoltageCorrection")->text(), "0.0000");
    e.type(2);
    EXPECT_EQ(find<QComboBox>("comboDAQInput")->itemText(0), "D0");
    for (const char *name : {"editDAQVoltageCorrection", "editDAQScalingFormula", "checkDAQThresholdEnabled",
                             "frameDAQThresholds"})
        EXPECT_FALSE(panel().findChild<QWidget *>(name)->isVisibleTo(&panel())) << name;
    e.type(1);
    find<QComboBox>("comboGain")->setCurrentIndex(3);
    e.type(0);
    EXPECT_EQ(find<QComboBox>("comboGain")->currentIndex(), 0) << "leaving Differential resets the gain";
    // Thresholds box enables its controls.
    find<QCheckBox>("checkDAQThresholdEnabled")->setChecked(false);
    EXPECT_FALSE(find<QPushButton>("buttonDAQWarn")->isEnabled());
    find<QCheckBox>("checkDAQThresholdEnabled")->setChecked(true);
    EXPECT_TRUE(find<QPushButton>("buttonDAQWarn")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("editDAQCriticalThreshold")->isEnabled());

    // Real-time mode disables the list buttons and the reset.
    state().RealTimeEnabled = true;
    w().SelectPanel(PanelIndex::DAQ);
    for (const char *name : {"buttonDAQNew", "buttonDAQUpdate", "buttonDAQDelete", "buttonLJReset"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(find<QPushButton>("buttonLJInfo")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("buttonRTAdvanced")->isEnabled());
    state().RealTimeEnabled = false;
    w().SelectPanel(PanelIndex::DAQ);
    EXPECT_TRUE(find<QPushButton>("buttonDAQNew")->isEnabled());
}

// The panel shows what the Update checks refuse and forwards the rest; the
// checks themselves are tested on their own (DAQSetupRules::CheckInput).
TEST_F(DaqUiTest, SetupPanelUpdateShowsRefusalsAndStoresTheRest)
{
    addInput("Boost", 1, CVDAQInput::Differential); // AI2-AI3
    addInput("Launch", 3, CVDAQInput::Digital);
    prefs->daq.SetStagedRevLimiterEnabled(true);
    prefs->daq.SetStagedRevLimiterInput("Launch");
    start();
    Editor e{panel()};

    // A refusal: its message with its icon, and the input as it was.
    panel().SelectRow("Boost");
    e.f<QLineEdit>("editDAQName")->setText("Launch");
    e.f<QComboBox>("comboGain")->setCurrentIndex(3);
    EXPECT_FALSE(panel().Update());
    EXPECT_EQ(lastMessage(), "An element already exists with that name");
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Information);
    ASSERT_NE(prefs->daq.FindDAQInput("Boost"), nullptr);
    EXPECT_EQ(prefs->daq.FindDAQInput("Boost")->Gain(), 0);
    EXPECT_EQ(prefs->daq.FindDAQInput("Launch")->InputType(), CVDAQInput::Digital);
    EXPECT_EQ(panel().SelectedName(), "Boost");
    panel().SelectRow("Launch");
    e.type(0);
    e.f<QComboBox>("comboDAQInput")->setCurrentIndex(5);
    EXPECT_FALSE(panel().Update());
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical) << lastMessage().toStdString();
    EXPECT_EQ(prefs->daq.FindDAQInput("Launch")->InputType(), CVDAQInput::Digital);

    // The boxes' own range checks come first.
    messages.clear();
    panel().SelectRow("Boost");
    find<QLineEdit>("editDAQVoltageCorrection")->setText("5.5");
    EXPECT_FALSE(panel().Update());
    EXPECT_EQ(lastMessage(), "Please enter a valid value between -5 and 5");

    // Added: a row with its texts, selected.
    find<QPushButton>("buttonDAQNew")->click();
    e.fill("12a", 0, 4, "V*2");
    ASSERT_TRUE(panel().Update());
    EXPECT_EQ(prefs->daq.FindDAQInput("12a")->ScalingFormula(), "V*2");
    EXPECT_FALSE(panel().IsNewInput());
    ASSERT_EQ(panel().list()->findItems("12a", Qt::MatchExactly).size(), 1);
    const QTreeWidgetItem *row = panel().list()->findItems("12a", Qt::MatchExactly).front();
    EXPECT_EQ(row->text(1), "AI4");
    EXPECT_EQ(row->text(2), "Single");
    EXPECT_EQ(row->text(3), "0.0000");

    // Edited: thresholds rewritten with four places, the row renamed.
    panel().SelectRow("12a");
    find<QCheckBox>("checkDAQThresholdEnabled")->setChecked(true);
    find<QLineEdit>("editDAQWarnThreshold")->setText("5");
    find<QLineEdit>("editDAQCriticalThreshold")->setText("6");
    find<QLineEdit>("editDAQVoltageCorrection")->setText("-0.25");
    find<QLineEdit>("editDAQName")->setText("EGT");
    ASSERT_TRUE(panel().Update());
    EXPECT_EQ(find<QLineEdit>("editDAQWarnThreshold")->text(), "5.0000");
    EXPECT_FLOAT_EQ(prefs->daq.FindDAQInput("EGT")->VoltageCorrection(), -0.25f);
    EXPECT_EQ(prefs->daq.FindDAQInput("12a"), nullptr);
    EXPECT_EQ(panel().list()->findItems("EGT", Qt::MatchExactly).size(), 1);
    EXPECT_TRUE(panel().list()->findItems("12a", Qt::MatchExactly).isEmpty());

    // Delete: never "MAS", never the staged rev limiter's input, and only
    // after Yes.
    messages.clear();
    panel().SelectRow("MAS");
    panel().Delete();
    EXPECT_EQ(lastMessage(), "The MAS input is required for real-time tracing.");
    panel().SelectRow("Launch");
    messages.queue(MsgAnswer::Yes);
    panel().Delete();
    EXPECT_EQ(lastMessage(), "You cannot delete this input since it's being used by the Staged Rev Limiter");
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
    EXPECT_EQ(panel().SelectedName(), panel().list()->topLevelItem(0)->text(0));
}

TEST_F(DaqUiTest, ColourButtonsUseThePickerAndKeepTheColourOnCancel)
{
    start();
    std::optional<QColor> answer = QColor(10, 20, 30);
    panel().SetColorPicker([&](QWidget *, const QColor &) { return answer; });
    panel().SelectRow("MAS");
    find<QCheckBox>("checkDAQThresholdEnabled")->setChecked(true);
    find<QLineEdit>("editDAQWarnThreshold")->setText("1");
    find<QLineEdit>("editDAQCriticalThreshold")->setText("2");
    find<QPushButton>("buttonDAQWarn")->click();
    answer.reset();
    find<QPushButton>("buttonDAQCritical")->click(); // cancelled
    ASSERT_TRUE(panel().Update());
    const CVDAQInput *mas = prefs->daq.FindDAQInput("MAS");
    EXPECT_EQ(mas->WarningThresholdColor(), 10u | (20u << 8) | (30u << 16));
    EXPECT_EQ(mas->CriticalThresholdColor(), Crit);
}

TEST_F(DaqUiTest, DeviceResetAndInfoMessages)
{
    // The simulated unit.
    start();
    panel().DeviceInfo();
    EXPECT_EQ(lastMessage(), "DAQ Information:\n\nDriver Version: 1.1\nFirmware Version: 1.1");
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Information);
    sim().SetConnected(false);
    panel().ResetDevice();
    EXPECT_EQ(lastMessage(), "The following error was received from the DAQ.\n\n\tSimulated U12 not connected");
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::None);
    EXPECT_EQ(find<QLabel>("lblDAQStatus")->text(), "No DAQ units were found.");
    sim().SetConnected(true);
    panel().ResetDevice();
    EXPECT_EQ(find<QLabel>("lblDAQStatus")->text(), "Found active DAQ device.");

    // No driver library at all.
    prefs->daq.SetDAQDriverLibrary("vantrelle-no-such-driver");
    start(false);
    messages.clear();
    panel().ResetDevice();
    EXPECT_TRUE(lastMessage().startsWith("An error occured while trying to communicate with the DAQ device.  "
                                         "Specifically: \n\n\t"));
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
    panel().DeviceInfo();
    EXPECT_TRUE(lastMessage().startsWith("An error occured while trying to communicate"));
}

// ---- the staged rev limiter dialog ---------------------------------------------

TEST_F(DaqUiTest, StagedRevLimiterDialogRules)
{
    addInput("Launch", 3, CVDAQInput::Digital);
    addInput("Brake", 1, CVDAQInput::Digital);
    addInput("Off", 2, CVDAQInput::Digital, QString(), false, 0, 0, false);
    start();
    state().tune.general().SetRevLimiter(150);
    prefs->daq.SetStagedRevLimiterInput("Gone");
    {
        dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
        EXPECT_EQ(dialog.windowTitle(), "Staged Rev Limiter");
        EXPECT_EQ(dialog.currentLimitLabel()->text(), "7500");
        EXPECT_EQ(dialog.limitEdit()->text(), QString::number(DaqSettings::DefaultStagedRevLimiter * 50));
        EXPECT_FALSE(dialog.enableCheck()->isChecked());
        EXPECT_FALSE(dialog.inputsCombo()->isEnabled());
        EXPECT_FALSE(dialog.limitEdit()->isEnabled());
        // Enabled digital inputs by channel; a stale name falls back to the first.
        ASSERT_EQ(dialog.inputsCombo()->count(), 2);
        EXPECT_EQ(dialog.inputsCombo()->itemText(0), "Brake");
        EXPECT_EQ(dialog.inputsCombo()->currentText(), "Brake");
        dialog.enableCheck()->setChecked(true);
        EXPECT_TRUE(dialog.inputsCombo()->isEnabled());
        EXPECT_TRUE(dialog.limitEdit()->isEnabled());

        for (const char *bad : {"12751", "49", "7000.5", "abc", ""}) {
            messages.clear();
            dialog.limitEdit()->setText(bad);
            EXPECT_FALSE(dialog.OKClicked()) << bad;
            EXPECT_EQ(lastMessage(), "Please enter a valid value between 50 and 12750") << bad;
            EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
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
        dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
        EXPECT_EQ(dialog.limitEdit()->text(), "7000");
        EXPECT_EQ(dialog.inputsCombo()->currentText(), "Launch");
        EXPECT_TRUE(dialog.enableCheck()->isChecked());
        dialog.limitEdit()->setText("12750");
        // Unticked: stored as well, without checks; Cancel stores nothing.
        dialog.enableCheck()->setChecked(false);
        dialog.findChild<QPushButton *>("CancelButton")->click();
        EXPECT_TRUE(prefs->daq.StagedRevLimiterEnabled());
        EXPECT_TRUE(dialog.OKClicked());
    }
    EXPECT_FALSE(prefs->daq.StagedRevLimiterEnabled());
    EXPECT_EQ(prefs->daq.StagedRevLimiter(), 255);
    {
        // Unticked with a text that is no number: the stored limit stays.
        dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
        dialog.limitEdit()->setText("fast");
        messages.clear();
        EXPECT_TRUE(dialog.OKClicked());
        EXPECT_TRUE(messages.shown().empty());
        EXPECT_EQ(prefs->daq.StagedRevLimiter(), 255);
    }
    // No enabled digital input at all.
    prefs->daq.DeleteDAQInput("Launch");
    prefs->daq.DeleteDAQInput("Brake");
    {
        dlgStagedRevLimiter dialog(prefs->daq, state(), messages);
        EXPECT_EQ(dialog.inputsCombo()->count(), 0);
        dialog.enableCheck()->setChecked(true);
        dialog.limitEdit()->setText("7000");
        EXPECT_FALSE(dialog.OKClicked());
        EXPECT_EQ(lastMessage(), "You must first define a digital input in the Data Acquisition Setup");
        EXPECT_EQ(messages.shown().back().icon, MsgIcon::Information);
    }
}

TEST_F(DaqUiTest, MenuItemsOpenTheirDialogs)
{
    start();
    int seen = 0;
    for (QAction *item : {w().Actions().mnuDataLoggingSettings, w().Actions().mnuToolsStagedRevLimiter}) {
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            ++seen;
            modal->findChild<QPushButton *>("CancelButton")->click();
        });
        item->trigger();
    }
    EXPECT_EQ(seen, 2);
}

// ---- the simulated bench ----------------------------------------------------------

TEST_F(DaqUiTest, SimulatedUnitAddsTheBenchWiringOnlyToAnEmptySetup)
{
    start();
    QStringList names;
    for (const auto &input : prefs->daq.DAQInputs())
        names << input->Name();
    EXPECT_EQ(names.join(","), "MAS,TPS,O2,Coolant,EGT,Battery,Launch,Brake");
    EXPECT_EQ(panel().list()->topLevelItemCount(), 8);
    // Every bench formula passes the panel's own check.
    for (const auto &input : prefs->daq.DAQInputs()) {
        panel().SelectRow(input->Name());
        messages.clear();
        EXPECT_TRUE(panel().Update()) << input->Name().toStdString() << ": " << lastMessage().toStdString();
    }
    acq().Tick();
    EXPECT_EQ(strip().inputLabel(5)->text(), "Launch");

    // A setup of the user's own is left alone, and the real driver adds nothing.
    prefs->daq.DeleteDAQInput("TPS");
    start();
    EXPECT_EQ(prefs->daq.FindDAQInput("TPS"), nullptr);
    QTemporaryDir other;
    SettingsStore otherStore(other.filePath("Vantrelle.ini"));
    CVUserPrefs fresh(otherStore);
    StartOptions options;
    MainApplication real(fresh, messages, files, options);
    EXPECT_EQ(fresh.daq.DAQInputs().size(), 1u);
}
