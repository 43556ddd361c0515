#include "model/CVMapInfo.h"
#include "model/ProgramState.h"

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

} // namespace

// The trace marks the cell whose axis values lie closest; a value half-way
// between two entries belongs to the lower one.
TEST(MapInfo, FindClosestMapIndex)
{
    const CVMapInfo tens = axis({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160});
    const CVMapInfo repeats = axis({10, 20, 20, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140});
    const CVMapInfo zeros(0x7B00, 0x7B0F);
    const struct
    {
        const CVMapInfo *map;
        int value, index;
    } cases[] = {
        {&tens, 5, 0}, {&tens, 15, 0}, {&tens, 16, 1}, {&tens, 25, 1}, {&tens, 26, 2}, {&tens, 155, 14},
        {&tens, 156, 15}, {&tens, 999, 15}, {&tens, -3, 0}, {&zeros, 0, 0}, {&zeros, 1, 15},
        {&repeats, 20, 1}, {&repeats, 24, 3},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.map->FindClosestMapIndex(c.value), c.index) << c.value;
}

TEST(MapInfo, StoresOutsideTheMapOrByteAreRefusedAndChangeNothing)
{
    CVMapInfo body(0x7D00, 0x7DFF);
    ASSERT_TRUE(body.SetMapValue(3, 255));
    const std::pair<int, int> refused[] = {{3, 256}, {3, -1}, {256, 1}, {-1, 1}};
    for (auto [index, value] : refused)
        EXPECT_FALSE(body.SetMapValue(index, value)) << index << " " << value;
    EXPECT_EQ(body.MapValue(3), 255);
    EXPECT_EQ(body.MapValue(256), -1);

    // Trace points outside the map are ignored too.
    body.AddRTMapPoint(256);
    body.AddRTMapPoint(-1);
    EXPECT_FALSE(body.IsRTMapPointSet(256));
    EXPECT_FALSE(body.IsRTMapPointSet(-1));
}

TEST(MapInfo, SetMapTakesTheEntriesAndKeepsTheTrace)
{
    CVMapInfo body(0x7D00, 0x7DFF);
    body.AddRTMapPoint(17);
    QByteArray reply(257, '\0'); // a read reply: the map and its checksum
    for (int i = 0; i < 257; ++i)
        reply[i] = static_cast<char>(i + 1);
    body.SetMap(reply);
    EXPECT_EQ(body.MapValue(0), 1);
    EXPECT_EQ(body.MapValue(255), 0);
    EXPECT_TRUE(body.IsRTMapPointSet(17));

    CVMapInfo rpm(0x7B00, 0x7B0F); // more bytes than the map holds
    rpm.SetMap(QByteArray(40, '\x03'));
    EXPECT_EQ(rpm.MapValue(15), 3);
}

TEST(ProgramStateTest, AnEditSetsChangesNotSentOnlyOutsideRealTimeMode)
{
    for (bool realTime : {false, true}) {
        ProgramState state;
        state.RealTimeEnabled = realTime;
        state.NoteEdit();
        EXPECT_TRUE(state.Modified);
        EXPECT_EQ(state.ChangesNotSent, !realTime);
    }
}
