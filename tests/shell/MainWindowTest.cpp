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
#include "shell/FileCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

namespace {

class MainWindowTest : public AppOnBoxTest
{
protected:
    void restart(const QString &commandLine = QString()) { start(commandLine); }
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

TEST_F(MainWindowTest, RecentFilesSurviveARestart)
{
    store.WriteText("", "MRU", "a.vnt;b.vnt;c.vnt");
    start();
    EXPECT_EQ(w().RecentItem(3)->text(), "&3 c.vnt");
    w().close();
    restart();
    EXPECT_EQ(w().RecentList().entries(), (QStringList{"a.vnt", "b.vnt", "c.vnt"}));
}

TEST_F(MainWindowTest, CommandLinePathInQuotesWithABlank)
{
    const QString file = writeProject("my tune.vnt", 141);
    start("\"" + file + "\"");
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 141);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - " + file);
    EXPECT_TRUE(w().CurrentFileName().isEmpty());

    // Save asks for a file name, since the command line did not name the current file.
    app->fileCommands().Save();
    ASSERT_EQ(files.asked().size(), 1u);
    EXPECT_TRUE(files.asked()[0].save);
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

    w().State().Modified = true;
    w().State().tune.general().SetRevLimiter(99);
    messages.queue(MsgAnswer::Cancel);
    w().Actions().mnuFileOpen->trigger();
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the current changes?");
    EXPECT_EQ(w().State().tune.general().RevLimiter(), 99);
    EXPECT_EQ(w().CurrentFileName(), a);
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

    messages.queue(MsgAnswer::Yes);
    files.queue(log);
    w().Actions().mnuFileOpen->trigger();
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

TEST_F(MainWindowTest, SaveAsCancelledOrFailedKeepsModified)
{
    start(writeProject("a.vnt", 100));
    w().State().Modified = true;
    const QString opened = w().CurrentFileName();
    for (const QString &answer : {QString(), path("no/such/folder/x.vnt")}) {
        files.queue(answer);
        w().Actions().mnuFileSaveAs->trigger();
        EXPECT_TRUE(w().State().Modified);
        EXPECT_EQ(w().CurrentFileName(), opened);
    }
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Exclamation);
    files.queue(path("new name.vnt"));
    w().Actions().mnuFileSaveAs->trigger();
    EXPECT_FALSE(w().State().Modified);
    EXPECT_EQ(w().windowTitle(), "Vantrelle - new name.vnt");
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
