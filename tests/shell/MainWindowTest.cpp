// The main window driven as a user would, offscreen, with scripted message
// boxes and file dialogs and a real settings file.

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "daq/CVRTLogger.h"
#include "daq/LogRecovery.h"
#include "model/ProjectFile.h"
#include "platform/FileDialogService.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/ui/QtMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/ui/AcquisitionCommands.h"
#include "shell/FileCommands.h"
#include "shell/HelpCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest() : store(dir.filePath("Vantrelle.ini")) {}

    void start(const QString &commandLine = QString())
    {
        prefs = std::make_unique<CVUserPrefs>(store);
        StartOptions options;
        options.projectPath = commandLine;
        app = std::make_unique<MainApplication>(*prefs, messages, files, options);
        app->window().Load(commandLine);
    }
    void restart(const QString &commandLine = QString())
    {
        app.reset();
        prefs.reset();
        start(commandLine);
    }
    frmMain &w() { return app->window(); }
    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeProject(const QString &name, int revLimiter)
    {
        Tune t;
        t.general().SetRevLimiter(revLimiter);
        t.general().SetVersion("TEST1");
        EXPECT_TRUE(WriteProjectFile(path(name), t));
        return path(name);
    }

    void clickNode(const QString &key)
    {
        const auto items = w().Tree()->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive);
        for (QTreeWidgetItem *item : items) {
            if (item->data(0, Qt::UserRole + 1).toString() == key) {
                w().Tree()->setCurrentItem(item);
                emit w().Tree()->itemClicked(item, 0);
                return;
            }
        }
        FAIL() << "no node " << key.toStdString();
    }

    QTemporaryDir dir;
    SettingsStore store;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<CVUserPrefs> prefs;
    std::unique_ptr<MainApplication> app;
};

bool cellMenuEnabled(frmMain &w)
{
    return w.menuBar()->findChild<QMenu *>("mnuCell")->isEnabled();
}

} // namespace

TEST_F(MainWindowTest, StartsEmptyAndNotConnected)
{
    start();
    EXPECT_EQ(w().windowTitle(), "Vantrelle");
    EXPECT_FALSE(w().Tree()->isVisibleTo(&w()));
    EXPECT_FALSE(cellMenuEnabled(w()));
    for (int i = 1; i <= 14; ++i) {
        if (w().Container(i)) {
            EXPECT_FALSE(w().Container(i)->isVisibleTo(&w())) << i;
        }
    }
}

// The window shows a connection state on the controls its table names.
TEST_F(MainWindowTest, TheConnectionStateReachesEveryControl)
{
    start();
    w().show();
    const MainActions &a = w().Actions();
    const StatusPanels &p = w().StatusBarPanels();
    for (QAction *item : {a.mnuFileOpenBin, a.mnuFileSaveBin, a.mnuLoad})
        item->setEnabled(true); // as the connect command leaves them
    for (int state : {1, 0}) {
        SCOPED_TRACE(state);
        w().SetConnectionState(state);
        const bool on = state == 1;
        EXPECT_EQ(prefs->link.ConnectionState(), state);
        EXPECT_EQ(p.Status->text(), on ? "Connecting..." : "Not Connected");
        EXPECT_EQ(a.mnuOptionsConnect->text(), on ? "&Disconnect from Vantrelle" : "C&onnect To Vantrelle...");
        EXPECT_EQ(a.tbConnect->toolTip(), on ? "Disconnect from Vantrelle" : "Connect To Vantrelle...");
        EXPECT_EQ(a.tbConnect->isChecked(), on);
        for (QAction *item : {a.tbRead, a.tbWrite, a.tbRealTime, a.mnuOptionsRead, a.mnuOptionsWrite,
                              a.mnuOptionsRealTime, a.mnuFileOpenBin, a.mnuFileSaveBin, a.mnuLoad})
            EXPECT_EQ(item->isEnabled(), on) << item->objectName().toStdString();
        EXPECT_EQ(p.VntRTDisabled->isVisible(), on);
        EXPECT_FALSE(p.VntRTEnabled->isVisible());
    }
}

