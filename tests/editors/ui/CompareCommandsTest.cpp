// Undo and compare in the whole window against vantrelle-boxsim: block
// operations and their undo in real-time mode (checked against the box's
// frame log) and the comparison with a stock image.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "editors/GridRules.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CompareWindow.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "editors/ui/CompareCommands.h"
#include "editors/ui/GridBlockCommands.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeWrite.h"
#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <set>

namespace {

class UndoAndCompareTest : public AppOnBoxTest
{
protected:
    void SetUp() override
    {
        startOnBox();
        connectBox();
        ASSERT_EQ(link().ConnectionState(), 2);
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
    static QStringList framesOf(const QByteArray &from, const QByteArray &to)
    {
        QStringList out;
        for (const ByteRun &run : ChangedRuns(TuneItem::HOFM, from, to))
            out << QString::fromLatin1(RealTimeBytesFrame(TuneItem::HOFM, run.offset, run.data).toHex(' ').toUpper());
        return out;
    }
};

} // namespace

TEST_F(UndoAndCompareTest, RealTimeBlockWritesEachRunAsOneFrameAndUndoWritesItBack)
{
    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    const QByteArray before = ItemBytes(state().tune, TuneItem::HOFM);
    // A value none of the six cells shows yet, so every cell changes.
    std::set<int> shown;
    for (int e : {19, 20, 21, 35, 36, 37}) // rows 2..3, columns 4..6
        shown.insert(GridRules::DisplayValue(before[e] & 0xFF, false));
    int value = 1;
    while (shown.count(value))
        ++value;
    select(2, 4, 3, 6);
    const int framesBefore = box->logLines().size();
    ASSERT_TRUE(grid().blocks().RunBlock(BlockOps::Op::Set, value));
    const QByteArray after = ItemBytes(state().tune, TuneItem::HOFM);
    const QStringList expected = framesOf(before, after);
    ASSERT_EQ(expected.size(), 2) << "two rows of three adjacent entries";
    EXPECT_EQ(box->waitForLogLines(framesBefore + 2).mid(framesBefore), expected);

    act("mnuEditUndo")->trigger();
    EXPECT_EQ(ItemBytes(state().tune, TuneItem::HOFM), before);
    EXPECT_EQ(box->waitForLogLines(framesBefore + 4).mid(framesBefore + 2), framesOf(after, before));

    act("mnuOptionsRealTime")->trigger();
    ASSERT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage().mid(0x7D00, 256), before);
}

TEST_F(UndoAndCompareTest, CompareWithAStockImageAndTakeItemsOver)
{
    const StockImageResult other = LoadStockImage(103); // the box holds 105
    ASSERT_EQ(other.status, StockImageResult::Ok);
    const QString path = dir.filePath("stock103.bin");
    ASSERT_TRUE(testenv::writeFile(path, other.image));
    Tune stock;
    TuneFromImage(other.image, stock);

    CompareCommands &edit = app->compare();
    ASSERT_TRUE(edit.CompareWithImage(path));
    const std::vector<ItemChange> diffs = edit.CompareDifferences();
    ASSERT_FALSE(diffs.empty());
    ASSERT_NE(edit.ComparisonWindow(), nullptr);

    // The grid notes the other value on a cell that differs.
    w().SelectPanel(7);
    int e = 0;
    while (state().tune.map(MapKey::HOFM).MapValue(e) == stock.map(MapKey::HOFM).MapValue(e))
        ASSERT_LT(++e, 256);
    EXPECT_EQ(grid().gridModel()->compareNote(1 + e / 16, 1 + e % 16),
              "stock103.bin: "
                  + GridRules::CellText(GridRules::CellPlace::Body, stock.map(MapKey::HOFM).MapValue(e), false));

    // One item over, then undone; then everything, as one step.
    const TuneItem item = diffs.front().item;
    const QByteArray mine = ItemBytes(state().tune, item);
    ASSERT_TRUE(edit.TakeItem(item));
    EXPECT_EQ(std::pair(ItemBytes(state().tune, item), edit.ComparisonWindow()->list()->count()),
              std::pair(ItemBytes(stock, item), static_cast<int>(diffs.size()) - 1));
    act("mnuEditUndo")->trigger();
    EXPECT_EQ(ItemBytes(state().tune, item), mine);
    ASSERT_TRUE(edit.TakeAll());
    EXPECT_TRUE(state().tune.sameContents(stock));
    act("mnuEditUndo")->trigger();
    EXPECT_FALSE(state().tune.sameContents(stock));

    edit.EndCompare();
    EXPECT_TRUE(grid().gridModel()->compareNote(1 + e / 16, 1 + e % 16).isEmpty());
}
