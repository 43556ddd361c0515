// The status bar's line after a transfer of tune items.

#include "link/TransferSummary.h"

#include <gtest/gtest.h>

TEST(TransferSummaryTest, SaysWhatWasDoneAndHowLongItTook)
{
    using TransferSummary::Kind;
    const struct
    {
        Kind kind;
        int done;
        int total;
        bool success;
        qint64 ms;
        const char *expected;
    } cases[] = {
        {Kind::Write, 3, 3, true, 200, "Wrote 3 items to the Vantrelle in 0.2 s"},
        {Kind::Write, 1, 1, true, 1049, "Wrote 1 item to the Vantrelle in 1.0 s"},
        {Kind::Read, 22, 22, true, 2350, "Read 22 items from the Vantrelle in 2.4 s"},
        {Kind::Read, 22, 22, true, 12, "Read 22 items from the Vantrelle in 0.1 s"},
        {Kind::Write, 5, 22, false, 980, "The write stopped after 5 of 22 items (1.0 s)"},
        {Kind::Read, 0, 22, false, 0, "The read stopped after 0 of 22 items (0.0 s)"},
        {Kind::Read, 40, 22, false, -5, "The read stopped after 22 of 22 items (0.0 s)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TransferSummary::Text(c.kind, c.done, c.total, c.success, c.ms), c.expected);
}
