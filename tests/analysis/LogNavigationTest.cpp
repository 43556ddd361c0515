// The datalog viewer's time range and cursor: zoom, pan and cursor moves on
// a ten-second log, and on logs too short to zoom in.

#include "analysis/DataLog.h"
#include "analysis/LogNavigation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Samples every 25 ms: 401 of them give 0 .. 10 s.
DataLog logOf(int samples)
{
    DataLog log;
    for (int i = 0; i < samples; ++i)
        log.time.push_back(i * 0.025);
    return log;
}

constexpr double MinSpan = LogNavigation::MinSpan;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

enum Op { Range, Zoom, ZoomAtCursor, Pan, PageOn, PageBack, All, Row, Time, StepBy, Seconds };
struct Step
{
    Op op;
    double a = 0;
    double b = 0;
};

// Runs the steps; the answer of the last one.
bool run(LogNavigation &n, const std::vector<Step> &steps, bool *moved)
{
    bool ok = true;
    for (const Step &s : steps) {
        const auto row = static_cast<std::ptrdiff_t>(s.a);
        switch (s.op) {
        case Range: ok = n.setRange(s.a, s.b); break;
        case Zoom: ok = n.zoom(s.a, s.b); break;
        case ZoomAtCursor: ok = n.zoomAtCursor(s.a); break;
        case Pan: ok = n.pan(s.a); break;
        case PageOn: ok = n.pageForward(); break;
        case PageBack: ok = n.pageBack(); break;
        case All: ok = n.showAll(); break;
        case Row: ok = n.setCursorRow(row, moved); break;
        case Time: ok = n.setCursorTime(s.a, moved); break;
        case StepBy: ok = n.stepCursor(row, moved); break;
        case Seconds: ok = n.stepCursorSeconds(s.a, moved); break;
        }
    }
    return ok;
}

} // namespace

TEST(LogNavigationTest, RangeAndCursorStayWithinTheLog)
{
    const DataLog tenSeconds = logOf(401);
    const DataLog empty;
    const DataLog oneSample = logOf(1);
    DataLog sparse;
    sparse.time = {0, 5, 10, 20};
    const struct
    {
        const char *name;
        const DataLog &log;
        std::vector<Step> steps; // on a fresh navigation
        bool accepted;                     // the last step's answer
        double start, end;
        std::ptrdiff_t cursor;
        bool rangeMoved; // by the last cursor step
    } cases[] = {
        {"zoom in at the middle", tenSeconds, {{Zoom, 0.5, 5}}, true, 2.5, 7.5, -1, false},
        {"zoom out stops at the whole log", tenSeconds, {{Zoom, 0.5, 8}, {Zoom, 4, 8}}, true, 0, 10, -1, false},
        // The time under the mouse stays under it, however far the wheel turns.
        {"zoom in stops at the narrowest range", tenSeconds, {{Zoom, 1e-6, 5}, {Zoom, 0.5, 5}}, true,
         5 - MinSpan / 2, 5 + MinSpan / 2, -1, false},
        {"zoom at no time", tenSeconds, {{Zoom, 0.5, NaN}}, false, 0, 10, -1, false},
        {"pan before the start", tenSeconds, {{Zoom, 0.5, 5}, {Pan, -100}}, true, 0, 5, -1, false},
        {"pan past the end", tenSeconds, {{Zoom, 0.5, 5}, {Pan, 1000}}, true, 5, 10, -1, false},
        {"page on", tenSeconds, {{Zoom, 0.25, 0}, {PageOn}, {PageOn}, {PageBack}}, true, 1.25, 3.75, -1, false},
        {"a range too narrow", tenSeconds, {{Range, 1, 1.01}}, true, 1, 1 + MinSpan, -1, false},
        {"cursor beyond the end: the last sample, in view", tenSeconds, {{Zoom, 0.5, 0}, {Row, 100000}}, true, 5, 10,
         400, true},
        {"cursor out of view centres the range on it", tenSeconds, {{Zoom, 0.2, 0}, {Row, 200}}, true, 4, 6, 200,
         true},
        {"cursor at a time: the nearest sample", tenSeconds, {{Time, 5.0124}}, true, 0, 10, 200, false},
        {"step back past the first", tenSeconds, {{Row, 5}, {StepBy, -10}}, true, 0, 10, 0, false},
        {"a second on from the cursor", tenSeconds, {{Row, 40}, {Seconds, 1}}, true, 0, 10, 80, false},
        {"a second back before the first", tenSeconds, {{Row, 10}, {Seconds, -1}}, true, 0, 10, 0, false},
        {"samples further apart than the step still move one", sparse, {{Row, 1}, {Seconds, 1}}, true, 0, 20, 2,
         false},
        {"zoom at the cursor", tenSeconds, {{Row, 80}, {ZoomAtCursor, 0.5}}, true, 1, 6, 80, false},

        {"empty log", empty, {{Row, 0}}, false, 0, 1, -1, false},
        {"one sample: the narrowest range", oneSample, {{All}, {Row, 3}}, true, 0, MinSpan, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LogNavigation nav(c.log);
        bool moved = false;
        EXPECT_EQ(run(nav, c.steps, &moved), c.accepted);
        EXPECT_NEAR(nav.start(), c.start, 1e-9);
        EXPECT_NEAR(nav.end(), c.end, 1e-9);
        EXPECT_EQ(nav.cursorRow(), c.cursor);
        EXPECT_EQ(moved, c.rangeMoved);
    }
}
