// The tuner's tools apart from widgets: the undo history over the tune, the
// block operations' arithmetic, the spreadsheet clipboard, comparing tunes,
// the real-time block frames and what the box is known to hold.

#include "editors/BlockOperations.h"
#include "editors/ComparePlan.h"
#include "editors/GridClipboard.h"
#include "link/BoxContents.h"
#include "link/Frames.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeSender.h"
#include "link/RealTimeWrite.h"
#include "model/TuneHistory.h"
#include "model/TuneItems.h"

#include <gtest/gtest.h>

using BlockOps::Op;
using BlockOps::Rect;
using GridRules::EntryIndexOf;

namespace {

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Entry (row, col) of a body map in grid terms.
int bodyRaw(const Tune &t, MapKey key, int row, int col)
{
    return t.map(key).MapValue(EntryIndexOf(row, col));
}

void setBody(Tune &t, MapKey key, int row, int col, int raw)
{
    t.map(key).SetMapValue(EntryIndexOf(row, col), raw);
}

void applyPlan(Tune &t, MapKey body, const BlockOps::Plan &plan)
{
    for (const ValueWrite &w : BlockOps::ItemWrites(body, plan))
        StoreItemValue(t, w.item, w.index, w.value);
}

} // namespace

// --- History ------------------------------------------------------------------

TEST(TuneHistoryTest, EveryKindOfChangeUndoesAndRedoes)
{
    Tune tune;
    TuneHistory history(tune);
    CVGeneralInfo &g = tune.general();
    g.SetVersion("ABCDE");
    history.Reset(true);

    struct Edit
    {
        const char *label;
        std::function<void()> change;
        const char *expectedName;
    };
    const Edit edits[] = {
        {"", [&] { tune.map(MapKey::HOFM).SetMapValue(5, 200); }, "Set 1 cell in High Octane Fuel Map"},
        {"", [&] { for (int i = 0; i < 12; ++i) tune.map(MapKey::HOFM).SetMapValue(20 + i, 100); },
         "Set 12 cells in High Octane Fuel Map"},
        {"", [&] { tune.map(MapKey::FUELRPM).SetMapValue(3, 40); }, "Set 1 cell in RPM Fuel Map"},
        {"", [&] { g.SetRevLimiter(150); }, "Set Rev Limiter"},
        {"", [&] { g.SetInjectorK(822); }, "Set Injector K"},
        {"", [&] { g.SetVersion("   xy"); }, "Set Version"},
        {"", [&] { g.SetVQ(10, 0x1234); g.SetVQ(11, 0x0102); }, "Set 2 entries in VQ Table"},
        {"", [&] { g.SetTTPMin(0, 9); }, "Set 1 entry in TTP Min Map"},
        {"Copy Low Octane Fuel Map", [&] { for (int i = 0; i < 256; ++i) tune.map(MapKey::HOTM).SetMapValue(i, i); },
         "Copy Low Octane Fuel Map"},
    };
    std::vector<Tune> states{tune};
    for (const Edit &e : edits) {
        e.change();
        ASSERT_TRUE(history.Record(QString::fromLatin1(e.label)));
        EXPECT_EQ(history.UndoLabel(), QString::fromLatin1(e.expectedName));
        states.push_back(tune);
    }
    EXPECT_FALSE(history.Record()) << "nothing changed since";
    for (int i = static_cast<int>(states.size()) - 1; i > 0; --i) {
        ASSERT_NE(history.Undo(), nullptr);
        EXPECT_TRUE(tune.sameContents(states[i - 1])) << "undo to state " << i - 1;
        EXPECT_EQ(tune.general().Version(), states[i - 1].general().Version());
    }
    EXPECT_EQ(history.Undo(), nullptr);
    EXPECT_TRUE(history.AtSavePoint());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_NE(history.Redo(), nullptr);
        EXPECT_TRUE(tune.sameContents(states[i]));
    }
    EXPECT_EQ(history.Redo(), nullptr);
    EXPECT_EQ(tune.general().Version(), "   xy");
}

