// Undo, compare and the write of the changes in the whole window against
// vantrelle-boxsim: save points, block operations and their undo in
// real-time mode (checked against the box's frame log), the write of the
// changed items only and the comparison with a stock image.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "editors/GridRules.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CompareWindow.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/UndoAndCompareCommands.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeWrite.h"
#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"

#include <QItemSelectionModel>
#include <QListWidget>

namespace {

class UndoAndCompareTest : public AppOnBoxTest
{
protected:
    void SetUp() override
    {
        startOnBox();
        connectBox();
        ASSERT_EQ(prefs->link.ConnectionState(), 2);
        w().SelectPanel(7);
    }
    CVFuelTimingDlg &grid() { return app->grid(); }
    void select(int top, int left, int bottom, int right)
    {
        QAbstractItemModel *m = grid().grid()->model();
        grid().setCurrentCell(top, left);
        grid().grid()->selectionModel()->select(QItemSelection(m->index(top, left), m->index(bottom, right)),
                                                QItemSelectionModel::ClearAndSelect);
    }
    QString undoText() { return actions().mnuEditUndo->text(); }
    // Sets the first High Octane Fuel Map cell to a value it accepts and does
    // not hold yet.
    void changeFirstCell()
    {
        const int raw = state().tune.map(MapKey::HOFM).MapValue(0);
        const double other = raw < 128 ? (raw + 1) % 128 : (GridRules::DisplayValue(raw, false) == 0 ? 1 : 0);
        grid().setCurrentCell(1, 1);
        ASSERT_TRUE(grid().SetCellValue(other, false));
    }
    static QStringList framesOf(const QByteArray &from, const QByteArray &to)
    {
        QStringList out;
        for (const ByteRun &run : ChangedRuns(1, from, to))
            out << QString::fromLatin1(RealTimeBytesFrame(1, run.offset, run.data).toHex(' ').toUpper());
        return out;
    }
};

} // namespace

TEST_F(UndoAndCompareTest, RealTimeBlockWritesEachRunAsOneFrameAndUndoWritesItBack)
{
    actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(state().RealTimeEnabled);
    const QByteArray before = ItemBytes(state().tune, 1);
    // A value none of the six cells shows yet, so every cell changes.
    const auto shows = [&](int v) {
        for (int r = 2; r <= 3; ++r)
            for (int c = 4; c <= 6; ++c)
                if (GridRules::DisplayValue(state().tune.map(MapKey::HOFM).MapValue(GridRules::EntryIndexOf(r, c)),
                                            false) == v)
                    return true;
        return false;
    };
    int value = 1;
    while (shows(value))
        ++value;
    select(2, 4, 3, 6);
    const int framesBefore = box->logLines().size();
    ASSERT_TRUE(grid().RunBlock(BlockOps::Op::Set, value));
    const QByteArray after = ItemBytes(state().tune, 1);
    const QStringList expected = framesOf(before, after);
    ASSERT_EQ(expected.size(), 2) << "two rows of three adjacent entries";
    EXPECT_TRUE(expected[0].startsWith("77 03 7D 13")) << expected[0].toStdString();
    EXPECT_EQ(box->waitForLogLines(framesBefore + 2).mid(framesBefore), expected);

    actions().mnuEditUndo->trigger();
    EXPECT_EQ(ItemBytes(state().tune, 1), before);
    EXPECT_EQ(box->waitForLogLines(framesBefore + 4).mid(framesBefore + 2), framesOf(after, before));

    actions().mnuOptionsRealTime->trigger();
    EXPECT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage().mid(0x7D00, 256), before);
}

