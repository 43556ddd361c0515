// The link's exchanges as state machines, driven by a manual clock against a
// scripted box: frames byte for byte, outcomes and their messages, partial
// results, time-outs and cancel. No waiting, no device.

#include "support/ExchangeTestSupport.h"
#include "support/FakeBox.h"

#include "link/BulkTransfer.h"
#include "link/Frames.h"
#include "link/Handshake.h"
#include "link/LinkMessages.h"
#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/ImageFile.h"
#include "model/TuneItems.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString SendFailure = "Failure on COM port.  Could not send request.  Specifically: Input/output error";

// A port with a box behind it, both fresh for every use.
struct Line
{
    explicit Line(const boxsim::BoxFaults &faults = {}) : box(PatternImage(), faults)
    {
        port.ForceOpen();
        port.peer = box.Peer();
    }
    ScriptedPort port;
    ManualLinkClock clock;
    FakeBox box;
};

// ---------------------------------------------------------------- handshake

// The request goes out two seconds after the port opens; each answer is
// judged at the next poll, two seconds later.
TEST(Handshake, OutcomesAndTheirTiming)
{
    struct Case
    {
        const char *name;
        std::function<void(ScriptedPort &)> setUp;
        LinkResult result;
        QString message;
        MsgIcon icon;
        qint64 endsAtMs;
    };
    auto answer = [](QByteArray reply) {
        return [reply](ScriptedPort &p) { p.peer = [reply](const QByteArray &) { return reply; }; };
    };
    const Case cases[] = {
        {"version", answer(bytes({0x01, 0x07, 0x03})), LinkResult::Success, {}, MsgIcon::None, 4000},
        {"refusal", answer(bytes({0x3F, 0x00, 0x00})), LinkResult::BadVersion, LinkMessages::BadVersion,
         MsgIcon::Critical, 4000},
        {"two bytes", answer(bytes({0x02, 0x05})), LinkResult::BadVersion, LinkMessages::BadVersion,
         MsgIcon::Critical, 4000},
        {"four bytes", answer(bytes({0x02, 0x05, 0x07, 0x00})), LinkResult::BadVersion, LinkMessages::BadVersion,
         MsgIcon::Critical, 4000},
        // Five polls, two seconds apart, then it gives up.
        {"silence", answer({}), LinkResult::NoAnswer,
         "Could not communicate wuth the Vantrelle hardware.  Please check your COM port settings and try again.",
         MsgIcon::Critical, 12000},
        {"port will not open", [](ScriptedPort &p) { p.openError = "Permission error while locking the device"; },
         LinkResult::OpenFailed, "Permission error while locking the device", MsgIcon::None, 0},
        {"request not sent", [](ScriptedPort &p) { p.failAllSends = true; }, LinkResult::SendFailed, SendFailure,
         MsgIcon::None, 2000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort p;
        ManualLinkClock k;
        c.setUp(p);
        HandshakeExchange h(p, k);
        h.Start();
        Drive(h, p, k, Feed::Ticks, 10);
        const bool ok = c.result == LinkResult::Success;
        EXPECT_EQ(std::tuple(h.IsConnected(), p.IsOpen(), h.Outcome().message, k.NowMs()),
                  std::tuple(ok, ok, c.message, c.endsAtMs));
        EXPECT_EQ(std::pair(h.Outcome().result, h.Outcome().icon), std::pair(c.result, c.icon));
        EXPECT_LE(p.sent.size(), 1);
        if (ok) {
            EXPECT_EQ(p.sent, QList<QByteArray>{bytes({0x56, 0x56})});
            EXPECT_EQ(HardwareVersionText(h.MajorVer(), h.MinorVer(), h.IDVer()), "Hardware Version 1.07 (3)   ");
        }
    }
}

// ---------------------------------------------------------------- bulk transfer

// The read is fed data notifications (replies judged on arrival), the write
// ticks alone (judged at the tick after the last byte).
TEST(Bulk, FullReadAsksForEveryItemButTwentyOneAndFillsTheTune)
{
    Line line;
    Tune tune;
    tune.general().SetAccelEnrich(3, 99);
    BulkTransferExchange read(line.port, line.clock, tune, TransferDirection::Read);
    line.port.Deliver("left over from a cancelled exchange");
    read.Start();
    ASSERT_TRUE(Drive(read, line.port, line.clock, Feed::Notifications));
    ASSERT_TRUE(read.Outcome().ok()) << read.Outcome().message.toStdString();

    ASSERT_EQ(line.port.sent.size(), 22);
    EXPECT_EQ(line.port.sent.first(), bytes({0x52, 0x00, 0x7D, 0x00, 0xCF}));
    Tune expected;
    TuneFromImage(line.box.image(), expected);
    expected.general().SetAccelEnrich(3, 99); // not in the box: left alone
    EXPECT_TRUE(tune.sameContents(expected));
}

TEST(Bulk, FullWriteSendsEveryItemFromTheTune)
{
    Line line;
    Tune tune;
    TuneFromImage(PatternImage(99), tune);
    tune.general().SetRevLimiter(0x64);
    tune.general().SetVersion("ABC");
    const QByteArray before = line.box.image();
    BulkTransferExchange write(line.port, line.clock, tune, TransferDirection::Write);
    write.Start();
    ASSERT_TRUE(Drive(write, line.port, line.clock));
    EXPECT_TRUE(write.Outcome().ok());
    const QList<QByteArray> &sent = line.port.sent;
    ASSERT_EQ(sent.size(), 22);
    EXPECT_EQ(sent[10] + sent[16], bytes({0x57, 0x01, 0x7F, 0xB4, 0x64, 0xEF, 0x57, 0x05, 0x6A, 0xD1, 'A', 'B', 'C', 0,
                                          0, 0x57 + 5 + 0x6A + 0xD1 + 'A' + 'B' + 'C'}));
    EXPECT_EQ(line.box.image(), PatchImage(before, tune));
}

TEST(Bulk, EveryFailureEndsTheTransferWithItsMessageAndKeepsTheItemsBefore)
{
    struct Case
    {
        const char *name;
        TransferDirection direction;
        boxsim::BoxFaults faults;
        int failedSend; // 1-based send the port refuses
        LinkResult result;
        QString message;
        int sent; // requests that went out
    };
    using R = LinkResult;
    using D = TransferDirection;
    const Case cases[] = {
        {"bad checksum on the fifth read", D::Read, {.badReadChecksum = 5}, -1, R::ChecksumError,
         "The data was not properly received.  Checksum error.  Please retry the operation", 5},
        {"bad ack on the third write", D::Write, {.badAck = 3}, -1, R::NotAcknowledged, LinkMessages::NotAcknowledged, 3},
        {"read silence", D::Read, {.silentAfter = 2}, -1, R::DataTimeout, LinkMessages::DataTimeout, 3},
        {"write silence", D::Write, {.silentAfter = 0}, -1, R::ResponseTimeout, LinkMessages::ResponseTimeout, 1},
        {"a byte behind the acknowledgement", D::Write, {.extraByte = true}, -1, R::ResponseTimeout,
         LinkMessages::ResponseTimeout, 1},
        {"a byte behind the read reply", D::Read, {.extraByte = true}, -1, R::DataTimeout, LinkMessages::DataTimeout, 1},
        {"first send refused", D::Read, {}, 1, R::SendFailed, SendFailure, 0},
        {"later send refused", D::Write, {}, 7, R::SendFailed, SendFailure, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Line line(c.faults);
        line.port.failSendNumber = c.failedSend;
        Tune tune;
        const Tune untouched;
        BulkTransferExchange x(line.port, line.clock, tune, c.direction);
        x.Start();
        ASSERT_TRUE(Drive(x, line.port, line.clock));
        EXPECT_EQ(std::pair(x.Outcome().message, line.port.sent.size()), std::pair(c.message, qsizetype(c.sent)));
        EXPECT_EQ(std::pair(x.Outcome().result, x.Outcome().icon),
                  std::pair(c.result, c.result == LinkResult::SendFailed ? MsgIcon::None : MsgIcon::Critical));
        if (c.direction == TransferDirection::Read) {
            for (int n = 1; n <= 5; ++n) {
                const TuneItem item = *ItemFromNumber(n);
                const TuneItemInfo &info = Info(item);
                const bool arrived = n < c.sent;
                EXPECT_EQ(ItemBytes(tune, item),
                          arrived ? line.box.image().mid(info.address, info.size) : ItemBytes(untouched, item))
                    << n;
            }
        }
    }
}

// ---------------------------------------------------------------- ROM transfer

// (A write goes out the same way: end to end in ConnectionFlowTest, the
// image taken from its file as ImageFileTest says.)
TEST(Rom, ReadMovesTheWholeMemoryInBlocks)
{
    QTemporaryDir dir;
    Line line;
    const QString out = dir.filePath("out.bin");
    ASSERT_TRUE(testenv::writeFile(out, QByteArray(40000, 'o'))); // an older, longer file keeps no tail
    RomTransferExchange read(line.port, line.clock, out, TransferDirection::Read);
    read.Start();
    ASSERT_TRUE(Drive(read, line.port, line.clock, Feed::Notifications));
    EXPECT_TRUE(read.Outcome().ok());
    ASSERT_EQ(line.port.sent.size(), 128);
    EXPECT_EQ(std::pair(line.port.sent.first(), line.port.sent.last()),
              std::pair(bytes({0x52, 0x00, 0x00, 0x00, 0x52}), bytes({0x52, 0x00, 0x7F, 0x00, 0xD1})));
    EXPECT_EQ(testenv::readFile(out), line.box.image());
}

// A half-read image must never pass for a whole one: whatever stops a read
// (the user, a bad block, the exchange being dropped), an existing file is
// exactly as it was and a new one never appears, even after blocks arrived.
TEST(Rom, ReadThatStopsEarlyLeavesNoTraceInTheFile)
{
    const QByteArray old = PatternImage(1234).left(20000);
    enum class Stop { Cancel, BadBlock, Dropped };
    for (bool existing : {true, false}) {
        for (Stop stop : {Stop::Cancel, Stop::BadBlock, Stop::Dropped}) {
            SCOPED_TRACE(testing::Message() << "existing " << existing << ", stop " << static_cast<int>(stop));
            QTemporaryDir folder;
            const QString file = folder.filePath("out.bin");
            if (existing) {
                ASSERT_TRUE(testenv::writeFile(file, old));
            }
            Line line({.badReadChecksum = 4});
            auto read = std::make_unique<RomTransferExchange>(line.port, line.clock, file, TransferDirection::Read);
            read->Start();
            if (stop == Stop::BadBlock) {
                Drive(*read, line.port, line.clock);
                EXPECT_EQ(read->Outcome().result, LinkResult::ChecksumError);
            } else {
                while (read->BlocksDone() < 3) {
                    line.clock.Advance(1);
                    read->Tick();
                }
                if (stop == Stop::Cancel)
                    read->Cancel();
            }
            EXPECT_EQ(read->BlocksDone(), 3);
            read.reset();
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), existing ? QStringList{"out.bin"} : QStringList{});
            if (existing) {
                EXPECT_EQ(testenv::readFile(file), old);
            }
        }
    }
}

