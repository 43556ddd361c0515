// The main window driven as a user would, offscreen, with scripted message
// boxes and file dialogs and a real settings file.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "daq/CVRTLogger.h"
#include "daq/LogRecovery.h"
#include "daq/ui/AcquisitionCommands.h"
#include "model/ProjectFile.h"
#include "platform/ui/QtMessageBoxService.h"
#include "shell/MessageStatusBar.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>

namespace {

class MainWindowTest : public AppOnBoxTest
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeProject(const QString &name, int revLimiter)
    {
        Tune t;
        t.general().SetRevLimiter(revLimiter);
        t.general().SetVersion("TEST1");
        EXPECT_TRUE(WriteProjectFile(path(name), t));
        return path(name);
    }
};

} // namespace

// Opening another file (from the menu or a recently used entry) over unsaved
// changes, and the exit over them or over a datalog never saved, go on only
// once these are saved or given up.
TEST_F(MainWindowTest, OpenAndExitGoOnOnlyOnceTheChangesAndTheLogAreDealtWith)
{
    enum How { Open, Recent, Exit };
    const struct
    {
        const char *name;
        How how;
        bool named;         // the tune has a file name (else Save asks for one)
        bool log;           // no changes, but a datalog with samples never saved
        MsgAnswer answer;   // to the question about the tune, or the log
        const char *saveAs; // the Save As dialog's answer
        bool goesOn;
    } cases[] = {
        {"open: Cancel", Open, true, false, MsgAnswer::Cancel, nullptr, false},
        {"recent: Cancel", Recent, true, false, MsgAnswer::Cancel, nullptr, false},
        {"open: Yes, dialog cancelled", Open, false, false, MsgAnswer::Yes, "", false},
        {"recent: Yes, save failed", Recent, false, false, MsgAnswer::Yes, "no/such/folder/x.vnt", false},
        {"open: Yes, saved", Open, true, false, MsgAnswer::Yes, nullptr, true},
        {"recent: No", Recent, true, false, MsgAnswer::No, nullptr, true},
        {"exit: Cancel", Exit, true, false, MsgAnswer::Cancel, nullptr, false},
        {"exit: Yes, save failed", Exit, false, false, MsgAnswer::Yes, "no/such/folder/x.vnt", false},
        {"exit: Yes, saved", Exit, true, false, MsgAnswer::Yes, nullptr, true},
        {"exit: No", Exit, true, false, MsgAnswer::No, nullptr, true},
        {"log: Cancel", Exit, true, true, MsgAnswer::Cancel, nullptr, false},
        {"log: Yes, dialog cancelled", Exit, true, true, MsgAnswer::Yes, "", false},
        {"log: No", Exit, true, true, MsgAnswer::No, nullptr, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString a = writeProject("a.vnt", 100);
        const QString b = writeProject("b.vnt", 120);
        start(a);
        if (!c.named)
            w().SetCurrentFileName(QString()); // as a tune read from the box has none
        state().tune.general().SetRevLimiter(55);
        if (c.log)
            state().NoteAtSavePoint(true);
        else
            state().NoteEdit(QString(), true);
        QString logFile;
        if (c.log) {
            CVRTLogger &logger = app->acquisitionCommands().logger();
            ASSERT_TRUE(logger.CreateNewLogFile());
            logger.LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f, {2.0f});
            logFile = logger.LogFileName();
        }
        w().UpdateMRUList(b, false);
        messages.clear();
        messages.queue(c.answer);
        if (c.saveAs)
            files.queue(*c.saveAs ? path(c.saveAs) : QString());
        if (c.how == Open)
            files.queue(b);
        if (c.how == Exit)
            EXPECT_EQ(w().close(), c.goesOn);
        else
            (c.how == Recent ? w().RecentItem(1) : act("mnuFileOpen"))->trigger();

        ASSERT_FALSE(messages.shown().empty());
        const char *question = c.how != Exit ? "Do you wish to save the current changes?"
                               : c.log       ? "Do you wish to save the last datalog?"
                                             : "Save changes before exiting?";
        EXPECT_EQ(std::pair(messages.shown()[0].text, messages.shown()[0].buttons),
                  std::pair(QString(question), MsgButtons::YesNoCancel));
        Tune onDisk;
        ASSERT_TRUE(ReadProjectFile(a, onDisk));
        EXPECT_EQ(onDisk.general().RevLimiter(), !c.log && c.answer == MsgAnswer::Yes && c.goesOn ? 55 : 100);
        if (c.how != Exit) {
            EXPECT_EQ(state().tune.general().RevLimiter(), c.goesOn ? 120 : 55);
        }
        if (c.log) {
            EXPECT_EQ(QFileInfo::exists(logFile), !c.goesOn) << "a log is dropped only on No";
        } else {
            EXPECT_EQ(state().Modified(), !c.goesOn || (c.how == Exit && c.answer == MsgAnswer::No));
        }
        files = ScriptedFileDialogService();
    }
}