TEST(TuneHistoryTest, SavePointsFollowUndoRedoAndNewBranches)
{
    Tune tune;
    TuneHistory history(tune);
    history.Reset(true);
    EXPECT_TRUE(history.AtSavePoint());
    tune.general().SetRevLimiter(1);
    history.Record();
    EXPECT_FALSE(history.AtSavePoint());
    history.Undo();
    EXPECT_TRUE(history.AtSavePoint()) << "undoing back to the saved tune";
    history.Redo();
    history.MarkSaved();
    EXPECT_TRUE(history.AtSavePoint());
    history.Undo();
    EXPECT_FALSE(history.AtSavePoint());
    // A new change after the undo: the saved step can no longer be reached.
    tune.general().SetSpeedLimiter(7);
    history.Record();
    EXPECT_FALSE(history.CanRedo());
    history.Undo();
    EXPECT_FALSE(history.AtSavePoint());

    // A tune that came in modified (read from the box) has no save point.
    history.Reset(false);
    EXPECT_FALSE(history.AtSavePoint());
}

TEST(TuneHistoryTest, ChangesMadeBehindItsBackAreNotLost)
{
    Tune tune;
    TuneHistory history(tune);
    tune.general().SetRevLimiter(20);
    history.Record();
    tune.general().SetRevLimiter(30); // no Record: undo makes it a step first
    ASSERT_NE(history.Undo(), nullptr);
    EXPECT_EQ(tune.general().RevLimiter(), 20);
    ASSERT_NE(history.Redo(), nullptr);
    EXPECT_EQ(tune.general().RevLimiter(), 30);
}

TEST(TuneHistoryTest, OldestStepsGoBeyondTheLimit)
{
    Tune tune;
    TuneHistory history(tune, 3);
    history.Reset(true);
    for (int v = 1; v <= 5; ++v) {
        tune.general().SetRevLimiter(v);
        history.Record();
    }
    EXPECT_EQ(history.StepCount(), 3);
    while (history.Undo()) {
    }
    EXPECT_EQ(tune.general().RevLimiter(), 2);
    EXPECT_FALSE(history.AtSavePoint()) << "the saved state was dropped";
}

TEST(TuneHistoryTest, TracePointsAreNotTuneContents)
{
    Tune tune;
    TuneHistory history(tune);
    tune.map(MapKey::HOFM).SetMapValue(0, 9);
    history.Record();
    tune.map(MapKey::HOFM).AddRTMapPoint(0);
    EXPECT_FALSE(history.HasUnrecordedChanges());
    history.Undo();
    EXPECT_TRUE(tune.map(MapKey::HOFM).IsRTMapPointSet(0));
}

// --- Block operations -----------------------------------------------------------

struct BlockCase
{
    const char *what;
    MapKey body;
    int raw;       // the cell before
    Op op;
    double value;
    int expected;  // the cell after
};

