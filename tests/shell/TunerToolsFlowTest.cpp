// The tuner's tools in the whole window against vantrelle-boxsim: undo and
// redo with save points, block operations and undo in real-time mode (checked
// against the box's frame log), paste refusals, the write of the changes only
// and the comparison with a stock image.

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/CompareWindow.h"
#include "editors/ui/dlgMapCopy.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeWrite.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "editors/ui/UndoAndCompareCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/AppOnBoxTest.h"
#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TunerToolsFlowTest : public AppOnBoxTest
{
protected:
    void start(const QStringList &boxArgs = {})
    {
        startApp(boxArgs);
        connectBox();
        ASSERT_EQ(prefs->link.ConnectionState(), 2);
    }
    CVFuelTimingDlg &grid() { return app->grid(); }
    QStringList frames(const QString &prefix) { return framesStartingWith(prefix); }
    void select(int top, int left, int bottom, int right)
    {
        QAbstractItemModel *m = grid().grid()->model();
        grid().setCurrentCell(top, left);
        grid().grid()->selectionModel()->select(QItemSelection(m->index(top, left), m->index(bottom, right)),
                                                QItemSelectionModel::ClearAndSelect);
    }
    QString undoText() { return w().Actions().mnuEditUndo->text(); }
    // A value a fuel body cell of raw value raw accepts and that changes it.
    static double otherValue(int raw)
    {
        if (raw < 128)
            return (raw + 1) % 128;
        return GridRules::DisplayValue(raw, false) == 0 ? 1 : 0;
    }
};

} // namespace

TEST_F(TunerToolsFlowTest, UndoAndRedoFollowTheSavePoint)
{
    start();
    EXPECT_FALSE(w().Actions().mnuEditUndo->isEnabled());
    const QList<QKeySequence> redoKeys = w().Actions().mnuEditRedo->shortcuts();
    EXPECT_TRUE(redoKeys.contains(QKeySequence("Ctrl+Shift+Z")));
    EXPECT_TRUE(redoKeys.contains(QKeySequence("Ctrl+Y")));
    EXPECT_EQ(w().Actions().mnuEditUndo->shortcut(), QKeySequence("Ctrl+Z"));

    w().SelectPanel(7);
    const int original = state().tune.map(MapKey::HOFM).MapValue(0);
    grid().setCurrentCell(1, 1);
    ASSERT_TRUE(grid().SetCellValue(otherValue(original), false));
    const int first = state().tune.map(MapKey::HOFM).MapValue(0);
    EXPECT_EQ(undoText(), "&Undo Set 1 cell in High Octane Fuel Map");
    EXPECT_TRUE(state().Modified);

    // Saving makes this the save point.
    files.queue(dir.filePath("saved.vnt"));
    w().Actions().mnuFileSaveAs->trigger();
    EXPECT_FALSE(state().Modified);

    // A general panel edit and a map copy are steps too.
    state().tune.general().SetRevLimiter((state().tune.general().RevLimiter() + 1) % 256);
    state().NoteEdit();
    EXPECT_EQ(undoText(), "&Undo Set Rev Limiter");
    EXPECT_TRUE(state().Modified);
    w().Actions().mnuEditUndo->trigger();
    EXPECT_FALSE(state().Modified) << "undone back to the saved tune";
    w().Actions().mnuEditUndo->trigger();
    EXPECT_TRUE(state().Modified);
    EXPECT_EQ(state().tune.map(MapKey::HOFM).MapValue(0), original);
    EXPECT_EQ(grid().gridModel()->text(1, 1), GridRules::CellText(GridRules::CellPlace::Body, original, false))
        << "the grid shows the restored value";
    EXPECT_TRUE(state().ChangesNotSent == false) << "back at what the box holds";
    EXPECT_EQ(w().Actions().mnuEditRedo->text(), "&Redo Set 1 cell in High Octane Fuel Map");
    w().Actions().mnuEditRedo->trigger();
    EXPECT_EQ(state().tune.map(MapKey::HOFM).MapValue(0), first);
    EXPECT_FALSE(state().Modified);
    EXPECT_TRUE(state().ChangesNotSent);

    // Reading from the box starts a fresh history.
    messages.queue(MsgAnswer::Yes);
    w().Actions().mnuOptionsRead->trigger();
    EXPECT_FALSE(w().Actions().mnuEditUndo->isEnabled());
    EXPECT_FALSE(w().Actions().mnuEditRedo->isEnabled());
}