// A file that does not look like a project (here a data log renamed) is
// named before it replaces the tune; No keeps the tune and the file it
// belongs to, so a later Save cannot write over the file turned down.
TEST_F(MainWindowTest, AnUnusualFileIsOpenedOnlyWhenTheUserAgrees)
{
    const QString a = writeProject("a.vnt", 100);
    const QString log = path("log.vnt");
    ASSERT_TRUE(testenv::writeFile(log, "Time,RPM\n0,900\n"));
    start();
    files.queue(a);
    act("mnuFileOpen")->trigger();
    messages.queue(MsgAnswer::No);
    files.queue(log);
    act("mnuFileOpen")->trigger();
    EXPECT_TRUE(messages.shown().back().text.contains("log.vnt")) << messages.shown().back().text.toStdString();
    EXPECT_EQ(std::pair(state().tune.general().RevLimiter(), w().CurrentFileName()), std::pair(100, a));

    messages.queue(MsgAnswer::Yes);
    files.queue(log);
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(w().CurrentFileName(), log);
    // A file that cannot be read takes nothing: Save still writes to log.
    files.queue(path("missing.vnt"));
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(w().CurrentFileName(), log);

    // The command line goes through the same question.
    messages.queue(MsgAnswer::No);
    start(log);
    EXPECT_TRUE(messages.shown().back().text.contains("log.vnt") && !w().Tree()->isVisibleTo(&w()));
}

