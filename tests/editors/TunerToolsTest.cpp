// The tuner's tools apart from widgets: the block operations' arithmetic,
// the clipboard's paste refusals and the real-time block frames.

#include "editors/BlockOperations.h"
#include "editors/GridClipboard.h"
#include "link/Frames.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeWrite.h"
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
        {"fuel open subtract past 0", MapKey::HOFM, 3, Op::Subtract, 10, 0},
        {"fuel open set ties to even", MapKey::HOFM, 10, Op::Set, 2.5, 2},
        {"fuel open scale 150% clamps", MapKey::HOFM, 100, Op::Scale, 150, 127},
        // Fuel, closed loop: shows raw - 192, -64..63.
        {"fuel closed add past 63", MapKey::HOFM, 250, Op::Add, 10, 255},
        {"fuel closed subtract past -64", MapKey::HOFM, 130, Op::Subtract, 10, 128},
        {"fuel closed set 0", MapKey::HOFM, 150, Op::Set, 0, 192},
        {"fuel closed scale negative", MapKey::HOFM, 142, Op::Scale, 50, 167}, // -50 * 0.5 = -25
        {"fuel closed scale 50% of -5 ties to even", MapKey::HOFM, 187, Op::Scale, 50, 190}, // -2.5 -> -2
        // Timing, both loops: 0..45.
        {"timing closed add past 45", MapKey::HOTM, 171, Op::Add, 5, 173},
        {"timing closed set", MapKey::HOTM, 130, Op::Set, 20, 148},
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
    for (const Rect &r : {Rect{0, 0, 2, 2}, Rect{1, 0, 2, 1}})
        EXPECT_FALSE(BlockOps::PlanBlock(t, MapKey::HOFM, r, Op::Add, 1).ok);
    EXPECT_FALSE(BlockOps::PlanBlock(t, MapKey::HOFM, {1, 0, 3, 0}, Op::Smooth).ok);
    EXPECT_FALSE(BlockOps::PlanBlock(t, MapKey::FUELRPM, {1, 1, 1, 1}, Op::Add, 1).ok) << "an axis is no body";
}

// --- Clipboard ---------------------------------------------------------------------

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
        {"1\t2\t3", 1, 15,
         "Nothing was pasted.  The pasted block of 1 rows and 3 columns does not fit into the map at the current cell."},
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
    applyPlan(t, MapKey::HOFM, ok);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 1, 1), 1);
    EXPECT_EQ(bodyRaw(t, MapKey::HOFM, 2, 2), 188) << "closed cell takes -4 as typed";
}

// --- Real-time blocks and box contents ------------------------------------------

TEST(RealTimeBlockTest, RunsOfChangedBytesBecomeOneFrameEach)
{
    QByteArray before(256, '\x10');
    QByteArray after = before;
    for (int i : {3, 4, 5, 17, 18, 100})
        after[i] = '\x20';
    const std::vector<ByteRun> runs = ChangedRuns(TuneItem::HOFM, before, after);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].offset, 3);
    EXPECT_EQ(runs[2].offset, 100);
    EXPECT_EQ(hex(RealTimeBytesFrame(TuneItem::HOFM, 3, runs[0].data)), "77 03 7D 03 20 20 20 " +
                                                              QString("%1").arg((0x77 + 3 + 0x7D + 3 + 0x60) & 0xFF, 2, 16, QChar('0')).toUpper());
    // A whole map is one frame of 256 data bytes (count byte 0).
    const std::vector<ByteRun> whole = ChangedRuns(TuneItem::LOFM, before, QByteArray(256, '\x01'));
    ASSERT_EQ(whole.size(), 1u);
    const QByteArray frame = RealTimeBytesFrame(TuneItem::LOFM, 0, whole[0].data);
    ASSERT_EQ(frame.size(), 261);
    EXPECT_EQ(hex(frame.left(4)), "77 00 71 00");
    EXPECT_TRUE(Frames::IsChecksumValid(frame));

    // A VQ change covers whole 16-bit values.
    QByteArray vq(128, '\0');
    EXPECT_EQ(hex(ChangedRuns(TuneItem::VQ, vq, QByteArray(vq).replace(7, 1, "\x05")).at(0).data), "00 05");

    // Nothing goes outside an item, nor to the injector values.
    EXPECT_TRUE(RealTimeBytesFrame(TuneItem::FUELRPM, 10, QByteArray(7, '\1')).isEmpty());
    EXPECT_TRUE(RealTimeBytesFrame(TuneItem::InjectorK, 0, QByteArray(2, '\1')).isEmpty());
    EXPECT_EQ(hex(RealTimeBytesFrame(TuneItem::RevLimiter, 0, QByteArray(1, '\x64'))), "77 01 7F B4 64 0F");
}