TEST(BlockOpsTest, ArithmeticAtTheLimitsOfEachEncoding)
{
    const BlockCase cases[] = {
        // Fuel, open loop: shows raw, 0..127.
        {"fuel open add", MapKey::HOFM, 100, Op::Add, 5, 105},
        {"fuel open add past 127", MapKey::HOFM, 125, Op::Add, 5, 127},
        {"fuel open subtract past 0", MapKey::HOFM, 3, Op::Subtract, 10, 0},
        {"fuel open set ties to even", MapKey::HOFM, 10, Op::Set, 2.5, 2},
        {"fuel open set 3.5", MapKey::HOFM, 10, Op::Set, 3.5, 4},
        {"fuel open scale", MapKey::HOFM, 100, Op::Scale, 110, 110},
        {"fuel open scale 150% clamps", MapKey::HOFM, 100, Op::Scale, 150, 127},
        {"fuel open set negative clamps, stays open", MapKey::HOFM, 10, Op::Set, -5, 0},
        // Fuel, closed loop: shows raw - 192, -64..63.
        {"fuel closed add", MapKey::HOFM, 200, Op::Add, 5, 205},
        {"fuel closed add past 63", MapKey::HOFM, 250, Op::Add, 10, 255},
        {"fuel closed subtract past -64", MapKey::HOFM, 130, Op::Subtract, 10, 128},
        {"fuel closed set 0", MapKey::HOFM, 150, Op::Set, 0, 192},
        {"fuel closed set 100 clamps to 63", MapKey::HOFM, 150, Op::Set, 100, 255},
        {"fuel closed scale negative", MapKey::HOFM, 142, Op::Scale, 50, 167}, // -50 * 0.5 = -25
        {"fuel closed scale 50% of -5 ties to even", MapKey::HOFM, 187, Op::Scale, 50, 190}, // -2.5 -> -2
        // Timing, both loops: 0..45.
        {"timing open add", MapKey::HOTM, 40, Op::Add, 3, 43},
        {"timing open add past 45", MapKey::HOTM, 44, Op::Add, 3, 45},
        {"timing closed add past 45", MapKey::HOTM, 171, Op::Add, 5, 173},
        {"timing closed subtract past 0", MapKey::HOTM, 130, Op::Subtract, 5, 128},
        {"timing closed set", MapKey::HOTM, 130, Op::Set, 20, 148},
        {"timing open set 50 clamps", MapKey::HOTM, 30, Op::Set, 50, 45},
        {"timing closed scale", MapKey::HOTM, 148, Op::Scale, 50, 138},
    };
    for (const BlockCase &c : cases) {
        Tune t;
        setBody(t, c.body, 2, 3, c.raw);
        const BlockOps::Plan plan = BlockOps::PlanBlock(t, c.body, {2, 3, 2, 3}, c.op, c.value);
        ASSERT_TRUE(plan.ok) << c.what;
        applyPlan(t, c.body, plan);
        EXPECT_EQ(bodyRaw(t, c.body, 2, 3), c.expected) << c.what;
    }
}

TEST(BlockOpsTest, EachCellKeepsItsOwnEncoding)
{
    Tune t;
    // One row: open 10, closed shows 10 (202), open 60, closed shows -20 (172).
    const int raws[] = {10, 202, 60, 172};
    for (int c = 0; c < 4; ++c)
        setBody(t, MapKey::HOFM, 1, c + 1, raws[c]);
    const BlockOps::Plan plan = BlockOps::PlanBlock(t, MapKey::HOFM, {1, 1, 1, 4}, Op::Add, 5);
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.label, "Add 5 to 4 cells in High Octane Fuel Map");
    applyPlan(t, MapKey::HOFM, plan);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 1, 1), 15);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 1, 2), 207);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 1, 3), 65);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 1, 4), 177);
}

