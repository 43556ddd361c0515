// The simulated box's protocol engine on its own: bytes in, answers out, no
// pseudo-terminal. Fast enough to feed it megabytes of garbage.

#include "BoxEngine.h"

#include "link/Frames.h"

#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>

#include <vector>

using boxsim::BoxEngine;
using boxsim::BoxFaults;
using boxsim::Exchange;
using boxsim::FrameKind;

namespace {

QByteArray patternImage()
{
    QByteArray image(BoxEngine::MemorySize, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>((i * 7 + (i >> 8)) & 0xFF);
    return image;
}

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

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
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
    const QByteArray image = patternImage();
    struct Case { const char *what; QByteArray frame; QByteArray reply; };
    const std::vector<Case> cases = {
        {"block write, bad checksum", corrupted(Frames::WriteRequest(0x7D00, QByteArray(256, 'a'))), "X"},
        {"real-time write, bad checksum", corrupted(Frames::RealTimeRequest(0x7FB4, bytes({0x64}))), "X"},
        {"write running past 0x7FFF", rawFrame('W', 0x7FFF, bytes({1, 2}), 2), "X"},
        {"write of 256 past 0x7FFF", rawFrame('W', 0x7F01, QByteArray(256, 'b'), 256), "X"},
        {"real-time write at 0x8000", rawFrame('w', 0x8000, bytes({1}), 1), "X"},
        {"write at 0xFFFF", rawFrame('W', 0xFFFF, bytes({9}), 1), "X"},
        {"read, bad checksum", corrupted(Frames::ReadRequest(0x7D00, 256)), {}},
        {"read running past 0x7FFF", rawFrame('R', 0x7FF0, {}, 32), {}},
        {"read at 0x8000", rawFrame('R', 0x8000, {}, 1), {}},
        {"read of 256 at 0xFFFF", rawFrame('R', 0xFFFF, {}, 256), {}},
    };
    for (const Case &c : cases) {
        BoxEngine engine(image);
        const auto ex = feedAll(engine, c.frame);
        ASSERT_EQ(ex.size(), 1u) << c.what;
        EXPECT_EQ(ex[0].request, c.frame) << c.what;
        EXPECT_EQ(ex[0].reply, c.reply) << c.what;
        EXPECT_FALSE(ex[0].applied) << c.what;
        EXPECT_EQ(engine.memory(), image) << c.what;
        // The box is in step again for the next request.
        const auto next = feedAll(engine, "VV");
        ASSERT_EQ(next.size(), 1u) << c.what;
        EXPECT_EQ(next[0].reply, bytes({2, 5, 7})) << c.what;
    }
}

// Each fault option on the same run of frames: a version request, two reads,
// a block write and a real-time write.
TEST(BoxEngine, FaultsChangeTheirAnswersOnly)
{
    const QByteArray image = patternImage();
    const QByteArray read = readReply(image, 0x7B00, 16);
    const QByteArray badRead = read.left(16) + static_cast<char>(read.back() + 1);
    const QByteArray frames[] = {"VV", Frames::ReadRequest(0x7B00, 16), Frames::ReadRequest(0x7B00, 16),
                                 Frames::WriteRequest(0x7FB4, bytes({0x64})),
                                 Frames::RealTimeRequest(0x7FA5, bytes({0x50}))};
    struct Case
    {
        const char *name;
        std::function<void(BoxFaults &)> set;
        std::vector<QByteArray> replies;
        bool written; // the block write reached memory
    };
    const Case cases[] = {
        {"none", [](BoxFaults &) {}, {bytes({2, 5, 7}), read, read, "O", "O"}, true},
        {"version bytes", [](BoxFaults &f) { f.version[0] = 1; f.version[1] = 7; f.version[2] = 3; },
         {bytes({1, 7, 3}), read, read, "O", "O"}, true},
        {"refuse version", [](BoxFaults &f) { f.refuseVersion = true; }, {bytes({0x3F, 0, 0}), read, read, "O", "O"}, true},
        {"second read bad", [](BoxFaults &f) { f.badReadChecksum = 2; }, {bytes({2, 5, 7}), read, badRead, "O", "O"}, true},
        {"second write refused", [](BoxFaults &f) { f.badAck = 2; }, {bytes({2, 5, 7}), read, read, "O", "X"}, true},
        {"first write refused", [](BoxFaults &f) { f.badAck = 1; }, {bytes({2, 5, 7}), read, read, "X", "O"}, false},
        {"silent after 3", [](BoxFaults &f) { f.silentAfter = 3; }, {bytes({2, 5, 7}), read, read, {}, {}}, false},
        {"extra byte", [](BoxFaults &f) { f.extraByte = true; },
         {bytes({2, 5, 7, 0}), read + '\0', read + '\0', QByteArray("O", 2), QByteArray("O", 2)}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BoxFaults faults;
        c.set(faults);
        BoxEngine engine(image, faults);
        std::vector<QByteArray> replies;
        for (const QByteArray &f : frames)
            for (const Exchange &e : feedAll(engine, f))
                replies.push_back(e.reply);
        EXPECT_EQ(replies, c.replies);
        EXPECT_EQ(engine.memory().at(0x7FB4) == '\x64', c.written);
    }
}

TEST(BoxEngine, ResyncsOnUnknownLeadingBytes)
{
    const QByteArray image = patternImage();
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
        EXPECT_EQ(ex[0].request, Frames::ReadRequest(0x7B00, 16)) << c.what;
        EXPECT_EQ(ex[0].reply, readReply(image, 0x7B00, 16)) << c.what;
        EXPECT_EQ(engine.discardedBytes(), c.discarded) << c.what;
    }
    // "VVV": one version request; the third V waits for its partner.
    BoxEngine engine(image);
    EXPECT_EQ(feedAll(engine, "VVV").size(), 1u);
    EXPECT_EQ(engine.pendingBytes(), 1);
    // A V followed by the start of a read: the V goes, the read is answered.
    EXPECT_EQ(feedAll(engine, Frames::ReadRequest(0, 4)).size(), 1u);
}

TEST(BoxEngine, SurvivesRandomInputAndComesBackInStep)
{
    for (quint32 seed : {1u, 2u, 3u, 4u}) {
        QRandomGenerator random(seed);
        BoxFaults faults;
        faults.badAck = 5;
        faults.badReadChecksum = 3;
        faults.extraByte = seed % 2 == 0;
        BoxEngine engine(patternImage(), faults);
        QByteArray noise(256 * 1024, '\0');
        for (char &b : noise) {
            // Plenty of command letters, so half-frames of every kind occur.
            const quint32 r = random.bounded(8u);
            b = r == 0 ? 'R' : r == 1 ? 'W' : r == 2 ? 'w' : r == 3 ? 'V' : static_cast<char>(random.bounded(256u));
        }
        for (const Exchange &e : feedAll(engine, noise)) {
            const int size = static_cast<int>(e.request.size());
            switch (e.kind) {
            case FrameKind::Version: EXPECT_EQ(size, 2); break;
            case FrameKind::Read: EXPECT_EQ(size, 5); break;
            default: EXPECT_EQ(size, Frames::CountFromByte(e.request.at(1)) + 5); break;
            }
            const int extra = faults.extraByte && !e.reply.isEmpty() ? 1 : 0;
            const int replySize = static_cast<int>(e.reply.size()) - extra;
            if (e.kind == FrameKind::Read && !e.reply.isEmpty()) {
                EXPECT_EQ(replySize, Frames::CountFromByte(e.request.at(1)) + 1);
            } else if (e.kind != FrameKind::Read && e.kind != FrameKind::Version) {
                EXPECT_EQ(replySize, 1);
            }
        }
        EXPECT_EQ(engine.memory().size(), BoxEngine::MemorySize);
        // At most one half frame (261 bytes) can be pending; zeros finish it
        // and are then dropped, after which a version request is answered.
        EXPECT_LE(engine.pendingBytes(), 260);
        feedAll(engine, QByteArray(300, '\0'));
        EXPECT_EQ(engine.pendingBytes(), 0);
        const auto ex = feedAll(engine, "VV");
        ASSERT_EQ(ex.size(), 1u);
        EXPECT_EQ(ex[0].reply.left(3), bytes({2, 5, 7}));
    }
}