TEST_F(MainWindowTest, TreeSelectsPanelsAndTheCellMenuFollowsMapNodes)
{
    start(writeProject("a.vnt", 140));
    ASSERT_TRUE(w().Tree()->isVisibleTo(&w()));
    EXPECT_EQ(w().Tree()->topLevelItemCount(), 9);
    EXPECT_EQ(w().State().CurrentPanel, 2);
    EXPECT_TRUE(w().Container(2)->isVisibleTo(&w()));
    EXPECT_TRUE(w().Tree()->topLevelItem(0)->isExpanded());

    const struct
    {
        const char *key;
        int panel;
        const char *container;
    } nodes[] = {
        {"GLOBAL", 1, "picGlobalNone"}, {"INJSIZING", 3, "picGlobalInjector"}, {"TTPMAPS", 4, "picGlobalTTP"},
        {"IGNITIONDUTY", 5, "picGlobalInjDwellDuty"}, {"HOFM", 7, "picFuelTimingGrid"},
        {"HOHGFM", 8, "picFuelTimingGrid"}, {"LOFM", 9, "picFuelTimingGrid"}, {"LOHGFM", 10, "picFuelTimingGrid"},
        {"HOTM", 11, "picFuelTimingGrid"}, {"LOTM", 12, "picFuelTimingGrid"}, {"VQ", 13, "picVQTable"},
        {"DAQ", 14, "picDAQConfig"}, {"GENERAL", 2, "picGlobalGeneral"},
    };
    for (const auto &n : nodes) {
        clickNode(n.key);
        EXPECT_EQ(w().State().CurrentPanel, n.panel) << n.key;
        EXPECT_EQ(w().CurrentNodePanel(), n.panel);
        EXPECT_EQ(cellMenuEnabled(w()), n.panel >= 7 && n.panel <= 12) << n.key;
        QSet<QWidget *> visible;
        for (int i = 1; i <= 14; ++i) {
            QWidget *c = w().Container(i);
            if (c && c->isVisibleTo(&w()))
                visible.insert(c);
        }
        ASSERT_EQ(visible.size(), 1) << n.key;
        EXPECT_EQ((*visible.begin())->objectName(), n.container);
    }
}

TEST_F(MainWindowTest, RecentFilesSurviveARestart)
{
    store.WriteText("", "MRU", "a.vnt;b.vnt;c.vnt");
    start();
    const QStringList expected{"&1 a.vnt", "&2 b.vnt", "&3 c.vnt"};
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(w().RecentItem(n)->text(), expected[n - 1]);
    EXPECT_TRUE(w().RecentDivider()->isVisible());
    w().close();
    QString text;
    store.ReadText("", "MRU", text);
    EXPECT_EQ(text, "a.vnt;b.vnt;c.vnt");

    restart();
    EXPECT_EQ(w().RecentList().entries(), (QStringList{"a.vnt", "b.vnt", "c.vnt"}));
}

TEST_F(MainWindowTest, NoRecentFilesHidesTheDivider)
{
    start();
    EXPECT_FALSE(w().RecentDivider()->isVisible());
    EXPECT_EQ(w().RecentItem(1), nullptr);
}

TEST_F(MainWindowTest, CommandLinePathInQuotesWithABlank)
{
    const QString file = writeProject("my tune.vnt", 141);
    start("\"" + file + "\"");
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 141);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - " + file);
    EXPECT_EQ(w().RecentList().entries().first(), file);
    EXPECT_TRUE(w().CurrentFileName().isEmpty());
    EXPECT_FALSE(w().State().Modified);

    // Save asks for a file name, since the command line did not name the current file.
    app->fileCommands().Save();
    ASSERT_EQ(files.asked().size(), 1u);
    EXPECT_TRUE(files.asked()[0].save);
    EXPECT_EQ(files.asked()[0].title, "Save");
}