TEST(BlockOpsTest, InterpolationAndSmoothing)
{
    Tune t;
    // Corners of a 3 x 5 block on the open-loop fuel map: 0, 40 top; 20, 100 bottom.
    setBody(t, MapKey::LOFM, 1, 1, 0);
    setBody(t, MapKey::LOFM, 1, 5, 40);
    setBody(t, MapKey::LOFM, 3, 1, 20);
    setBody(t, MapKey::LOFM, 3, 5, 100);
    Tune rows = t;
    applyPlan(rows, MapKey::LOFM, BlockOps::PlanBlock(rows, MapKey::LOFM, {1, 1, 3, 5}, Op::InterpolateRows));
    EXPECT_EQ(bodyRaw(rows, MapKey::LOFM, 1, 2), 10);
    EXPECT_EQ(bodyRaw(rows, MapKey::LOFM, 1, 4), 30);
    EXPECT_EQ(bodyRaw(rows, MapKey::LOFM, 3, 3), 60);

    Tune cols = t;
    applyPlan(cols, MapKey::LOFM, BlockOps::PlanBlock(cols, MapKey::LOFM, {1, 1, 3, 5}, Op::InterpolateColumns));
    EXPECT_EQ(bodyRaw(cols, MapKey::LOFM, 2, 1), 10);
    EXPECT_EQ(bodyRaw(cols, MapKey::LOFM, 2, 5), 70);

    Tune both = t;
    applyPlan(both, MapKey::LOFM, BlockOps::PlanBlock(both, MapKey::LOFM, {1, 1, 3, 5}, Op::InterpolateBilinear));
    EXPECT_EQ(bodyRaw(both, MapKey::LOFM, 2, 3), 40); // (20 + 60) / 2
    EXPECT_EQ(bodyRaw(both, MapKey::LOFM, 1, 3), 20);
    EXPECT_EQ(bodyRaw(both, MapKey::LOFM, 3, 3), 60);

    // Smoothing averages the 3 x 3 neighbourhood of the original values; a
    // corner cell has four neighbours in the map.
    Tune s;
    setBody(s, MapKey::HOFM, 2, 2, 90);
    const BlockOps::Plan smooth = BlockOps::PlanBlock(s, MapKey::HOFM, {1, 1, 3, 3}, Op::Smooth);
    applyPlan(s, MapKey::HOFM, smooth);
    EXPECT_EQ(bodyRaw(s, MapKey::HOFM, 2, 2), 10);
    EXPECT_EQ(bodyRaw(s, MapKey::HOFM, 1, 1), 22); // 90 / 4 = 22.5 -> 22
    EXPECT_EQ(bodyRaw(s, MapKey::HOFM, 1, 2), 15);
}

TEST(BlockOpsTest, AxisRunsAndRefusedSelections)
{
    Tune t;
    for (int i = 0; i < 16; ++i)
        t.map(MapKey::FUELRPM).SetMapValue(i, 10 + i);
    // The RPM axis works in RPM, stored in steps of 50 and 50..12750.
    applyPlan(t, MapKey::HOFM, BlockOps::PlanBlock(t, MapKey::HOFM, {1, 0, 3, 0}, Op::Add, 75));
    EXPECT_EQ(t.map(MapKey::FUELRPM).MapValue(0), 12); // (500 + 75) / 50 = 11.5 -> 12
    EXPECT_EQ(t.map(MapKey::FUELRPM).MapValue(1), 12); // 12.5 -> 12
    EXPECT_EQ(t.map(MapKey::FUELRPM).MapValue(3), 13);
    applyPlan(t, MapKey::HOFM, BlockOps::PlanBlock(t, MapKey::HOFM, {1, 0, 16, 0}, Op::Set, 20000));
    EXPECT_EQ(t.map(MapKey::FUELRPM).MapValue(15), 255);
    // The TP axis run interpolates along itself whichever way was asked.
    for (int i = 0; i < 16; ++i)
        t.map(MapKey::TIMINGTP).SetMapValue(i, 0);
    t.map(MapKey::TIMINGTP).SetMapValue(4, 40);
    applyPlan(t, MapKey::HOTM, BlockOps::PlanBlock(t, MapKey::HOTM, {0, 1, 0, 5}, Op::InterpolateColumns));
    EXPECT_EQ(t.map(MapKey::TIMINGTP).MapValue(2), 20);

    for (const Rect &r : {Rect{0, 0, 2, 2}, Rect{1, 0, 2, 1}, Rect{0, 1, 1, 2}}) {
        const BlockOps::Plan plan = BlockOps::PlanBlock(t, MapKey::HOFM, r, Op::Add, 1);
        EXPECT_FALSE(plan.ok);
        EXPECT_EQ(plan.message, "Please select map cells, or cells of one axis only, for this operation.");
    }
    EXPECT_FALSE(BlockOps::PlanBlock(t, MapKey::HOFM, {1, 0, 3, 0}, Op::Smooth).ok);
    EXPECT_FALSE(BlockOps::PlanBlock(t, MapKey::FUELRPM, {1, 1, 1, 1}, Op::Add, 1).ok) << "an axis is no body";
}

