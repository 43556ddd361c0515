// The link session's transitions and the staged rev limiter's rule, each
// as a table.

#include "link/LinkSession.h"
#include "link/RealTimeWrite.h"
#include "support/LiveLink.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace ConnectionState;

namespace {

// Brings a fresh session to state (and real time) the way the commands do.
void bringTo(LinkSession &link, int state, bool realTime)
{
    if (state != NotConnected)
        link.BeginConnect();
    if (state >= Idle)
        link.HandshakeAnswered();
    if (realTime)
        link.StartRealTime();
    if (state == Reading || state == Writing)
        link.BeginTransfer(state == Reading);
}

} // namespace

TEST(LinkSessionTest, TransitionsAllowedOnlyFromTheirStates)
{
    struct Row
    {
        int from;
        bool realTime;
        const char *transition;
        std::function<bool(LinkSession &)> run;
        bool allowed;
        int to;
        bool realTimeAfter;
    };
    const auto connect = [](LinkSession &l) { return l.BeginConnect(); };
    const auto answered = [](LinkSession &l) { return l.HandshakeAnswered(); };
    const auto failed = [](LinkSession &l) { return l.HandshakeFailed(); };
    const auto read = [](LinkSession &l) { return l.BeginTransfer(true); };
    const auto write = [](LinkSession &l) { return l.BeginTransfer(false); };
    const auto end = [](LinkSession &l) { return l.EndTransfer(); };
    const auto disconnect = [](LinkSession &l) { return l.Disconnect(); };
    const auto start = [](LinkSession &l) { return l.StartRealTime(); };
    const auto stop = [](LinkSession &l) {
        const bool on = l.RealTimeEnabled();
        l.StopRealTime(150);
        return on;
    };
    const auto lost = [](LinkSession &l) {
        l.PortLost();
        return true;
    };
    const std::vector<Row> rows = {
        {NotConnected, false, "connect", connect, true, Connecting, false},
        {Idle, false, "connect while connected", connect, false, Idle, false},
        {Connecting, false, "the box answers", answered, true, Idle, false},
        {NotConnected, false, "an answer with no handshake", answered, false, NotConnected, false},
        {Connecting, false, "no answer", failed, true, NotConnected, false},
        {Idle, false, "read", read, true, Reading, false},
        {Idle, false, "write", write, true, Writing, false},
        {Connecting, false, "read before the answer", read, false, Connecting, false},
        {Reading, false, "a second transfer", write, false, Reading, false},
        {Idle, true, "no transfer in real-time mode", read, false, Idle, true},
        {Reading, false, "the read ends", end, true, Idle, false},
        {Writing, false, "the write ends", end, true, Idle, false},
        {Idle, false, "no transfer to end", end, false, Idle, false},
        {Idle, false, "disconnect", disconnect, true, NotConnected, false},
        {Idle, true, "disconnect waits for real time to stop", disconnect, false, Idle, true},
        {NotConnected, false, "nothing to disconnect", disconnect, false, NotConnected, false},
        {Idle, false, "real time on", start, true, Idle, true},
        {Connecting, false, "real time while connecting", start, true, Connecting, true},
        {NotConnected, false, "no real time without a box", start, false, NotConnected, false},
        {Idle, true, "real time off", stop, true, Idle, false},
        {Idle, true, "the port dies", lost, true, NotConnected, false},
        {Reading, false, "the port dies during a read", lost, true, NotConnected, false},
    };
    for (const Row &row : rows) {
        LinkSession link;
        bringTo(link, row.from, row.realTime);
        ASSERT_EQ(std::pair(link.ConnectionState(), link.RealTimeEnabled()), std::pair(row.from, row.realTime))
            << row.transition;
        int changes = 0;
        QObject::connect(&link, &LinkSession::changed, [&] { ++changes; });
        EXPECT_EQ(row.run(link), row.allowed) << row.transition;
        EXPECT_EQ(link.ConnectionState(), row.to) << row.transition;
        EXPECT_EQ(link.RealTimeEnabled(), row.realTimeAfter) << row.transition;
        EXPECT_EQ(changes > 0, row.allowed) << row.transition << ": changed only when it changed";
    }
}

// What is known of the box: forgotten on connecting; a failed real-time
// write makes its item unknown and is reported.
TEST(LinkSessionTest, TheBoxIsForgottenOnConnectingAndAFailedWriteIsReported)
{
    LinkSession link;
    Tune tune;
    testlink::Connect(link);
    link.RecordTransfer(tune, TransferWalk(), static_cast<int>(TransferWalk().size()), false);
    EXPECT_TRUE(link.Box().ItemsToWrite(tune).empty());

    std::vector<std::optional<TuneItem>> failed;
    QObject::connect(&link, &LinkSession::realTimeWriteFailed, [&](std::optional<TuneItem> item) { failed.push_back(item); });
    link.RealTimeWriteEnded(RealTimeFrame(TuneItem::TTPMax, 3, 7, tune), true, 12);
    link.RealTimeWriteEnded(RealTimeFrame(TuneItem::RevLimiter, 0, 7, tune), false, 500);
    EXPECT_EQ(failed, (std::vector<std::optional<TuneItem>>{TuneItem::RevLimiter}));
    EXPECT_EQ(link.LastRealTimeRoundTripMs(), 12) << "a write that failed has no round trip";
    EXPECT_EQ(link.Box().ItemsToWrite(tune), (std::vector<TuneItem>{TuneItem::RevLimiter, TuneItem::TTPMax}))
        << "the acknowledged write is held, the failed one unknown";

    link.Disconnect();
    link.BeginConnect();
    EXPECT_TRUE(link.Box().KnowsNothing());
}

// The staged rev limiter: one write on each edge of its own input, the
// tune's limit back when it is switched off while in force or when real
// time ends, and nothing for other inputs.
TEST(StagedRevLimiterTest, OneWritePerEdge)
{
    const StagedRevLimiter::Settings on{true, QStringLiteral("Launch"), 140};
    const StagedRevLimiter::Settings off{false, QStringLiteral("Launch"), 140};
    struct Step
    {
        const StagedRevLimiter::Settings *settings;
        const char *input;
        bool high;
        std::optional<int> write;
        bool activeAfter;
        int limitInForceBefore;
    };
    const Step steps[] = {
        {&on, "Launch", false, std::nullopt, false, 150}, {&on, "Launch", true, 140, true, 150},
        {&on, "Launch", true, std::nullopt, true, 140},   {&on, "Other", false, std::nullopt, true, 140},
        {&on, "Launch", false, 150, false, 140},          {&on, "Launch", true, 140, true, 150},
        {&off, "Other", true, 150, false, 140},           {&off, "Launch", true, std::nullopt, false, 150},
    };
    StagedRevLimiter limiter;
    int n = 0;
    for (const Step &s : steps) {
        EXPECT_EQ(limiter.LimitInForce(on, 150), s.limitInForceBefore) << n;
        EXPECT_EQ(limiter.InputRead(*s.settings, QString::fromLatin1(s.input), s.high, 150), s.write) << n;
        EXPECT_EQ(limiter.Active(), s.activeAfter) << n;
        ++n;
    }
    limiter.InputRead(on, QStringLiteral("Launch"), true, 150);
    EXPECT_EQ(limiter.RealTimeEnding(150), 150) << "the tune's limit goes back";
    EXPECT_EQ(limiter.RealTimeEnding(150), std::nullopt) << "once";
    limiter.InputRead(on, QStringLiteral("Launch"), true, 150);
    limiter.BoxLost();
    EXPECT_EQ(limiter.RealTimeEnding(150), std::nullopt) << "no box to give it back to";
}
