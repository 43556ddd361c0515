// The simulated box's protocol engine on its own: bytes in, answers out, no
// pseudo-terminal. Fast enough to feed it megabytes of garbage.

#include "BoxEngine.h"
#include "support/ExchangeTestSupport.h"

#include "link/Frames.h"

#include <gtest/gtest.h>

#include <vector>

using boxsim::BoxEngine;
using boxsim::Exchange;

namespace {

std::vector<Exchange> feedAll(BoxEngine &engine, const QByteArray &bytes)
{
    std::vector<Exchange> out;
    for (char b : bytes) {
        Exchange e;
        if (engine.feed(b, e))
            out.push_back(e);
    }
    return out;
}

QByteArray readReply(const QByteArray &image, int address, int count)
{
    QByteArray r = image.mid(address, count);
    r.append(static_cast<char>(Frames::Sum8(r)));
    return r;
}

QByteArray corrupted(QByteArray frame)
{
    frame.back() = static_cast<char>(frame.back() + 1);
    return frame;
}

// A request frame with an arbitrary address (past the end of memory too).
QByteArray rawFrame(char command, int address, const QByteArray &data, int count)
{
    QByteArray f;
    f.append(command);
    f.append(Frames::CountByte(count));
    f.append(static_cast<char>(Frames::HiByte(address)));
    f.append(static_cast<char>(Frames::LoByte(address)));
    f.append(data);
    f.append(static_cast<char>(Frames::Sum8(f)));
    return f;
}

} // namespace

TEST(BoxEngine, RefusedRequestsChangeNothing)
{
    const QByteArray image = PatternImage();
    struct Case { const char *what; QByteArray frame; QByteArray reply; };
    const std::vector<Case> cases = {
        {"block write, bad checksum", corrupted(Frames::WriteRequest(0x7D00, QByteArray(256, 'a'))), "X"},
        {"real-time write, bad checksum", corrupted(Frames::RealTimeRequest(0x7FB4, bytes({0x64}))), "X"},
        {"write running past 0x7FFF", rawFrame('W', 0x7FFF, bytes({1, 2}), 2), "X"},
        {"real-time write at 0x8000", rawFrame('w', 0x8000, bytes({1}), 1), "X"},
        {"write at 0xFFFF", rawFrame('W', 0xFFFF, bytes({9}), 1), "X"},
        {"read, bad checksum", corrupted(Frames::ReadRequest(0x7D00, 256)), {}},
        {"read running past 0x7FFF", rawFrame('R', 0x7FF0, {}, 32), {}},
        {"read of 256 at 0xFFFF", rawFrame('R', 0xFFFF, {}, 256), {}},
    };
    for (const Case &c : cases) {
        BoxEngine engine(image);
        const auto ex = feedAll(engine, c.frame);
        ASSERT_EQ(ex.size(), 1u) << c.what;
        EXPECT_EQ(std::tuple(ex[0].request, ex[0].reply, ex[0].applied), std::tuple(c.frame, c.reply, false)) << c.what;
        EXPECT_EQ(engine.memory(), image) << c.what;
        // The box is in step again for the next request.
        const auto next = feedAll(engine, "VV");
        ASSERT_EQ(next.size(), 1u) << c.what;
        EXPECT_EQ(next[0].reply, bytes({2, 5, 7})) << c.what;
    }
}

TEST(BoxEngine, ResyncsOnUnknownLeadingBytes)
{
    const QByteArray image = PatternImage();
    struct Case { const char *what; QByteArray garbage; int discarded; };
    const std::vector<Case> cases = {
        {"bytes that start no frame", bytes({0x00, 0xFF, 0x4F, 0x58, 0x3F, 0x0D, 0x0A}), 7},
        {"a V not followed by V", QByteArray("V\x01"), 2},
        {"V then another command", QByteArray("Vx"), 2},
    };
    for (const Case &c : cases) {
        BoxEngine engine(image);
        const auto ex = feedAll(engine, c.garbage + Frames::ReadRequest(0x7B00, 16));
        ASSERT_EQ(ex.size(), 1u) << c.what;
        EXPECT_EQ(std::tuple(ex[0].request, ex[0].reply, engine.discardedBytes()),
                  std::tuple(Frames::ReadRequest(0x7B00, 16), readReply(image, 0x7B00, 16), c.discarded))
            << c.what;
    }
}