// --- Clipboard ---------------------------------------------------------------------

TEST(GridClipboardTest, CopyGivesShownValuesAndAMapWithItsAxes)
{
    Tune t;
    setBody(t, MapKey::HOFM, 1, 1, 200); // closed, shows 8
    setBody(t, MapKey::HOFM, 1, 2, 40);
    for (int i = 0; i < 16; ++i)
        t.map(MapKey::FUELRPM).SetMapValue(i, 26 + i);
    EXPECT_EQ(GridClipboard::CopyText(t, MapKey::HOFM, {1, 1, 1, 2}), "8\t40\n");
    const QString map = GridClipboard::MapText(t, MapKey::HOFM);
    const QStringList lines = map.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 17);
    EXPECT_TRUE(lines[0].startsWith("\t0\t0"));
    EXPECT_TRUE(lines[1].startsWith("1300\t8\t40\t"));
    EXPECT_EQ(lines[1].count('\t'), 16);

    // Pasting the copy back at the corner changes nothing.
    const BlockOps::Plan plan = GridClipboard::PlanPaste(t, MapKey::HOFM, 0, 0, GridClipboard::ParseTable(map));
    EXPECT_TRUE(plan.ok) << plan.message.toStdString();
    EXPECT_TRUE(plan.writes.empty());
}

TEST(GridClipboardTest, PasteValidatesLikeTypingAndRefusesAsAWhole)
{
    Tune t;
    for (int i = 0; i < 16; ++i) {
        t.map(MapKey::FUELRPM).SetMapValue(i, 10 + i);
        t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
    }
    setBody(t, MapKey::HOFM, 2, 2, 200); // closed: -64..63
    struct Case
    {
        const char *text;
        int row, col;
        const char *message;
    };
    const Case refused[] = {
        {"1\t2\n3\t64", 1, 1,
         "Nothing was pasted.  The value \"64\" for RPM 550, TP 16 is not valid.  Please enter a valid value between "
         "-64 and 63"},
        {"1,abc", 1, 1,
         "Nothing was pasted.  The value \"abc\" for RPM 500, TP 16 is not valid.  Please enter a numeric value"},
        {"1\t\t3", 1, 1,
         "Nothing was pasted.  The value \"\" for RPM 500, TP 16 is not valid.  Please enter a numeric value"},
        {"128", 1, 1,
         "Nothing was pasted.  The value \"128\" for RPM 500, TP 0 is not valid.  Please enter a valid value between "
         "0 and 127"},
        {"49", 1, 0,
         "Nothing was pasted.  The value \"49\" for RPM axis row 1 is not valid.  Please enter a valid value between "
         "50 and 12750"},
        {"1\t2\t3", 1, 15,
         "Nothing was pasted.  The pasted block of 1 rows and 3 columns does not fit into the map at the current cell."},
        {"", 1, 1, "Nothing was pasted.  The clipboard holds no values."},
    };
    for (const Case &c : refused) {
        const BlockOps::Plan plan = GridClipboard::PlanPaste(t, MapKey::HOFM, c.row, c.col, GridClipboard::ParseTable(c.text));
        EXPECT_FALSE(plan.ok) << c.text;
        EXPECT_TRUE(plan.writes.empty()) << c.text;
        EXPECT_EQ(plan.message, QString::fromLatin1(c.message)) << c.text;
    }

    // Comma-separated from a CSV export, blanks around fields, CR LF ends.
    const BlockOps::Plan ok = GridClipboard::PlanPaste(t, MapKey::HOFM, 1, 1, GridClipboard::ParseTable("1, 2\r\n3, -4\r\n"));
    ASSERT_TRUE(ok.ok) << ok.message.toStdString();
    EXPECT_EQ(ok.label, "Paste 4 cells into High Octane Fuel Map");
    applyPlan(t, MapKey::HOFM, ok);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 1, 1), 1);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 2, 2), 188) << "closed cell takes -4 as typed";
}