TEST_F(TunerToolsFlowTest, RealTimeBlockWritesEachRunAsOneFrameAndUndoWritesItBack)
{
    start();
    w().SelectPanel(7);
    w().Actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(state().RealTimeEnabled);

    const QByteArray before = ItemBytes(state().tune, 1);
    // A value none of the six cells shows yet, so every cell changes.
    int value = 1;
    auto shows = [&](int v) {
        for (int r = 2; r <= 3; ++r)
            for (int c = 4; c <= 6; ++c)
                if (GridRules::DisplayValue(state().tune.map(MapKey::HOFM).MapValue(GridRules::EntryIndexOf(r, c)),
                                            false) == v)
                    return true;
        return false;
    };
    while (shows(value))
        ++value;
    select(2, 4, 3, 6);
    const int framesBefore = box->logLines().size();
    ASSERT_TRUE(grid().RunBlock(BlockOps::Op::Set, value));
    const QByteArray after = ItemBytes(state().tune, 1);

    QStringList expected;
    for (const ByteRun &run : ChangedRuns(1, before, after))
        expected << QString::fromLatin1(RealTimeBytesFrame(1, run.offset, run.data).toHex(' ').toUpper());
    ASSERT_EQ(expected.size(), 2) << "two rows of three adjacent entries";
    EXPECT_TRUE(expected[0].startsWith("77 03 7D 13")) << expected[0].toStdString();
    const QStringList sent = box->waitForLogLines(framesBefore + 2).mid(framesBefore);
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(undoText(), QString("&Undo Set 6 cells in High Octane Fuel Map to %1").arg(value));

    // Undo writes the old values back, again one frame per run.
    w().Actions().mnuEditUndo->trigger();
    EXPECT_EQ(ItemBytes(state().tune, 1), before);
    QStringList restored;
    for (const ByteRun &run : ChangedRuns(1, after, before))
        restored << QString::fromLatin1(RealTimeBytesFrame(1, run.offset, run.data).toHex(' ').toUpper());
    EXPECT_EQ(box->waitForLogLines(framesBefore + 4).mid(framesBefore + 2), restored);

    // "+" on several cells still asks for a single cell.
    grid().m_MapGrid_KeyPress('+');
    EXPECT_EQ(messages.shown().back().text, "Please select a single cell for this operation.");

    w().Actions().mnuOptionsRealTime->trigger();
    EXPECT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage().mid(0x7D00, 256), before);
}

TEST_F(TunerToolsFlowTest, PasteRefusalLeavesTheTuneUntouched)
{
    start();
    w().SelectPanel(11);
    const Tune kept = state().tune;
    select(1, 1, 1, 1);
    EXPECT_FALSE(grid().PasteText("1\t2\t46\n"));
    EXPECT_TRUE(messages.shown().back().text.startsWith("Nothing was pasted.  The value \"46\" for RPM "));
    EXPECT_TRUE(messages.shown().back().text.endsWith("Please enter a valid value between 0 and 45"));
    EXPECT_TRUE(state().tune.sameContents(kept));
    EXPECT_FALSE(w().Actions().mnuEditUndo->isEnabled());
    EXPECT_FALSE(state().Modified);

    // The copy of a selection pastes back elsewhere as one step.
    select(1, 1, 2, 2);
    const QString copied = grid().CopySelection();
    select(5, 5, 5, 5);
    ASSERT_TRUE(grid().PasteText(copied));
    EXPECT_EQ(grid().gridModel()->text(5, 5), grid().gridModel()->text(1, 1));
    EXPECT_EQ(grid().gridModel()->text(6, 6), grid().gridModel()->text(2, 2));
    w().Actions().mnuEditUndo->trigger();
    EXPECT_TRUE(state().tune.sameContents(kept));
}

