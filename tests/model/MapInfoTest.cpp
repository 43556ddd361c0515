#include "model/CVMapInfo.h"
#include "model/ProgramState.h"
#include "platform/Rounding.h"

#include <gtest/gtest.h>

namespace {

CVMapInfo axis(std::initializer_list<int> values)
{
    CVMapInfo m(0x7B00, 0x7B0F);
    int i = 0;
    for (int v : values)
        m.SetMapValue(i++, v);
    return m;
}

CVMapInfo tensAxis()
{
    return axis({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160});
}

} // namespace

TEST(Rounding, HalvesGoToTheEvenInteger)
{
    const std::pair<double, long long> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.5001, 3}, {25.5, 26}, {-0.5, 0},
    };
    for (auto [x, expected] : cases)
        EXPECT_EQ(vnt::RoundHalfEven(x), expected) << x;
}

TEST(MapInfo, FindClosestMapIndexOnAnAscendingAxis)
{
    const CVMapInfo m = tensAxis();
    const std::pair<int, int> cases[] = {
        {5, 0}, {10, 0}, {14, 0}, {15, 0}, {16, 1}, {25, 1}, {26, 2}, {155, 14}, {156, 15}, {160, 15}, {999, 15}, {-3, 0},
    };
    for (auto [value, index] : cases)
        EXPECT_EQ(m.FindClosestMapIndex(value), index) << value;
}

TEST(MapInfo, FindClosestMapIndexOnAFlatOrRepeatingAxis)
{
    const CVMapInfo zeros(0x7B00, 0x7B0F);
    EXPECT_EQ(zeros.FindClosestMapIndex(0), 0);
    EXPECT_EQ(zeros.FindClosestMapIndex(1), 15);
    EXPECT_EQ(zeros.FindClosestMapIndex(200), 15);

    // With equal neighbours the first bracketing pair wins.
    const CVMapInfo repeats = axis({10, 20, 20, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140});
    EXPECT_EQ(repeats.FindClosestMapIndex(20), 1);
    EXPECT_EQ(repeats.FindClosestMapIndex(24), 3);
}

TEST(MapInfo, TracePointsIgnoreIndexesOutsideTheMap)
{
    CVMapInfo body(0x7D00, 0x7DFF);
    body.AddRTMapPoint(255);
    EXPECT_TRUE(body.IsRTMapPointSet(255));
    body.AddRTMapPoint(256);
    body.AddRTMapPoint(-1);
    EXPECT_FALSE(body.IsRTMapPointSet(256));
    EXPECT_FALSE(body.IsRTMapPointSet(-1));
    EXPECT_FALSE(body.IsRTMapPointSet(0));
    body.ClearRTState();
    EXPECT_FALSE(body.IsRTMapPointSet(255));
}

TEST(MapInfo, TracePointsSurviveLoadsButNotInitialize)
{
    CVMapInfo body(0x7D00, 0x7DFF);
    body.AddRTMapPoint(17);
    body.SetLastRPMIndex(4);
    body.SetMap(QByteArray(257, '\x05'));
    body.SetMapValue(17, 99);
    EXPECT_TRUE(body.IsRTMapPointSet(17));
    EXPECT_EQ(body.LastRPMIndex(), 4);
    body.Initialize(0x7D00, 0x7DFF);
    EXPECT_FALSE(body.IsRTMapPointSet(17));
    EXPECT_EQ(body.LastRPMIndex(), 1);
    EXPECT_EQ(body.LastTPIndex(), 1);
    EXPECT_EQ(body.MapValue(17), 0);
}

TEST(MapInfo, SetMapLeavesOutTheChecksumByte)
{
    CVMapInfo body(0x7D00, 0x7DFF);
    QByteArray reply(257, '\0');
    for (int i = 0; i < 257; ++i)
        reply[i] = static_cast<char>(i + 1);
    body.SetMap(reply);
    EXPECT_EQ(body.MapValue(0), 1);
    EXPECT_EQ(body.MapValue(255), 0); // (255 + 1) & 0xFF

    CVMapInfo rpm(0x7B00, 0x7B0F);
    QByteArray axisReply(17, '\x09');
    axisReply[16] = '\x77';
    rpm.SetMap(axisReply);
    EXPECT_EQ(rpm.MapValue(15), 9);
    EXPECT_EQ(rpm.EntryCount(), 16);

    // A block longer than the map fills the map and drops the rest.
    rpm.SetMap(QByteArray(40, '\x03'));
    EXPECT_EQ(rpm.MapValue(15), 3);
}

TEST(MapInfo, OutOfRangeStoresAreRefusedAndChangeNothing)
{
    CVMapInfo body(0x7D00, 0x7DFF);
    ASSERT_TRUE(body.SetMapValue(3, 200));
    EXPECT_FALSE(body.SetMapValue(3, 256));
    EXPECT_FALSE(body.SetMapValue(3, -1));
    EXPECT_EQ(body.MapValue(3), 200);
    EXPECT_FALSE(body.SetMapValue(256, 1));
    EXPECT_FALSE(body.SetMapValue(-1, 1));
    EXPECT_EQ(body.MapValue(256), -1);
    EXPECT_EQ(body.MapValue(-1), -1);
}

TEST(ProgramStateTest, StartsLikeTheProgramDoes)
{
    ProgramState state;
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);
    EXPECT_FALSE(state.RealTimeEnabled);
    EXPECT_FALSE(state.StagedRevLimitActive);
    EXPECT_EQ(state.CurrentPanel, 0);
    for (const auto &e : MapCatalogue()) {
        const CVMapInfo &m = state.tune.map(e.key);
        EXPECT_EQ(m.NumRows(), 16);
        EXPECT_EQ(m.NumCols(), 16);
        EXPECT_EQ(m.MapValue(0), 0);
        EXPECT_EQ(m.StartOffset(), e.startOffset);
        EXPECT_EQ(m.EndOffset(), e.endOffset);
        EXPECT_EQ(m.EntryCount(), IsBodyMap(e.key) ? 256 : 16);
    }
    EXPECT_TRUE(state.tune.general().DualFiltration());
    EXPECT_TRUE(state.tune.general().Version().isEmpty());
}

TEST(ProgramStateTest, AnEditSetsChangesNotSentOnlyOutsideRealTimeMode)
{
    ProgramState state;
    state.NoteEdit();
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);

    ProgramState live;
    live.RealTimeEnabled = true;
    live.NoteEdit();
    EXPECT_TRUE(live.Modified);
    EXPECT_FALSE(live.ChangesNotSent);
}

TEST(MapCatalogueTest, KeysPanelsAndAxes)
{
    EXPECT_EQ(MapKeyFromText("HOHGFM"), MapKey::HOHGFM);
    EXPECT_FALSE(MapKeyFromText("hofm").has_value());
    EXPECT_EQ(MapKeyFromPanel(7), MapKey::HOFM);
    EXPECT_EQ(MapKeyFromPanel(12), MapKey::LOTM);
    EXPECT_FALSE(MapKeyFromPanel(6).has_value());
    EXPECT_FALSE(MapKeyFromPanel(-1).has_value());
    EXPECT_EQ(RpmAxisOf(MapKey::LOHGFM), MapKey::FUELRPM);
    EXPECT_EQ(TpAxisOf(MapKey::HOTM), MapKey::TIMINGTP);
    ProgramState state;
    EXPECT_EQ(state.tune.mapAt(0x7800), &state.tune.map(MapKey::HOTM));
    EXPECT_EQ(state.tune.mapAt(0x7801), nullptr);
}