// --- Compare -------------------------------------------------------------------

TEST(ComparePlanTest, CellNotesAndWhatIsTakenOver)
{
    Tune mine;
    Tune theirs;
    theirs.map(MapKey::HOTM).SetMapValue(EntryIndexOf(2, 3), 140); // closed timing: shows 12
    theirs.map(MapKey::TIMINGRPM).SetMapValue(1, 30);              // RPM axis row 2: 1500
    theirs.map(MapKey::TIMINGTP).SetMapValue(4, 77);               // TP axis column 5
    theirs.map(MapKey::HOFM).SetMapValue(EntryIndexOf(2, 3), 50);  // a map not on show
    theirs.general().SetRevLimiter(120);

    const struct
    {
        int row, col;
        const char *note;
    } notes[] = {
        {2, 3, "stock.bin: 12"}, {2, 0, "stock.bin: 1500"}, {0, 5, "stock.bin: 77"},
        {3, 3, ""},              {0, 0, ""},                {17, 1, ""},
    };
    for (const auto &n : notes)
        EXPECT_EQ(ComparePlan::CellNote(mine, theirs, MapKey::HOTM, n.row, n.col, "stock.bin"), n.note)
            << n.row << "," << n.col;
    EXPECT_EQ(ComparePlan::CellNote(mine, theirs, MapKey::HOTM, 2, 3, ""), "Compared tune: 12");

    // A selection: the differing cells are written, every cell but the corner
    // is counted.
    const BlockOps::Plan cells = ComparePlan::TakeCells(mine, theirs, MapKey::HOTM, {0, 0, 2, 3}, "stock.bin");
    EXPECT_EQ(cells.label, "Take 11 cells from stock.bin");
    EXPECT_EQ(cells.writes.size(), 2u);
    applyPlan(mine, MapKey::HOTM, cells);
    EXPECT_TRUE(ComparePlan::CellNote(mine, theirs, MapKey::HOTM, 2, 3, "x").isEmpty());
    EXPECT_TRUE(ComparePlan::CellNote(mine, theirs, MapKey::HOTM, 2, 0, "x").isEmpty());
    EXPECT_EQ(ComparePlan::TakeCells(mine, theirs, MapKey::HOTM, {1, 1, 1, 1}, "").label,
              "Take 1 cell from the compared tune");

    // Whole items: one that differs, one that does not, every difference.
    const ComparePlan::ItemTake one = ComparePlan::TakeItems(mine, theirs, 11, "stock.bin");
    ASSERT_EQ(one.changes.size(), 1u);
    EXPECT_EQ(one.label, "Take Rev Limiter from stock.bin");
    EXPECT_TRUE(ComparePlan::TakeItems(mine, theirs, 12, "stock.bin").changes.empty());
    const ComparePlan::ItemTake all = ComparePlan::TakeItems(mine, theirs, 0, "stock.bin");
    EXPECT_EQ(all.label, "Take every difference from stock.bin");
    std::vector<int> items;
    for (const ItemChange &c : all.changes) {
        items.push_back(c.item);
        StoreItemBytes(mine, c.item, c.after);
    }
    EXPECT_EQ(items, (std::vector<int>{1, 10, 11}));
    EXPECT_TRUE(mine.sameContents(theirs));
}

// --- Real-time blocks and box contents ------------------------------------------

