// A tuner's day in the whole window against vantrelle-boxsim: the grid keeps
// the keyboard after an in-place edit, a project saved without an extension
// gets one, writes, reads and ROM images say what they did, the compare
// window lists every differing value and follows the box after every write
// (real-time ones too), and --help, --version and a bad command line need no
// display.

#include "editors/GridRules.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CompareWindow.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/CompareCommands.h"
#include "editors/ui/UndoCommands.h"
#include "model/ProjectFile.h"
#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QStatusBar>
#include <QTableWidget>

namespace {

class TunerDayFlowTest : public AppOnBoxTest
{
protected:
    void startConnected()
    {
        startOnBox();
        connectBox();
        ASSERT_EQ(link().ConnectionState(), 2);
        w().SelectPanel(7);
    }
    CVFuelTimingDlg &grid() { return app->grid(); }
    int hofm(int entry) { return state().tune.map(MapKey::HOFM).MapValue(entry); }
    QString status() { return w().statusBar()->currentMessage(); }
};

} // namespace

TEST_F(TunerDayFlowTest, TheGridKeepsTheKeyboardAfterEnterAndEscape)
{
    startConnected();
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    grid().setCurrentCell(2, 2);
    grid().grid()->setFocus();
    state().tune.map(MapKey::HOFM).SetMapValue(17, 40);
    grid().PopGrid();

    for (Qt::Key end : {Qt::Key_Return, Qt::Key_Escape}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(grid().IsEditingMap());
        QTest::keyClicks(QApplication::focusWidget(), "50");
        QTest::keyClick(QApplication::focusWidget(), end);
        EXPECT_FALSE(grid().IsEditingMap());
        EXPECT_EQ(QApplication::focusWidget(), grid().grid());
        const int before = hofm(17);
        EXPECT_EQ(before, 50) << "Enter stored the value, Escape changed nothing";
        QTest::keyClicks(QApplication::focusWidget(), "+");
        EXPECT_EQ(hofm(17), before + 1) << "+ acts at once";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(grid().currentRow(), 3) << "and so do the arrows";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClicks(QApplication::focusWidget(), "-");
    }
}

// Ctrl+Shift+S and Ctrl+S save, and say where.
TEST_F(TunerDayFlowTest, ASavedProjectGetsItsExtensionAndADatedNameIsSuggested)
{
    startConnected();
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    files.queue(dir.filePath("tune1"));
    QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(status(), "Saved " + dir.filePath("tune1.vnt"));
    state().NoteEdit(QString(), true);
    QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(state().Modified());
    ASSERT_EQ(files.asked().size(), 1u);
    EXPECT_TRUE(files.asked()[0].suggestedName.startsWith("tune "));
    EXPECT_TRUE(files.asked()[0].suggestedName.endsWith(".vnt"));
    EXPECT_EQ(w().CurrentFileName(), dir.filePath("tune1.vnt"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("tune1")));
    Tune saved;
    EXPECT_TRUE(ReadProjectFile(dir.filePath("tune1.vnt"), saved));
}

TEST_F(TunerDayFlowTest, TransfersReportTheirTimeAndTheCompareFollowsTheBox)
{
    startConnected();
    EXPECT_TRUE(QRegularExpression("^Read 22 items from the Vantrelle in \\d+\\.\\d s$").match(status()).hasMatch())
        << status().toStdString();
    EXPECT_TRUE(w().StatusBarPanels().HardwareVersion->isVisibleTo(&w())) << "the message leaves the panels";

    CompareCommands &edit = app->compare();
    ASSERT_TRUE(edit.CompareWithBox());
    grid().setCurrentCell(3, 5); // entry 36
    const int raw = hofm(36);
    const int changed = raw < 127 ? raw + 1 : raw - 1;
    ASSERT_TRUE(grid().SetCellValue(changed, false));
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
    EXPECT_TRUE(QRegularExpression("^Wrote 1 item to the Vantrelle in \\d+\\.\\d s$").match(status()).hasMatch())
        << status().toStdString();
    EXPECT_EQ(values->rowCount(), 0) << "the box now holds the change";
    EXPECT_EQ(edit.ComparisonWindow()->list()->count(), 0);

    // So does a change written in real time.
    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    ASSERT_TRUE(grid().SetCellValue(raw, false));
    EXPECT_EQ(values->rowCount(), 0) << "the box holds the value written in real time";
    act("mnuOptionsRealTime")->trigger();

    files.queue(dir.filePath("box.bin"));
    act("mnuFileSaveBin")->trigger();
    EXPECT_TRUE(QRegularExpression("^Read the ROM image from the Vantrelle into " +
                                   QRegularExpression::escape(dir.filePath("box.bin")) + " in \\d+\\.\\d s$")
                    .match(status())
                    .hasMatch())
        << status().toStdString();
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
        {{"--style"}, 2, "", "--style needs a value"},
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