TEST_F(TunerToolsFlowTest, WriteChangesSendsOnlyTheChangedItem)
{
    start();
    const int framesBefore = box->logLines().size();
    w().SelectPanel(7);
    grid().setCurrentCell(1, 1);
    const int raw = state().tune.map(MapKey::HOFM).MapValue(0);
    ASSERT_TRUE(grid().SetCellValue(otherValue(raw), false));
    EXPECT_TRUE(w().Actions().mnuOptionsWriteChanges->isEnabled());

    messages.queue(MsgAnswer::Yes);
    w().Actions().mnuOptionsWriteChanges->trigger();
    EXPECT_EQ(messages.shown().back().text, "Write the current settings to the Vantrelle?");
    const QStringList sent = box->logLines().mid(framesBefore);
    ASSERT_EQ(sent.size(), 1) << "one exchange, not 22";
    EXPECT_TRUE(sent[0].startsWith("57 00 7D 00"));
    EXPECT_FALSE(state().ChangesNotSent);
    EXPECT_EQ(prefs->link.ConnectionState(), 2);

    // Nothing differs now: it says so and sends nothing.
    w().Actions().mnuOptionsWriteChanges->trigger();
    EXPECT_EQ(messages.shown().back().text,
              "The Vantrelle already holds the current settings.  There are no changes to write.");
    EXPECT_EQ(box->logLines().size(), framesBefore + 1);

    // An acknowledged real-time write is in the box; a change that never
    // went out in real time is not.
    w().Actions().mnuOptionsRealTime->trigger();
    state().tune.general().SetSpeedLimiter((state().tune.general().SpeedLimiter() + 1) % 256);
    app->grid().SetCellValue(GridRules::DisplayValue(raw, false), false);
    w().Actions().mnuOptionsRealTime->trigger();
    messages.queue(MsgAnswer::Yes);
    const int framesNow = box->logLines().size();
    w().Actions().mnuOptionsWriteChanges->trigger();
    const QStringList again = box->logLines().mid(framesNow);
    ASSERT_EQ(again.size(), 1) << again.join(" | ").toStdString();
    EXPECT_TRUE(again[0].startsWith("57 01 7F A5"));

    EXPECT_EQ(box->stop(), 0);
    const QByteArray image = box->savedImage();
    EXPECT_EQ(image.mid(0x7D00, 256), ItemBytes(state().tune, 1));
}