// Save As, cancelled or failed, keeps Modified and the file name; a name
// without an extension gets the project's. Ctrl+Shift+S and Ctrl+S save, and
// say where.
TEST_F(MainWindowTest, SaveAsCancelledOrFailedKeepsModifiedAndASavedProjectGetsItsExtension)
{
    start(writeProject("a.vnt", 100));
    EXPECT_EQ(w().CurrentFileName(), path("a.vnt")) << "a project named on the command line is its file";
    w().SetCurrentFileName(QString()); // as a tune read from the box has none
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    state().NoteEdit(QString(), true);
    const QString opened = w().CurrentFileName();
    for (const QString &answer : {QString(), path("no/such/folder/x.vnt")}) {
        files.queue(answer);
        act("mnuFileSaveAs")->trigger();
        EXPECT_TRUE(state().Modified());
        EXPECT_EQ(w().CurrentFileName(), opened);
    }
    const QString suggested = files.asked().at(0).suggestedName;
    EXPECT_TRUE(suggested.startsWith("tune ") && suggested.endsWith(".vnt")) << "a dated name for a tune without one";
    files.queue(path("new name"));
    QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w().statusBar()->currentMessage(), "Saved " + path("new name.vnt"));
    EXPECT_FALSE(state().Modified());
    EXPECT_EQ(testenv::readFile(path("new name.vnt")).size(), 1837);
    EXPECT_FALSE(QFileInfo::exists(path("new name")));
    state().NoteEdit(QString(), true);
    QTest::keyClick(&w(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(state().Modified());
    EXPECT_EQ(w().CurrentFileName(), path("new name.vnt"));
}

// A message longer than the room beside the panels loses its middle, not
// its end (the file it names), never runs under a panel, and shows whole in
// a tooltip over it; one that fits shows as it is.
TEST_F(MainWindowTest, ALongStatusMessageIsShortenedInTheMiddleBesideThePanels)
{
    start(writeProject("a.vnt", 100));
    w().show();
    w().resize(640, 480);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    auto *bar = qobject_cast<MessageStatusBar *>(w().statusBar());
    ASSERT_NE(bar, nullptr);
    const QString message = "Saved " + path(QString(80, 'd') + "/tune of the day.vnt");
    w().ShowStatusMessage(message, 0);
    const QString shown = bar->ShownMessage();
    EXPECT_TRUE(shown.startsWith("Saved ") && shown.endsWith("tune of the day.vnt") && shown.contains(QChar(0x2026)))
        << shown.toStdString();
    int firstPanel = bar->width();
    for (const QWidget *panel : bar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (panel->isVisible())
            firstPanel = std::min(firstPanel, panel->x());
    EXPECT_LT(bar->fontMetrics().horizontalAdvance(shown), firstPanel);
    const QPoint overMessage(20, bar->height() / 2);
    QHelpEvent help(QEvent::ToolTip, overMessage, bar->mapToGlobal(overMessage));
    QApplication::sendEvent(bar, &help);
    EXPECT_EQ(QToolTip::text(), message);
    w().ShowStatusMessage("Saved a.vnt", 0);
    EXPECT_EQ(bar->ShownMessage(), "Saved a.vnt");
    EXPECT_EQ(bar->CutMessage(), QString());
}

TEST_F(MainWindowTest, EscapeOrClosingTheExitQuestionKeepsTheProgramRunning)
{
    prefs = std::make_unique<CVUserPrefs>(store);
    QtMessageBoxService real;
    MainApplication shown(*prefs, real, files, StartOptions());
    shown.load();
    shown.state().NoteEdit(QString(), true);
    for (bool escape : {true, false}) {
        OnNextModal(QString(), [escape](QWidget *box) {
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        EXPECT_FALSE(shown.window().close()) << (escape ? "Escape" : "closed");
    }
}

// A warning whose safe answer is Cancel takes it on Enter as on Escape.
TEST(MessageBoxes, AWarningWhoseSafeAnswerIsCancelTakesItOnEnterAndEscape)
{
    QtMessageBoxService real;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        OnNextModal(QString(), [key](QWidget *box) { QTest::keyClick(box, key); });
        EXPECT_EQ(real.show(nullptr, "Write it?", MsgIcon::Exclamation, MsgButtons::OKCancel), MsgAnswer::Cancel);
    }
}

TEST_F(MainWindowTest, ALogACrashLeftBehindIsOfferedAtStartUp)
{
    const QString folder = RunningLogFolder();
    QDir().mkpath(folder);
    const QString left = folder + "/vntCrash1.csv";
    testenv::writeFile(left, "DATE/TIME,RPM,TP\r\n2026-12-06 14:03:27.125,3000,19.98\r\n"
                             "2026-12-06 14:03:27.225,3100,20\r\n");
    start();
    messages.queueChoice(LogRecovery::OpenInViewer);
    app->start();
    DatalogViewer *viewer = app->analysisCommands().viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->log().rowCount(), 2u);
    // It is this run's log now, asked about on exit.
    EXPECT_TRUE(app->acquisitionCommands().logger().HasUnsavedSamples());
}

// The features put their items into the window's menus and toolbar: the
// menus come out in the order the program has always shown them, each item
// once, and the availability the commands follow is applied at once.
TEST_F(MainWindowTest, TheFeaturesFillTheMenusInOrder)
{
    start();
    const auto items = [&](const char *menu) {
        QStringList names;
        for (QAction *a : w().findChild<QMenu *>(QLatin1String(menu))->actions())
            if (a->isVisible() && !a->isSeparator())
                names << (a->menu() ? a->menu()->objectName() : a->objectName());
        return names.join(' ');
    };
    EXPECT_EQ(items("mnuFile"), "mnuFileOpen mnuFileSave mnuFileSaveAs mnuFileOpenBin mnuFileSaveBin mnuLoad "
                                "mnuFileClose");
    EXPECT_EQ(items("mnuEdit"), "mnuEditUndo mnuEditRedo");
    EXPECT_EQ(items("mnuView"), "mnuViewToolbar mnuViewStatusBar mnuView3DMap mnuViewGauges mnuViewValueColours "
                                "mnuViewOwnRangeColours");
    EXPECT_EQ(items("mnuOptions"), "mnuOptionsConnect mnuOptionsRead mnuOptionsWrite mnuOptionsWriteChanges "
                                   "mnuOptionsRealTime mnuOptionsSettings mnuOptionsGridFont");
    EXPECT_EQ(items("mnuTools"),
              "mnuToolsStagedRevLimiter mnuToolsMapCopy mnuToolsCompare mnuToolsHistory mnuToolsDatalogViewer "
              "mnuToolsMapOverlay mnuToolsFuelCorrection");
    EXPECT_EQ(items("mnuDataLogging"),
              "mnuDataLoggingSave mnuDataLogClear mnuDataLoggingHighlight mnuDataLoggingSettings");
    EXPECT_EQ(items("mnuHelp"), "mnuHelpContents mnuHelpSearch mnuHelpAbout");
    QStringList buttons;
    for (QAction *a : w().ToolBar()->actions())
        if (a->isVisible() && !a->isSeparator())
            buttons << a->objectName();
    EXPECT_EQ(buttons.join(' '), "tbOpen tbSave tbConnect tbRead tbWrite tbRealTime");
    // Not connected: nothing that needs the box is on offer.
    for (const char *name : {"mnuOptionsRead", "tbWrite", "mnuOptionsRealTime", "mnuLoad", "mnuOptionsWriteChanges",
                             "mnuToolsCompareBox"})
        EXPECT_FALSE(act(name)->isEnabled()) << name;
    EXPECT_TRUE(act("mnuToolsMapCopy")->isEnabled());
}

// A first start opens on most of the screen with the ways to a tune; the
// ways that need the box connect first. A place stored on a larger screen
// comes back onto this one, frame and all.
TEST_F(MainWindowTest, AFirstStartOffersTheWaysInAndEveryStartFitsTheScreen)
{
    start();
    w().show();
    const QRect area = w().screen()->availableGeometry();
    EXPECT_GE(w().width(), area.width() * 7 / 10);
    auto *welcome = w().findChild<QWidget *>("welcome");
    ASSERT_TRUE(welcome->isVisible());
    for (const char *way : {"welcomeRead", "welcomeStock"}) {
        messages.clear();
        messages.queue(MsgAnswer::No);
        welcome->findChild<QAbstractButton *>(way)->click();
        EXPECT_EQ(messages.texts(), QStringList{"Ensure that your car is not running.  Are you ready to continue?"});
    }
    files.queue(writeProject("a.vnt", 100));
    welcome->findChild<QAbstractButton *>("welcomeOpen")->click();
    EXPECT_TRUE(w().TuneShown() && !welcome->isVisible());

    preferences().window.SetWndLeftPos(30000);
    preferences().window.SetWndTopPos(20000);
    preferences().window.SetWndWidth(40000);
    preferences().window.SetWndHeight(30000);
    start();
    w().show();
    EXPECT_TRUE(waitFor([&] { return area.contains(w().frameGeometry()); }));
}
