// The journal and the history in the running application, on real files
// and against vantrelle-boxsim: a run that dies is taken up again byte for
// byte; saves, reads and writes become entries; the History window shows
// what changed since an entry and restores it as one undoable edit.

#include "support/AppOnBoxTest.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridCellEditing.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "history/TuneJournal.h"
#include "history/ui/HistoryCommands.h"
#include "history/ui/HistoryWindow.h"
#include "editors/ui/UndoCommands.h"
#include "model/ProjectFile.h"

#include <QTableWidget>

namespace {

class HistoryTest : public AppOnBoxTest
{
protected:
    void editCell(int row, int col)
    {
        w().SelectPanel(PanelIndex::HOFM);
        app->grid().setCurrentCell(row, col);
        app->grid().editing().incrementAction()->trigger();
    }
    std::vector<HistoryKind> kinds()
    {
        std::vector<HistoryKind> out;
        for (const HistoryEntry &e : app->historyCommands().recorder().Store().Entries())
            out.push_back(e.kind);
        return out;
    }
};

} // namespace

// Killed with unsaved, unsent edits under a file name: the next start offers
// the journal and restores the tune, its file and its flags exactly.
TEST_F(HistoryTest, ARunThatDiesIsTakenUpAgainExactly)
{
    Tune saved;
    saved.general().SetRevLimiter(140);
    ASSERT_TRUE(WriteProjectFile(dir.filePath("a.vnt"), saved));
    start();
    app->historyCommands().StartJournal({});
    files.queue(dir.filePath("a.vnt"));
    act("mnuFileOpen")->trigger();
    editCell(3, 4);
    editCell(3, 4);
    const QByteArray expected = EncodeProject(state().tune);
    ASSERT_TRUE(state().Modified());
    const QString journal = app->journal().Path();
    app.reset(); // no unload: as a crash leaves it
    ASSERT_TRUE(QFile::exists(journal));

    start();
    messages.queueChoice(0); // Restore
    app->historyCommands().StartJournal({});
    EXPECT_EQ(EncodeProject(state().tune), expected);
    EXPECT_EQ(w().CurrentFileName(), dir.filePath("a.vnt"));
    EXPECT_TRUE(state().Modified() && state().ChangesNotSent());
    EXPECT_TRUE(w().isWindowModified()) << "the title marks unsaved changes";
    EXPECT_FALSE(QFile::exists(journal)) << "taken up: not offered again";
    EXPECT_EQ(kinds(), std::vector<HistoryKind>{HistoryKind::Restore});
}

// Saves, reads and writes are entries; the window shows what changed since
// one and puts the chosen values back as one step that undo takes back.
TEST_F(HistoryTest, EntriesFollowTheTuneAndRestoreIsOneUndoableEdit)
{
    startOnBox();
    connectBox();
    messages.queue(MsgAnswer::Yes); // "Write the current settings to the Vantrelle?"
    act("mnuOptionsWrite")->trigger();
    files.queue(dir.filePath("b.vnt"));
    act("mnuFileSaveAs")->trigger();
    EXPECT_EQ(kinds(), (std::vector<HistoryKind>{HistoryKind::BoxRead, HistoryKind::BoxWrite, HistoryKind::Save}));
    const QByteArray atSave = EncodeProject(state().tune);

    editCell(2, 2);
    editCell(5, 7);
    HistoryWindow &history = app->historyCommands().ShowHistory();
    ASSERT_TRUE(history.SelectEntry(3));
    ASSERT_EQ(history.differences()->rowCount(), 2);
    history.differences()->selectRow(0);
    ASSERT_EQ(history.differences()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(history.RestoreCells(), 1);
    EXPECT_EQ(history.differences()->rowCount(), 1) << "the window follows the tune";
    EXPECT_EQ(history.RestoreTune(), 1);
    EXPECT_EQ(EncodeProject(state().tune), atSave);
    app->undo().Undo();
    EXPECT_NE(EncodeProject(state().tune), atSave);
    EXPECT_EQ(history.differences()->rowCount(), 1) << "one step back: the whole-tune restore";
}