TEST_F(MainWindowTest, CommandLineWithAMissingFileReportsIt)
{
    start(path("gone.vnt"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(messages.shown()[0].text.startsWith("Error when attempting to load map: "));
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(w().windowTitle(), "Vantrelle");
    EXPECT_FALSE(w().Tree()->isVisibleTo(&w()));
    EXPECT_EQ(w().RecentList().entries().first(), path("gone.vnt"));
}

TEST_F(MainWindowTest, OpenAsksAboutUnsavedChangesAndCancelKeepsEverything)
{
    const QString a = writeProject("a.vnt", 100);
    const QString b = writeProject("b.vnt", 120);
    start();
    files.queue(a);
    w().Actions().mnuFileOpen->trigger();
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 100);
    EXPECT_EQ(w().CurrentFileName(), a);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - " + a);
    EXPECT_EQ(files.asked().back().filter, "Vantrelle Files (*.vnt)|*.vnt|All Files (*.*)|*.*");

    w().State().Modified = true;
    w().State().tune.general().SetRevLimiter(99);
    messages.queue(MsgAnswer::Cancel);
    w().Actions().mnuFileOpen->trigger();
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the current changes?");
    EXPECT_EQ(messages.shown().back().buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 99);
    EXPECT_EQ(w().CurrentFileName(), a);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - " + a);
    EXPECT_EQ(files.asked().size(), 1u) << "no file dialog after Cancel";

    // Cancel on a recently used entry keeps everything too.
    messages.queue(MsgAnswer::Cancel);
    w().UpdateMRUList(b, false);
    w().RecentItem(1)->trigger();
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 99);
    EXPECT_EQ(w().CurrentFileName(), a);

    // No: the other file opens without saving this one.
    messages.queue(MsgAnswer::No);
    w().RecentItem(1)->trigger();
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 120);
    EXPECT_EQ(w().CurrentFileName(), b);
    EXPECT_FALSE(w().State().Modified);
    Tune onDisk;
    ReadProjectFile(a, onDisk);
    EXPECT_EQ(onDisk.general().RevLimiter(), 100);
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
    w().Actions().mnuFileOpen->trigger();
    ASSERT_EQ(w().State().tune.general().RevLimiter(), 100);
    const size_t shownBefore = messages.shown().size();

    messages.queue(MsgAnswer::No);
    files.queue(log);
    w().Actions().mnuFileOpen->trigger();
    ASSERT_EQ(messages.shown().size(), shownBefore + 1);
    const auto asked = messages.shown().back();
    EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
    for (const char *part : {"log.vnt", "(15 bytes)", "shorter", "0x54"})
        EXPECT_TRUE(asked.text.contains(part)) << part << " in " << asked.text.toStdString();
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 100);
    EXPECT_EQ(w().CurrentFileName(), a);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - " + a);
    EXPECT_EQ(w().RecentList().entries(), QStringList{a});

    messages.queue(MsgAnswer::Yes);
    files.queue(log);
    w().Actions().mnuFileOpen->trigger();
    EXPECT_EQ(w().RecentList().entries(), (QStringList{log, a}));
    EXPECT_EQ(w().CurrentFileName(), log);
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 0);
    EXPECT_TRUE(asked.text.startsWith(w().State().TuneOriginWarning));
    EXPECT_FALSE(w().State().TuneOriginWarning.isEmpty());

    // The recently used entry of a sound file clears the warning.
    w().RecentItem(2)->trigger();
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 100);
    EXPECT_TRUE(w().State().TuneOriginWarning.isEmpty());

    // The command line goes through the same question.
    messages.queue(MsgAnswer::No);
    restart(log);
    EXPECT_TRUE(messages.shown().back().text.contains("log.vnt"));
    EXPECT_EQ(w().windowTitle(), "Vantrelle");
    EXPECT_FALSE(w().Tree()->isVisibleTo(&w()));
}

