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

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>
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

// Opening another file (from the menu or a recently used entry) over
// unsaved changes goes on only once they are saved or given up.
TEST_F(MainWindowTest, OpenGoesOnOnlyOnceTheChangesAreSavedOrGivenUp)
{
    const struct
    {
        const char *name;
        bool named;         // the tune has a file name (else Save asks for one)
        bool recent;        // opened from the recently used list
        MsgAnswer answer;
        const char *saveAs; // the Save As dialog's answer
        bool opens;
    } cases[] = {
        {"Cancel", true, false, MsgAnswer::Cancel, nullptr, false},
        {"Cancel, recent", true, true, MsgAnswer::Cancel, nullptr, false},
        {"Yes, dialog cancelled", false, false, MsgAnswer::Yes, "", false},
        {"Yes, save failed, recent", false, true, MsgAnswer::Yes, "no/such/folder/x.vnt", false},
        {"Yes, saved", true, false, MsgAnswer::Yes, nullptr, true},
        {"No, recent", true, true, MsgAnswer::No, nullptr, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString a = writeProject("a.vnt", 100);
        const QString b = writeProject("b.vnt", 120);
        start(c.named ? QString() : a);
        if (c.named) {
            files.queue(a);
            act("mnuFileOpen")->trigger();
        }
        state().tune.general().SetRevLimiter(55);
        state().NoteEdit(QString(), true);
        w().UpdateMRUList(b, false);
        messages.clear();
        messages.queue(c.answer);
        if (c.saveAs)
            files.queue(*c.saveAs ? path(c.saveAs) : QString());
        if (!c.recent)
            files.queue(b);
        (c.recent ? w().RecentItem(1) : act("mnuFileOpen"))->trigger();
        EXPECT_EQ(messages.shown().at(0).text, "Do you wish to save the current changes?");
        EXPECT_EQ(state().tune.general().RevLimiter(), c.opens ? 120 : 55);
        EXPECT_EQ(state().Modified(), !c.opens);
        Tune onDisk;
        ASSERT_TRUE(ReadProjectFile(a, onDisk));
        EXPECT_EQ(onDisk.general().RevLimiter(), c.answer == MsgAnswer::Yes && c.opens ? 55 : 100);
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
    EXPECT_EQ(state().tune.general().RevLimiter(), 100);
    EXPECT_EQ(w().CurrentFileName(), a);

    messages.queue(MsgAnswer::Yes);
    files.queue(log);
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(w().CurrentFileName(), log);

    // The command line goes through the same question.
    messages.queue(MsgAnswer::No);
    start(log);
    EXPECT_TRUE(messages.shown().back().text.contains("log.vnt"));
    EXPECT_FALSE(w().Tree()->isVisibleTo(&w()));
}

TEST_F(MainWindowTest, SaveAsCancelledOrFailedKeepsModified)
{
    start(writeProject("a.vnt", 100));
    state().NoteEdit(QString(), true);
    const QString opened = w().CurrentFileName();
    for (const QString &answer : {QString(), path("no/such/folder/x.vnt")}) {
        files.queue(answer);
        act("mnuFileSaveAs")->trigger();
        EXPECT_TRUE(state().Modified());
        EXPECT_EQ(w().CurrentFileName(), opened);
    }
    files.queue(path("new name.vnt"));
    act("mnuFileSaveAs")->trigger();
    EXPECT_FALSE(state().Modified());
    EXPECT_EQ(testenv::readFile(path("new name.vnt")).size(), 1837);
}

TEST_F(MainWindowTest, ExitKeepsRunningUnlessTheChangesAndTheLogAreDealtWith)
{
    const struct
    {
        const char *name;
        bool named;          // the tune has a file name (else Save asks for one)
        bool log;            // a datalog with samples never saved
        MsgAnswer answer;    // to the question about the tune, or the log
        const char *saveAs;  // the Save As dialog's answer
        bool exits;
    } cases[] = {
        {"Cancel", true, false, MsgAnswer::Cancel, nullptr, false},
        {"Yes, dialog cancelled", false, false, MsgAnswer::Yes, "", false},
        {"Yes, save failed", false, false, MsgAnswer::Yes, "no/such/folder/x.vnt", false},
        {"Yes, saved", true, false, MsgAnswer::Yes, nullptr, true},
        {"No", true, false, MsgAnswer::No, nullptr, true},
        {"log: Cancel", true, true, MsgAnswer::Cancel, nullptr, false},
        {"log: Yes, dialog cancelled", true, true, MsgAnswer::Yes, "", false},
        {"log: No", true, true, MsgAnswer::No, nullptr, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString a = writeProject("a.vnt", 100);
        start(c.named ? QString() : a);
        if (c.named) {
            files.queue(a);
            act("mnuFileOpen")->trigger();
        }
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
        messages.clear();
        messages.queue(c.answer);
        if (c.saveAs)
            files.queue(*c.saveAs ? path(c.saveAs) : QString());

        EXPECT_EQ(w().close(), c.exits);
        ASSERT_FALSE(messages.shown().empty());
        EXPECT_EQ(messages.shown()[0].text, c.log ? "Do you wish to save the last datalog?" : "Save changes before exiting?");
        EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNoCancel);
        Tune onDisk;
        ASSERT_TRUE(ReadProjectFile(a, onDisk));
        EXPECT_EQ(onDisk.general().RevLimiter(), !c.log && c.answer == MsgAnswer::Yes && c.exits ? 55 : 100);
        if (c.log) {
            EXPECT_EQ(QFileInfo::exists(logFile), !c.exits) << "a log is dropped only on No";
        } else {
            EXPECT_EQ(state().Modified(), !c.exits || c.answer == MsgAnswer::No);
        }
    }
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

    // It is this run's log now: saved from the menu, or asked about on exit.
    messages.queue(MsgAnswer::Yes);
    files.queue(path("recovered.csv"));
    EXPECT_TRUE(w().close());
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the last datalog?");
    EXPECT_TRUE(testenv::readFile(path("recovered.csv")).endsWith("3100,20\r\n"));
    EXPECT_FALSE(QFileInfo::exists(left));
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
    EXPECT_EQ(items("mnuTools"), "mnuToolsStagedRevLimiter mnuToolsMapCopy mnuToolsCompare mnuToolsDatalogViewer "
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
    EXPECT_TRUE(w().TuneShown());
    EXPECT_FALSE(welcome->isVisible());

    preferences().window.SetWndLeftPos(30000);
    preferences().window.SetWndTopPos(20000);
    preferences().window.SetWndWidth(40000);
    preferences().window.SetWndHeight(30000);
    start();
    w().show();
    EXPECT_TRUE(waitFor([&] { return area.contains(w().frameGeometry()); }));
}