TEST(RealTimeBlockTest, RunsOfChangedBytesBecomeOneFrameEach)
{
    QByteArray before(256, '\x10');
    QByteArray after = before;
    for (int i : {3, 4, 5, 17, 18, 100})
        after[i] = '\x20';
    const std::vector<ByteRun> runs = ChangedRuns(1, before, after);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].offset, 3);
    EXPECT_EQ(runs[0].data.size(), 3);
    EXPECT_EQ(runs[1].offset, 17);
    EXPECT_EQ(runs[2].offset, 100);
    EXPECT_EQ(hex(RealTimeBytesFrame(1, 3, runs[0].data)), "77 03 7D 03 20 20 20 " +
                                                              QString("%1").arg((0x77 + 3 + 0x7D + 3 + 0x60) & 0xFF, 2, 16, QChar('0')).toUpper());
    // A whole map is one frame of 256 data bytes (count byte 0).
    QByteArray all(256, '\x01');
    const std::vector<ByteRun> whole = ChangedRuns(2, before, all);
    ASSERT_EQ(whole.size(), 1u);
    const QByteArray frame = RealTimeBytesFrame(2, 0, whole[0].data);
    ASSERT_EQ(frame.size(), 261);
    EXPECT_EQ(hex(frame.left(4)), "77 00 71 00");
    EXPECT_TRUE(Frames::IsChecksumValid(frame));

    // A VQ change covers whole 16-bit values.
    QByteArray vq(128, '\0');
    QByteArray vq2 = vq;
    vq2[7] = '\x05';
    const std::vector<ByteRun> vqRuns = ChangedRuns(23, vq, vq2);
    ASSERT_EQ(vqRuns.size(), 1u);
    EXPECT_EQ(vqRuns[0].offset, 6);
    EXPECT_EQ(hex(vqRuns[0].data), "00 05");

    // Nothing goes outside an item, nor to the injector values.
    EXPECT_TRUE(RealTimeBytesFrame(5, 10, QByteArray(7, '\1')).isEmpty());
    EXPECT_TRUE(RealTimeBytesFrame(13, 0, QByteArray(2, '\1')).isEmpty());
    EXPECT_TRUE(RealTimeBytesFrame(1, -1, QByteArray(1, '\1')).isEmpty());
    EXPECT_TRUE(RealTimeBytesFrame(1, 0, QByteArray()).isEmpty());
    EXPECT_EQ(hex(RealTimeBytesFrame(11, 0, QByteArray(1, '\x64'))), "77 01 7F B4 64 0F");
}

TEST(RealTimeBlockTest, SenderFallsBackToSingleValues)
{
    struct Recorder : RealTimeSender
    {
        std::vector<std::pair<int, int>> values;
        void SendRealTimeValue(int item, int index, int value) override { values.push_back({item * 1000 + index, value}); }
        void SendRealTimeVersion(const QString &) override {}
    } r;
    QByteArray before(16, '\0');
    QByteArray after = before;
    after[2] = '\x07';
    after[3] = '\x08';
    EXPECT_TRUE(SendItemChange(r, 18, before, after));
    ASSERT_EQ(r.values.size(), 2u);
    EXPECT_EQ(r.values[0], std::make_pair(18002, 7));
    EXPECT_FALSE(SendItemChange(r, 14, QByteArray(1, '\0'), QByteArray(1, '\1')));
}

TEST(BoxContentsTest, OnlyItemsTheBoxDoesNotHoldAreWritten)
{
    Tune t;
    BoxContents box;
    EXPECT_EQ(box.ItemsToWrite(t).size(), 22u) << "nothing known: every item";
    box.RecordAll(t);
    EXPECT_TRUE(box.ItemsToWrite(t).empty());
    t.map(MapKey::HOFM).SetMapValue(0, 1);
    t.general().SetAccelEnrich(0, 5); // not in the box at all
    EXPECT_EQ(box.ItemsToWrite(t), std::vector<int>{1});
    box.ForgetItem(11);
    EXPECT_EQ(box.ItemsToWrite(t), (std::vector<int>{1, 11}));

    // A write that got through its first item and failed on the second.
    box.RecordTransfer(t, {1, 11}, 1, true);
    EXPECT_EQ(box.ItemsToWrite(t), std::vector<int>{11});
    box.Forget();
    EXPECT_EQ(box.ItemsToWrite(t).size(), 22u);
}