// Nothing goes out when the file cannot be read whole or cannot be written.
TEST(Rom, UnusableFilesAreRefusedBeforeAnythingIsSent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testenv::makeFifo(dir.filePath("pipe")));
    ASSERT_TRUE(testenv::writeFile(dir.filePath("short.bin"), QByteArray(32767, 'a')));
    const std::pair<QString, TransferDirection> cases[] = {
        {dir.path(), TransferDirection::Read},
        {dir.filePath("pipe"), TransferDirection::Read},
        {dir.filePath("missing.bin"), TransferDirection::Write},
        {dir.filePath("short.bin"), TransferDirection::Write},
    };
    for (const auto &[file, direction] : cases) {
        SCOPED_TRACE(file.toStdString());
        Line line;
        RomTransferExchange x(line.port, line.clock, file, direction);
        x.Start();
        ASSERT_TRUE(x.Finished());
        EXPECT_EQ(std::tuple(x.Outcome().result, x.Outcome().icon, line.port.sendAttempts),
                  std::tuple(LinkResult::FileError, MsgIcon::Exclamation, 0));
        EXPECT_TRUE(x.Outcome().message.contains(file)) << x.Outcome().message.toStdString();
    }
    EXPECT_TRUE(testenv::isFifo(dir.filePath("pipe")) && !QFile::exists(dir.filePath("missing.bin")));
}