TEST_F(UndoAndCompareTest, WriteChangesSendsOnlyWhatTheBoxDoesNotHold)
{
    const int framesBefore = box->logLines().size();
    const int raw = state().tune.map(MapKey::HOFM).MapValue(0);
    changeFirstCell();
    messages.queue(MsgAnswer::Yes);
    actions().mnuOptionsWriteChanges->trigger();
    const QStringList sent = box->logLines().mid(framesBefore);
    ASSERT_EQ(sent.size(), 1) << "one exchange, not 22";
    EXPECT_TRUE(sent[0].startsWith("57 00 7D 00"));
    EXPECT_FALSE(state().ChangesNotSent);

    actions().mnuOptionsWriteChanges->trigger();
    EXPECT_EQ(messages.shown().back().text,
              "The Vantrelle already holds the current settings.  There are no changes to write.");
    EXPECT_EQ(box->logLines().size(), framesBefore + 1);

    // An acknowledged real-time write is in the box; a change that never
    // went out in real time is not.
    actions().mnuOptionsRealTime->trigger();
    state().tune.general().SetSpeedLimiter((state().tune.general().SpeedLimiter() + 1) % 256);
    grid().SetCellValue(GridRules::DisplayValue(raw, false), false);
    actions().mnuOptionsRealTime->trigger();
    messages.queue(MsgAnswer::Yes);
    const int framesNow = box->logLines().size();
    actions().mnuOptionsWriteChanges->trigger();
    const QStringList again = box->logLines().mid(framesNow);
    ASSERT_EQ(again.size(), 1) << again.join(" | ").toStdString();
    EXPECT_TRUE(again[0].startsWith("57 01 7F A5"));
    EXPECT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage().mid(0x7D00, 256), ItemBytes(state().tune, 1));
}

TEST_F(UndoAndCompareTest, CompareWithAStockImageAndTakeItemsOver)
{
    const StockImageResult other = LoadStockImage(103); // the box holds 105
    ASSERT_EQ(other.status, StockImageResult::Ok);
    const QString path = dir.filePath("stock103.bin");
    ASSERT_TRUE(testenv::writeFile(path, other.image));
    Tune stock;
    TuneFromImage(other.image, stock);

    UndoAndCompareCommands &edit = app->undoCompare();
    ASSERT_TRUE(edit.CompareWithImage(path));
    const std::vector<ItemChange> diffs = edit.CompareDifferences();
    ASSERT_FALSE(diffs.empty());
    ASSERT_NE(edit.ComparisonWindow(), nullptr);
    EXPECT_EQ(edit.ComparisonWindow()->list()->count(), static_cast<int>(diffs.size()));

    // The grid notes the other value on each cell that differs.
    w().SelectPanel(7);
    for (int e = 0; e < 256; ++e) {
        const int theirs = stock.map(MapKey::HOFM).MapValue(e);
        const QString note = grid().gridModel()->compareNote(1 + e / 16, 1 + e % 16);
        EXPECT_EQ(note, state().tune.map(MapKey::HOFM).MapValue(e) == theirs
                            ? QString()
                            : "stock103.bin: " + GridRules::CellText(GridRules::CellPlace::Body, theirs, false));
    }

    // One item over, then undone; then everything, as one step.
    const int item = diffs.front().item;
    const QByteArray mine = ItemBytes(state().tune, item);
    ASSERT_TRUE(edit.TakeItem(item));
    EXPECT_EQ(ItemBytes(state().tune, item), ItemBytes(stock, item));
    EXPECT_EQ(edit.ComparisonWindow()->list()->count(), static_cast<int>(diffs.size()) - 1);
    actions().mnuEditUndo->trigger();
    EXPECT_EQ(ItemBytes(state().tune, item), mine);
    ASSERT_TRUE(edit.TakeAll());
    EXPECT_TRUE(state().tune.sameContents(stock));
    actions().mnuEditUndo->trigger();
    EXPECT_FALSE(state().tune.sameContents(stock));

    edit.EndCompare();
    EXPECT_TRUE(grid().gridModel()->compareNote(1, 1).isEmpty());

    // What the box holds is read into memory only; the tune differs from it
    // by one cell.
    CVMapInfo &hofm = state().tune.map(MapKey::HOFM);
    hofm.SetMapValue(0, (hofm.MapValue(0) + 1) % 128);
    const Tune before = state().tune;
    ASSERT_TRUE(edit.CompareWithBox());
    EXPECT_TRUE(state().tune.sameContents(before));
    ASSERT_EQ(edit.CompareDifferences().size(), 1u);
    EXPECT_EQ(edit.CompareDifferences().front().item, 1);
}