TEST_F(MainWindowTest, OpenGoesOnOnlyOnceTheChangesAreSaved)
{
    const QString a = writeProject("a.vnt", 100);
    const QString b = writeProject("b.vnt", 120);
    // Yes, then the Save As dialog cancelled or the save failing: nothing opens.
    for (const QString &saveAs : {QString(), path("no/such/folder/x.vnt")}) {
        restart(a); // loaded without a file name: Save asks for one
        w().State().tune.general().SetRevLimiter(77);
        w().State().Modified = true;
        w().UpdateMRUList(b, false);
        for (QAction *item : {w().Actions().mnuFileOpen, w().RecentItem(1)}) {
            messages.queue(MsgAnswer::Yes);
            files.queue(saveAs);
            files.queue(b); // would be the file to open
            item->trigger();
            EXPECT_EQ(w().State().tune.general().RevLimiter(), 77) << item->objectName().toStdString();
            EXPECT_TRUE(w().State().Modified);
            files = ScriptedFileDialogService();
        }
    }

    // Yes and a save: the tune is written, then the other file opens.
    restart();
    files.queue(a);
    w().Actions().tbOpen->trigger();
    w().State().tune.general().SetRevLimiter(77);
    w().State().Modified = true;
    messages.queue(MsgAnswer::Yes);
    files.queue(b);
    w().Actions().mnuFileOpen->trigger();
    Tune onDisk;
    ASSERT_TRUE(ReadProjectFile(a, onDisk));
    EXPECT_EQ(onDisk.general().RevLimiter(), 77);
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 120);
}

TEST_F(MainWindowTest, SaveAsNamesTheWindowAndTheList)
{
    start(writeProject("a.vnt", 100));
    w().State().Modified = true;
    files.queue(QString()); // Cancel
    w().Actions().mnuFileSaveAs->trigger();
    EXPECT_TRUE(w().State().Modified);
    EXPECT_TRUE(w().CurrentFileName().isEmpty());

    files.queue(path("new name.vnt"));
    w().Actions().mnuFileSaveAs->trigger();
    EXPECT_FALSE(w().State().Modified);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - new name.vnt");
    EXPECT_EQ(w().RecentList().entries().first(), path("new name.vnt"));
    EXPECT_EQ(testenv::readFile(path("new name.vnt")).size(), 1837);
}

TEST_F(MainWindowTest, SaveAsDoesNothingBeforeATuneArrives)
{
    start();
    files.queue(path("x.vnt"));
    w().Actions().mnuFileSaveAs->trigger();
    EXPECT_TRUE(files.asked().empty());
}

TEST_F(MainWindowTest, FailedSaveShowsTheReasonAndKeepsModified)
{
    start(writeProject("a.vnt", 100));
    w().State().Modified = true;
    files.queue(path("no/such/folder/x.vnt"));
    w().Actions().mnuFileSaveAs->trigger();
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(messages.shown().back().text.isEmpty());
    EXPECT_TRUE(w().State().Modified);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - " + path("a.vnt"));
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
        restart(c.named ? QString() : a);
        if (c.named) {
            files.queue(a);
            w().Actions().mnuFileOpen->trigger();
        }
        w().State().tune.general().SetRevLimiter(55);
        w().State().Modified = !c.log;
        QString logFile;
        if (c.log) {
            CVRTLogger &logger = app->acquisitionCommands().logger();
            ASSERT_TRUE(logger.CreateNewLogFile());
            logger.LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f);
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
            EXPECT_EQ(w().State().Modified, !c.exits || c.answer == MsgAnswer::No);
        }
    }
}

