#include "model/CVMapInfo.h"
#include "model/ProgramState.h"
#include "model/TraceMarks.h"

#include <gtest/gtest.h>

#include <tuple>

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

// The marks of the trace: the last cell and every point marked, outside the
// maps' contents; a point outside the map is ignored.
TEST(TraceMarksTest, PointsInsideTheMapOnlyAndClearedTogether)
{
    TraceMarks marks;
    MapTrace &hofm = marks.Of(MapKey::HOFM);
    for (int index : {255, 0, 256, -1})
        hofm.AddRTMapPoint(index);
    EXPECT_EQ(std::tuple(hofm.IsRTMapPointSet(255), hofm.IsRTMapPointSet(0), hofm.IsRTMapPointSet(256),
                         hofm.IsRTMapPointSet(-1), hofm.IsRTMapPointSet(1)),
              std::tuple(true, true, false, false, false));
    marks.Of(MapKey::HOTM).AddRTMapPoint(7);
    hofm.SetLastAccessedValue(42);
    int cleared = 0;
    QObject::connect(&marks, &TraceMarks::cleared, [&] { ++cleared; });
    marks.Clear();
    EXPECT_FALSE(hofm.IsRTMapPointSet(255) || marks.Of(MapKey::HOTM).IsRTMapPointSet(7));
    EXPECT_EQ(std::pair(hofm.LastAccessedValue(), cleared), std::pair(42, 1)) << "the current cell stays";
}

// The tune's flags change through their transitions only; each row starts
// from the flags it names and applies one transition.
TEST(ProgramStateTest, Transitions)
{
    struct Row
    {
        const char *what;
        bool modified, notSent;
        void (*apply)(ProgramState &);
        bool modifiedAfter, notSentAfter;
    };
    const Row rows[] = {
        {"an edit outside real time", false, false, [](ProgramState &s) { s.NoteEdit("Step", false); }, true, true},
        {"an edit in real time", false, false, [](ProgramState &s) { s.NoteEdit("Step", true); }, true, false},
        {"an edit in real time keeps what was not sent", false, true,
         [](ProgramState &s) { s.NoteEdit("Step", true); }, true, true},
        {"a value that did not reach the box", true, false, [](ProgramState &s) { s.NoteNotSent(); }, true, true},
        {"a whole write or read", true, true, [](ProgramState &s) { s.NoteSent(); }, true, false},
        {"a project loaded", true, true, [](ProgramState &s) { s.NoteLoaded("short"); }, false, true},
        {"saved", true, true, [](ProgramState &s) { s.NoteSaved(); }, false, true},
        {"undone to the saved step", true, false, [](ProgramState &s) { s.NoteAtSavePoint(true); }, false, false},
        {"away from the saved step", false, false, [](ProgramState &s) { s.NoteAtSavePoint(false); }, true, false},
        {"a new run", true, true, [](ProgramState &s) { s.Reset(); }, false, false},
    };
    for (const Row &row : rows) {
        ProgramState state;
        if (row.modified)
            state.NoteEdit(QString(), !row.notSent);
        else if (row.notSent)
            state.NoteNotSent();
        ASSERT_EQ(std::pair(state.Modified(), state.ChangesNotSent()), std::pair(row.modified, row.notSent)) << row.what;
        row.apply(state);
        EXPECT_EQ(std::pair(state.Modified(), state.ChangesNotSent()), std::pair(row.modifiedAfter, row.notSentAfter))
            << row.what;
    }
    ProgramState loaded;
    loaded.NoteLoaded("a doubtful file");
    EXPECT_EQ(loaded.TuneOriginWarning(), "a doubtful file");
}
