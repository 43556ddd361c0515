// A tuner's day in the whole window against vantrelle-boxsim: writes, reads
// and ROM images say what they did, the compare window lists every differing
// value and follows the box after every write (real-time ones too), and
// --help, --version and a bad command line need no display.

#include "editors/GridRules.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CompareWindow.h"
#include "editors/ui/CompareCommands.h"
#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QStatusBar>
#include <QTableWidget>

using TunerDayFlowTest = AppOnBoxTest;

TEST_F(TunerDayFlowTest, TransfersReportTheirTimeAndTheCompareFollowsTheBox)
{
    startOnBox();
    connectBox();
    ASSERT_EQ(link().ConnectionState(), 2);
    w().SelectPanel(7);
    // The status line says what a transfer did and how long it took.
    const auto said = [&](const QString &what) {
        const QString status = w().statusBar()->currentMessage();
        EXPECT_TRUE(QRegularExpression("^" + what + " in \\d+\\.\\d s$").match(status).hasMatch())
            << status.toStdString();
    };
    said("Read 22 items from the Vantrelle");
    EXPECT_TRUE(w().StatusBarPanels().HardwareVersion->isVisibleTo(&w())) << "the message leaves the panels";

    CVFuelTimingDlg &grid = app->grid();
    grid.setCurrentCell(3, 5); // entry 36
    const int raw = state().tune.map(MapKey::HOFM).MapValue(36);
    const int changed = raw < 127 ? raw + 1 : raw - 1;
    ASSERT_TRUE(grid.SetCellValue(changed, false));
    const Tune mine = state().tune;
    CompareCommands &edit = app->compare();
    ASSERT_TRUE(edit.CompareWithBox());
    EXPECT_TRUE(state().tune.sameContents(mine)) << "what the box holds is read into memory only";
    QTableWidget *values = edit.ComparisonWindow()->valuesTable();
    ASSERT_EQ(values->rowCount(), 1);
    // Every column whole in the window, the box's headed as a heading.
    EXPECT_EQ(values->horizontalHeaderItem(5)->text(), "The Vantrelle");
    EXPECT_LE(values->horizontalHeader()->length(), edit.ComparisonWindow()->width());
    const QString line = edit.ComparisonWindow()->ValuesText().split('\n').at(1);
    const int rpm = state().tune.map(MapKey::FUELRPM).MapValue(2) * 50;
    const int load = state().tune.map(MapKey::FUELTP).MapValue(4);
    EXPECT_EQ(line.toStdString(), QStringLiteral("High Octane Fuel Map\t37\t%1\t%2\t%3\t%4")
                                      .arg(rpm)
                                      .arg(load)
                                      .arg(GridRules::DisplayValue(changed, false))
                                      .arg(GridRules::DisplayValue(raw, false))
                                      .toStdString());

    messages.queue(MsgAnswer::Yes); // "Write the current settings to the Vantrelle?"
    act("mnuOptionsWriteChanges")->trigger();
    said("Wrote 1 item to the Vantrelle");
    EXPECT_EQ(std::pair(values->rowCount(), edit.ComparisonWindow()->list()->count()), std::pair(0, 0))
        << "the box now holds the change";

    // So does a change written in real time.
    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    ASSERT_TRUE(grid.SetCellValue(raw, false));
    EXPECT_EQ(values->rowCount(), 0) << "the box holds the value written in real time";
    act("mnuOptionsRealTime")->trigger();

    files.queue(dir.filePath("box.bin"));
    act("mnuFileSaveBin")->trigger();
    said("Read the ROM image from the Vantrelle into " + QRegularExpression::escape(dir.filePath("box.bin")));
    EXPECT_EQ(testenv::readFile(dir.filePath("box.bin")).size(), 32768);
}

// Only a run that opens the window needs one: with no usable platform, a
// command line that reaches Qt aborts (status 134) instead of answering.
TEST(VantrelleCommandLineTest, AnswersAndRefusalsNeedNoDisplay)
{
    const QByteArray version = "vantrelle " + QByteArray::number(VANTRELLE_VERSION_MAJOR) + '.';
    struct Case { QStringList args; int status; QByteArray out; const char *err; };
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: vantrelle", ""},
        {{"-platform", "offscreen", "--sim-daq", "--version"}, 0, version, ""},
        {{"--bogus"}, 2, "", "unknown option --bogus"},
        {{"My", "Tune.vnt", "-x"}, 2, "", "unknown option -x"},
        {{"--sim-daq=1"}, 2, "", "--sim-daq takes no value"},
        {{"--port"}, 2, "", "--port needs a device"},
    };
    for (const Case &c : cases) {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "no-such-platform");
        run.setProcessEnvironment(env);
        run.start(testenv::binDir() + "/vantrelle", c.args);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_TRUE(run.waitForFinished(30000)) << what;
        const QByteArray err = run.readAllStandardError();
        EXPECT_EQ(run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1, c.status)
            << what << ": " << err.toStdString();
        EXPECT_TRUE(run.readAllStandardOutput().startsWith(c.out)) << what;
        EXPECT_TRUE(err.contains(c.err)) << what << ": " << err.toStdString();
    }
}