// ---------------------------------------------------------------- real-time write

TEST(RealTimeFrame, EachItemGoesToItsPlaceInTheBox)
{
    Tune tune;
    tune.general().SetVQ(3, 0x1234);
    tune.general().SetVersion("TTA01");
    struct Case
    {
        int item, index, value;
        QByteArray frame;
    };
    auto rt = [](int address, QByteArray data) { return Frames::RealTimeRequest(address, data); };
    const Case cases[] = {
        {1, 5, 0x80, bytes({0x77, 0x01, 0x7D, 0x05, 0x80, 0x7A})},
        {11, 7, 0x64, bytes({0x77, 0x01, 0x7F, 0xB4, 0x64, 0x0F})}, // index ignored
        {2, 255, 1, rt(0x71FF, bytes({1}))},
        {5, 15, 9, rt(0x7B0F, bytes({9}))},
        {22, 31, 2, rt(0x7B7F, bytes({2}))},
        {23, 3, 0x34, bytes({0x77, 0x02, 0x7A, 0x76, 0x12, 0x34, (0x77 + 0x02 + 0x7A + 0x76 + 0x12 + 0x34) & 0xFF})},
        {17, 0, 0, rt(0x6AD1, QByteArray("TTA01"))},
        // never written in real time, or outside the item
        {13, 0, 1, {}}, {14, 0, 1, {}}, {15, 0, 1, {}}, {21, 0, 1, {}}, {0, 0, 1, {}}, {24, 0, 1, {}},
        {5, 16, 1, {}}, {1, 256, 1, {}}, {1, -1, 1, {}}, {22, 32, 1, {}}, {23, 64, 1, {}},
        {1, 0, 256, {}}, {11, 0, -1, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.item << "/" << c.index << "/" << c.value);
        const std::optional<TuneItem> item = ItemFromNumber(c.item);
        EXPECT_EQ(item ? RealTimeFrame(*item, c.index, c.value, tune) : QByteArray(), c.frame);
    }
    EXPECT_EQ(RealTimeVersionFrame("AB"), rt(0x6AD1, bytes({'A', 'B', 0, 0, 0})));
    EXPECT_EQ(RealTimeVersionFrame("ABCDEFG"), rt(0x6AD1, QByteArray("ABCDE")));
}

} // namespace
