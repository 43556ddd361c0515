// The frames, their checksums and the byte-level operations on the port.

#include "link/Frames.h"
#include "link/LinkIO.h"
#include "support/ExchangeTestSupport.h"

#include <gtest/gtest.h>

TEST(Frames, ChecksumKeepsTheLowEightBitsOfThePlainSum)
{
    EXPECT_EQ(std::pair(Frames::ComputeChecksum(bytes({0x52, 0x10, 0x7B, 0x00, 0x00})),
                        Frames::ComputeChecksum(bytes({0xFF, 0x02, 0x00}))),
              std::pair(std::uint8_t(0xDD), std::uint8_t(0x01)));
    EXPECT_TRUE(Frames::IsChecksumValid(bytes({0x00})) && Frames::IsChecksumValid(bytes({0xFF, 0x02, 0x01})));
    EXPECT_FALSE(Frames::IsChecksumValid(bytes({0x01})) || Frames::IsChecksumValid(QByteArray()));
}

TEST(Frames, RequestsAreLaidOutByteForByte)
{
    EXPECT_EQ(Frames::ReadRequest(0x7D00, 256), bytes({0x52, 0x00, 0x7D, 0x00, 0xCF}));
    EXPECT_EQ(Frames::WriteRequest(0x7FB4, bytes({0x64})), bytes({0x57, 0x01, 0x7F, 0xB4, 0x64, 0xEF}));
    EXPECT_EQ(Frames::RealTimeRequest(0x7FB4, bytes({0x64})), bytes({0x77, 0x01, 0x7F, 0xB4, 0x64, 0x0F}));
    EXPECT_EQ(Frames::VersionRequest(), bytes({0x56, 0x56}));
    // A whole map: count byte 0 for 256 bytes.
    EXPECT_EQ(Frames::WriteRequest(0x7D00, QByteArray(256, '\1')).left(4), bytes({0x57, 0x00, 0x7D, 0x00}));
}

TEST(LinkIO, ReadAvailableTakesEveryChunk)
{
    ScriptedPort port;
    port.ForceOpen();
    QByteArray got = "stale";
    EXPECT_TRUE(!ReadAvailable(port, got) && got.isEmpty());
    port.Deliver(bytes({1, 2, 3}));
    port.afterInput = [&] { port.Deliver(bytes({4, 5})); }; // arriving while reading
    EXPECT_TRUE(ReadAvailable(port, got));
    EXPECT_EQ(got, bytes({1, 2, 3, 4, 5}));
}

class ReplyCollectorTest : public ::testing::Test
{
protected:
    ReplyCollectorTest() { port.ForceOpen(); }
    ScriptedPort port;
    ReplyCollector reply;
    qint64 now = 0;
    ReplyCollector::Status tick(qint64 ms = 10)
    {
        now += ms;
        return reply.Tick(port, now);
    }
};

// A reply that comes in chunks, with a pause longer than the idle limit
// counted from the request but not from its last byte, completes.
TEST_F(ReplyCollectorTest, ChunkedReplyIsJudgedAtTheTickAfterItsLastByte)
{
    using S = ReplyCollector::Status;
    const qint64 idle = ReplyCollector::IdleLimitMs - 1;
    reply.Reset(257, now);
    EXPECT_EQ(tick(300), S::Waiting);
    port.Deliver(QByteArray(100, 'a'));
    EXPECT_EQ(tick(1), S::Waiting);
    EXPECT_EQ(tick(idle), S::Waiting) << "idle since the last byte, not since the request";
    port.Deliver(QByteArray(100, 'b'));
    EXPECT_EQ(tick(1), S::Waiting);
    port.Deliver(QByteArray(57, 'c'));
    EXPECT_EQ(tick(), S::Waiting); // takes the last chunk
    EXPECT_EQ(tick(), S::Complete);
    EXPECT_EQ(reply.Bytes(), QByteArray(100, 'a') + QByteArray(100, 'b') + QByteArray(57, 'c'));
}

TEST_F(ReplyCollectorTest, IdleLimitIsElapsedTimeWithoutAByteNotATickCount)
{
    using S = ReplyCollector::Status;
    // Thousands of ticks in no time at all: no time-out.
    reply.Reset(3, 0);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(reply.Tick(port, 0), S::Waiting);
    for (qint64 t = 1; t < ReplyCollector::IdleLimitMs; ++t)
        ASSERT_EQ(reply.Tick(port, t), S::Waiting) << t;
    EXPECT_EQ(reply.Tick(port, ReplyCollector::IdleLimitMs), S::TimedOut);
}

TEST_F(ReplyCollectorTest, BytesWaitingAtALateTickAreTakenBeforeTheLimitIsJudged)
{
    using S = ReplyCollector::Status;
    reply.Reset(1, now);
    port.Deliver("O");
    // The event loop was busy for longer than the idle limit.
    EXPECT_EQ(tick(900), S::Waiting);
    EXPECT_EQ(tick(), S::Complete);
}

// A line that never falls idle (bytes 20 ms apart hold the idle limit off)
// ends at the reply's deadline: twice its wire time plus the margin. A reply
// that is whole before then, however slowly it came, is taken.
TEST_F(ReplyCollectorTest, AReplyEndsAtItsDeadlineHoweverBusyTheLine)
{
    using S = ReplyCollector::Status;
    struct Row
    {
        const char *what;
        int expected;
        int bytesSent;
        int chunk;
        qint64 gapMs;
        S result;
        qint64 atMs;
    };
    const Row rows[] = {
        {"a block trickled without end", 257, 100000, 1, 20, S::TimedOut, 1045},
        {"a reply running on past its length", 3, 100000, 2, 20, S::TimedOut, 1001},
        {"a block whole just before its deadline", 257, 257, 1, 4, S::Complete, 1029},
        {"a version answer trickled", 3, 3, 1, 20, S::Complete, 61},
    };
    for (const Row &row : rows) {
        reply.Reset(row.expected, 0);
        port.DiscardInput();
        S status = S::Waiting;
        qint64 t = 0;
        for (int sent = 0; status == S::Waiting && t < 100000; ++t) {
            if (t > 0 && t % row.gapMs == 0 && sent < row.bytesSent) {
                port.Deliver(QByteArray(row.chunk, 'x'));
                sent += row.chunk;
            }
            status = reply.Tick(port, t);
        }
        EXPECT_EQ(status, row.result) << row.what;
        EXPECT_EQ(t - 1, row.atMs) << row.what;
    }
    // A tick late by seconds that finds the whole reply waiting takes it.
    reply.Reset(257, now);
    port.Deliver(QByteArray(257, 'a'));
    EXPECT_EQ(tick(5000), S::Waiting);
    EXPECT_EQ(tick(), S::Complete);
}