TEST_F(MainWindowTest, EscapeOrClosingTheExitQuestionKeepsTheProgramRunning)
{
    prefs = std::make_unique<CVUserPrefs>(store);
    QtMessageBoxService real;
    MainApplication shown(*prefs, real, files, StartOptions());
    shown.window().Load(QString());
    shown.state().Modified = true;
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
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].choices, LogRecovery::ChoiceCaptions());
    EXPECT_TRUE(messages.shown()[0].text.contains("2 samples"));
    DatalogViewer *viewer = app->analysisCommands().viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->logPath(), left);
    EXPECT_EQ(viewer->log().rowCount(), 2u);

    // It is this run's log now: saved from the menu, or asked about on exit.
    messages.queue(MsgAnswer::Yes);
    files.queue(path("recovered.csv"));
    EXPECT_TRUE(w().close());
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the last datalog?");
    EXPECT_TRUE(testenv::readFile(path("recovered.csv")).endsWith("3100,20\r\n"));
    EXPECT_FALSE(QFileInfo::exists(left));
}

TEST_F(MainWindowTest, GeometryIsStoredInTwipsAndRestored)
{
    start();
    w().show();
    w().resize(w().ToPixels(9000), w().ToPixels(7000));
    QTest::qWait(20);
    w().close();
    EXPECT_NEAR(prefs->window.WndWidth(), 9000, 20);
    EXPECT_NEAR(prefs->window.WndHeight(), 7000, 20);

    w().resize(w().ToPixels(1000), w().height());
    EXPECT_GE(w().ToTwips(w().width()), 3000 - 20) << "never narrower than 3000 twips";

    // Absurd stored values open a window on the screen, no larger than it.
    for (int value : {999999999, -999999999}) {
        prefs->window.SetWndLeftPos(value);
        prefs->window.SetWndTopPos(value);
        prefs->window.SetWndWidth(value);
        prefs->window.SetWndHeight(value);
        restart();
        const QRect screen = w().screen()->availableGeometry();
        EXPECT_TRUE(screen.intersects(QRect(w().pos(), w().size()))) << value;
        EXPECT_LE(w().width(), screen.width());
        EXPECT_LE(w().height(), screen.height());
        EXPECT_GE(w().width(), w().ToPixels(3000));
    }
}

TEST_F(MainWindowTest, SplitterDragIsClampedAndRemembered)
{
    start(writeProject("a.vnt", 100));
    w().resize(w().ToPixels(8000), w().ToPixels(6000));
    w().show();
    QTest::qWait(20);
    QWidget *handle = w().SplitterImage();
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(1, 1));
    // Drag far to the left: the bar stops 500 twips from the edge.
    QMouseEvent move(QEvent::MouseMove, QPointF(-w().ToPixels(5000), 1), handle->mapToGlobal(QPointF(0, 1)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    EXPECT_NEAR(w().ToTwips(w().SplitterBar()->x()), 500, 20);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_FALSE(w().SplitterBar()->isVisible());
    EXPECT_NEAR(prefs->window.SplitterX(), 500, 20);
    EXPECT_NEAR(w().ToTwips(w().Tree()->width()), 500, 20);

    w().close();
    restart();
    EXPECT_NEAR(w().SplitterLeftTwips(), 500, 20);
}

TEST_F(MainWindowTest, ViewItemsToggleToolbarAndStatusBar)
{
    start();
    w().show();
    EXPECT_TRUE(w().Actions().mnuViewToolbar->isChecked());
    w().Actions().mnuViewToolbar->trigger();
    EXPECT_FALSE(w().ToolBar()->isVisible());
    w().Actions().mnuViewStatusBar->trigger();
    EXPECT_FALSE(w().statusBar()->isVisible());
    w().Actions().mnuViewToolbar->trigger();
    EXPECT_TRUE(w().ToolBar()->isVisible());
}

TEST_F(MainWindowTest, HelpWithoutAGuideSaysSo)
{
    start();
    HelpCommands missing(w(), path("none.html"));
    missing.Contents();
    missing.Search();
    ASSERT_EQ(messages.shown().size(), 2u);
    for (const auto &m : messages.shown())
        EXPECT_EQ(m.text, "Unable to display Help Contents. There is no Help associated with this project.");
}