TEST_F(TunerToolsFlowTest, CompareWithAStockImageAndTakeItemsOver)
{
    start(); // the box holds stock program 105
    const StockImageResult other = LoadStockImage(103);
    ASSERT_EQ(other.status, StockImageResult::Ok);
    const QString path = dir.filePath("stock103.bin");
    ASSERT_TRUE(testenv::writeFile(path, other.image));
    Tune stock103;
    TuneFromImage(other.image, stock103);

    UndoAndCompareCommands &edit = app->undoCompare();
    ASSERT_TRUE(edit.CompareWithImage(path));
    const std::vector<ItemChange> diffs = edit.CompareDifferences();
    ASSERT_FALSE(diffs.empty());
    ASSERT_NE(edit.ComparisonWindow(), nullptr);
    EXPECT_EQ(edit.ComparisonWindow()->list()->count(), static_cast<int>(diffs.size()));
    EXPECT_TRUE(w().Actions().mnuToolsCompareEnd->isEnabled());

    // The grid outlines the cells that differ, with the other value as tooltip.
    const int panel = 7;
    w().SelectPanel(panel);
    int marked = 0;
    for (int r = 1; r <= 16; ++r)
        for (int c = 1; c <= 16; ++c) {
            const int entry = GridRules::EntryIndexOf(r, c);
            const int theirs = stock103.map(MapKey::HOFM).MapValue(entry);
            const bool differs = state().tune.map(MapKey::HOFM).MapValue(entry) != theirs;
            const QString note = grid().gridModel()->compareNote(r, c);
            EXPECT_EQ(!note.isEmpty(), differs);
            if (differs) {
                ++marked;
                EXPECT_EQ(note, "stock103.bin: " + GridRules::CellText(GridRules::CellPlace::Body, theirs, false));
            }
        }

    // Take one item over, then undo it.
    const int item = diffs.front().item;
    const QByteArray mine = ItemBytes(state().tune, item);
    ASSERT_TRUE(edit.TakeItem(item));
    EXPECT_EQ(ItemBytes(state().tune, item), ItemBytes(stock103, item));
    EXPECT_EQ(edit.ComparisonWindow()->list()->count(), static_cast<int>(diffs.size()) - 1);
    EXPECT_TRUE(undoText().startsWith("&Undo Take ")) << undoText().toStdString();
    w().Actions().mnuEditUndo->trigger();
    EXPECT_EQ(ItemBytes(state().tune, item), mine);

    // Take the selected cells of the map on show.
    if (marked > 0) {
        select(1, 1, 16, 16);
        ASSERT_TRUE(grid().TakeSelectedFromCompare());
        EXPECT_EQ(ItemBytes(state().tune, 1), ItemBytes(stock103, 1));
    }
    // Everything else too, as one step.
    ASSERT_TRUE(edit.TakeAll());
    EXPECT_TRUE(state().tune.sameContents(stock103));
    EXPECT_EQ(edit.ComparisonWindow()->list()->count(), 0);
    w().Actions().mnuEditUndo->trigger();
    EXPECT_FALSE(state().tune.sameContents(stock103));

    edit.EndCompare();
    EXPECT_TRUE(grid().gridModel()->compareNote(1, 1).isEmpty());
    EXPECT_FALSE(w().Actions().mnuToolsCompareEnd->isEnabled());

    // What the box holds, read into memory only.
    messages.clear();
    const Tune before = state().tune;
    ASSERT_TRUE(edit.CompareWithBox());
    EXPECT_TRUE(state().tune.sameContents(before)) << "the tune itself is not replaced";
    EXPECT_FALSE(edit.CompareDifferences().empty());
}

TEST_F(TunerToolsFlowTest, PanelEditsInjectorChoicesAndMapCopyAreStepsToo)
{
    start();
    const Tune original = state().tune;
    struct Case
    {
        int panel;
        const char *box;
        QString text;
        const char *step;
    };
    const int blast = state().tune.general().InjectorBlast();
    const int ttp = state().tune.general().TTPMin(3);
    const Case cases[] = {
        {3, "editInjectorBlast", QString::number((blast + 1) % 256), "&Undo Set Injector Blast"},
        {4, "editTTPMin_3", QString::number((ttp + 1) % 256), "&Undo Set 1 entry in TTP Min Map"},
        {2, "editVersion", "AB", "&Undo Set Version"},
    };
    for (const Case &c : cases) {
        w().ShowPanel(c.panel, true);
        auto *box = w().Panels().At(c.panel)->widget()->findChild<FieldEdit *>(c.box);
        ASSERT_NE(box, nullptr) << c.box;
        box->setText(c.text);
        ASSERT_TRUE(box->validate()) << c.box;
        EXPECT_EQ(undoText(), QString::fromLatin1(c.step));
    }
    EXPECT_EQ(state().tune.general().Version(), "   AB");

    // The map copy is one step.
    {
        dlgMapCopy copy(app->edits(), messages, &w());
        copy.sourceList()->setCurrentIndex(2);
        copy.targetCheck(0)->setChecked(true);
        messages.queue(MsgAnswer::Yes);
        copy.buttonCopy_Click();
    }
    EXPECT_EQ(undoText(), "&Undo Copy Low Octane Fuel Map");
    EXPECT_EQ(ItemBytes(state().tune, 1), ItemBytes(state().tune, 2));

    for (int i = 0; i < 4; ++i)
        w().Actions().mnuEditUndo->trigger();
    EXPECT_TRUE(state().tune.sameContents(original));
    EXPECT_EQ(state().tune.general().Version(), original.general().Version());
    EXPECT_FALSE(state().Modified);
    // The panel on show refilled itself with the restored value.
    w().ShowPanel(3, true);
    EXPECT_EQ(w().Panels().At(3)->widget()->findChild<FieldEdit *>("editInjectorBlast")->text(),
              QString::number(blast));
}
