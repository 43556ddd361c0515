// The link's exchanges as state machines, driven by a manual clock against a
// scripted box: frames byte for byte, outcomes and their messages, partial
// results, time-outs and cancel. No waiting, no device.

#include "ExchangeTestSupport.h"
#include "FakeBox.h"

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

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

const QString ChecksumMessage = LinkMessages::ChecksumError;
const QString NotAckMessage = LinkMessages::NotAcknowledged;
const QString DataTimeoutMessage = LinkMessages::DataTimeout;
const QString ResponseTimeoutMessage = LinkMessages::ResponseTimeout;

class LinkExchangeTest : public ::testing::Test
{
protected:
    LinkExchangeTest() : box(PatternImage())
    {
        port.ForceOpen();
        port.peer = box.Peer();
    }
    ScriptedPort port;
    ManualLinkClock clock;
    FakeBox box;
};

// ---------------------------------------------------------------- handshake

class HandshakeTest : public LinkExchangeTest
{
protected:
    HandshakeTest() { port.Close(); port.closes = 0; port.peer = nullptr; }
    // Ticks every 10 ms until the exchange ends; records the progress seen.
    void run(HandshakeExchange &h)
    {
        QObject::connect(&h, &LinkExchange::progressChanged, [this](int v) { progress.push_back(v); });
        h.Start();
        Drive(h, port, clock, Feed::Ticks, 10);
    }
    std::vector<int> progress;
};

TEST_F(HandshakeTest, AnswerAtTheFirstPollConnectsWithTheVersionBytes)
{
    HandshakeExchange h(port, clock);
    h.Start();
    EXPECT_TRUE(port.IsOpen());
    while (clock.NowMs() < 1990) {
        clock.Advance(10);
        h.Tick();
    }
    EXPECT_TRUE(port.sent.isEmpty()) << "the request waits two seconds after the port opens";
    clock.Advance(10);
    h.Tick();
    ASSERT_EQ(port.sent, QList<QByteArray>{bytes({0x56, 0x56})});
    port.Deliver(bytes({0x01, 0x07, 0x03}));
    while (!h.Finished() && clock.NowMs() < 3990) {
        clock.Advance(10);
        h.Tick();
    }
    EXPECT_FALSE(h.Finished()) << "the answer is judged at the poll, two seconds after the request";
    Drive(h, port, clock, Feed::Ticks, 10);
    EXPECT_EQ(clock.NowMs(), 4000);
    EXPECT_TRUE(h.IsConnected());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(h.Progress(), 20);
    EXPECT_EQ(HardwareVersionText(h.MajorVer(), h.MinorVer(), h.IDVer()), "Hardware Version 1.07 (3)   ");
}

TEST_F(HandshakeTest, EveryFailureClosesThePortWithItsMessage)
{
    struct Case
    {
        const char *name;
        QByteArray answer;
        LinkResult result;
        QString message;
        MsgIcon icon;
    };
    const Case cases[] = {
        {"refusal", bytes({0x3F, 0x00, 0x00}), LinkResult::BadVersion, LinkMessages::BadVersion, MsgIcon::Critical},
        {"two bytes", bytes({0x02, 0x05}), LinkResult::BadVersion, LinkMessages::BadVersion, MsgIcon::Critical},
        {"four bytes", bytes({0x02, 0x05, 0x07, 0x00}), LinkResult::BadVersion, LinkMessages::BadVersion,
         MsgIcon::Critical},
        {"silence", {}, LinkResult::NoAnswer, LinkMessages::NoAnswer, MsgIcon::Critical},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort p;
        ManualLinkClock k;
        p.peer = [&](const QByteArray &) { return c.answer; };
        HandshakeExchange h(p, k);
        h.Start();
        Drive(h, p, k, Feed::Ticks, 10);
        EXPECT_FALSE(h.IsConnected());
        EXPECT_FALSE(p.IsOpen());
        EXPECT_EQ(h.Outcome().result, c.result);
        EXPECT_EQ(h.Outcome().message, c.message);
        EXPECT_EQ(h.Outcome().icon, c.icon);
    }
}

TEST_F(HandshakeTest, TheThirdByteArrivingAfterThePollChangesNothing)
{
    HandshakeExchange h(port, clock);
    port.peer = [](const QByteArray &) { return bytes({0x02, 0x05}); };
    h.Start();
    Drive(h, port, clock, Feed::Ticks, 10);
    EXPECT_EQ(clock.NowMs(), 4000);
    port.Deliver(bytes({0x07}));
    clock.Advance(5000);
    h.Tick();
    EXPECT_EQ(h.Outcome().result, LinkResult::BadVersion);
    EXPECT_FALSE(h.IsConnected());
}

TEST_F(HandshakeTest, SilenceRunsFivePollsWithProgressTwentyToHundred)
{
    HandshakeExchange h(port, clock);
    run(h);
    EXPECT_EQ(progress, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(clock.NowMs(), 12000) << "gives up at the fifth poll, 10 s after the request";
    EXPECT_EQ(h.Outcome().message,
              "Could not communicate wuth the Vantrelle hardware.  Please check your COM port settings and try again.");
    EXPECT_EQ(port.sent.size(), 1);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(HandshakeTest, AnAnswerBeforeTheFourthPollCountsOneAfterItDoesNot)
{
    for (qint64 arrival : {9990, 10010}) {
        SCOPED_TRACE(arrival);
        ScriptedPort p;
        ManualLinkClock k;
        HandshakeExchange h(p, k);
        h.Start();
        while (!h.Finished() && k.NowMs() < 20000) {
            k.Advance(10);
            if (k.NowMs() == arrival)
                p.Deliver(bytes({2, 5, 7}));
            h.Tick();
        }
        EXPECT_EQ(h.IsConnected(), arrival < 10000);
    }
}

TEST_F(HandshakeTest, PortThatCannotOpenGivesItsOwnDescriptionAndSendsNothing)
{
    port.openError = QStringLiteral("Permission error while locking the device");
    HandshakeExchange h(port, clock);
    h.Start();
    ASSERT_TRUE(h.Finished());
    EXPECT_EQ(h.Outcome().result, LinkResult::OpenFailed);
    EXPECT_EQ(h.Outcome().message, "Permission error while locking the device");
    EXPECT_EQ(h.Outcome().icon, MsgIcon::None);
    EXPECT_EQ(port.sendAttempts, 0);
}

TEST_F(HandshakeTest, RequestThatCannotBeSentClosesThePortAndSaysWhy)
{
    port.failAllSends = true;
    port.sendError = QStringLiteral("Input/output error");
    HandshakeExchange h(port, clock);
    h.Start();
    Drive(h, port, clock, Feed::Ticks, 10);
    EXPECT_EQ(h.Outcome().result, LinkResult::SendFailed);
    EXPECT_EQ(h.Outcome().message, "Failure on COM port.  Could not send request.  Specifically: Input/output error");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(clock.NowMs(), 2000);
}

TEST_F(HandshakeTest, CancelClosesThePortWithoutAMessage)
{
    HandshakeExchange h(port, clock);
    h.Start();
    clock.Advance(3000);
    h.Tick();
    h.Cancel();
    EXPECT_TRUE(h.Finished());
    EXPECT_EQ(h.Outcome().result, LinkResult::Cancelled);
    EXPECT_TRUE(h.Outcome().message.isEmpty());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(HandshakeTest, FastTimingsShortenStartAndPolls)
{
    port.peer = [](const QByteArray &) { return bytes({2, 5, 7}); };
    HandshakeExchange h(port, clock, HandshakeTimings::Fast());
    h.Start();
    Drive(h, port, clock, Feed::Ticks, 10);
    EXPECT_TRUE(h.IsConnected());
    EXPECT_EQ(clock.NowMs(), 200);
}

TEST(HardwareVersionText, MinorVersionHasAtLeastTwoDigits)
{
    EXPECT_EQ(HardwareVersionText(2, 5, 7), "Hardware Version 2.05 (7)   ");
    EXPECT_EQ(HardwareVersionText(2, 0, 7), "Hardware Version 2.00 (7)   ");
    EXPECT_EQ(HardwareVersionText(2, 9, 7), "Hardware Version 2.09 (7)   ");
    EXPECT_EQ(HardwareVersionText(2, 10, 7), "Hardware Version 2.10 (7)   ");
    EXPECT_EQ(HardwareVersionText(2, 12, 255), "Hardware Version 2.12 (255)   ");
}

// ---------------------------------------------------------------- bulk transfer

class BulkTest : public LinkExchangeTest, public ::testing::WithParamInterface<Feed>
{
};

TEST_P(BulkTest, FullReadAsksForEveryItemButTwentyOneAndFillsTheTune)
{
    Tune tune;
    tune.general().SetAccelEnrich(3, 99);
    BulkTransferExchange read(port, clock, tune, TransferDirection::Read);
    std::vector<int> progress;
    QStringList items;
    QObject::connect(&read, &LinkExchange::progressChanged, [&](int v) { progress.push_back(v); });
    QObject::connect(&read, &LinkExchange::itemTextChanged, [&](const QString &t) { items << t; });
    read.Start();
    ASSERT_TRUE(Drive(read, port, clock, GetParam()));
    EXPECT_TRUE(read.Outcome().ok());
    EXPECT_EQ(read.StatusText(), "Reading from Vantrelle hardware.  Please wait...");

    ASSERT_EQ(port.sent.size(), 22);
    EXPECT_EQ(port.sent.first(), bytes({0x52, 0x00, 0x7D, 0x00, 0xCF}));
    int k = 0;
    for (const TuneItem &item : TuneItems()) {
        if (item.number == AccelEnrichItem)
            continue;
        EXPECT_EQ(port.sent[k++], Frames::ReadRequest(item.address, item.size)) << item.number;
    }
    EXPECT_EQ(items.first(), "Retrieving High Octane Fuel Map...");
    EXPECT_EQ(items.last(), "Retrieving VQ Table...");
    EXPECT_FALSE(items.contains("Retrieving Acceleration Enrichment Map..."));
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(progress.size(), 22u);
    EXPECT_EQ(std::count(progress.begin(), progress.end(), BulkTransferExchange::ProgressFor(21)), 0)
        << "the skipped item's step is jumped over";
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 100), 1);

    Tune expected;
    TuneFromImage(box.image, expected);
    expected.general().SetAccelEnrich(3, 99); // not in the box: left alone
    EXPECT_TRUE(tune.sameContents(expected));
    EXPECT_EQ(port.discards, 22) << "stale input is dropped before every request";
}

TEST_P(BulkTest, FullWriteSendsEveryItemFromTheTune)
{
    Tune tune;
    TuneFromImage(PatternImage(99), tune);
    tune.general().SetRevLimiter(0x64);
    tune.general().SetVersion("ABC");
    const QByteArray before = box.image;
    BulkTransferExchange write(port, clock, tune, TransferDirection::Write);
    QStringList items;
    QObject::connect(&write, &LinkExchange::itemTextChanged, [&](const QString &t) { items << t; });
    write.Start();
    ASSERT_TRUE(Drive(write, port, clock, GetParam()));
    EXPECT_TRUE(write.Outcome().ok());
    ASSERT_EQ(port.sent.size(), 22);
    EXPECT_EQ(port.sent[0].size(), 261);
    EXPECT_EQ(port.sent[0].left(4), bytes({0x57, 0x00, 0x7D, 0x00}));
    EXPECT_EQ(static_cast<std::uint8_t>(port.sent[0][260]), Frames::Sum8(port.sent[0].left(260)));
    EXPECT_EQ(port.sent[10], bytes({0x57, 0x01, 0x7F, 0xB4, 0x64, 0xEF}));
    EXPECT_EQ(port.sent[16], bytes({0x57, 0x05, 0x6A, 0xD1, 'A', 'B', 'C', 0, 0, 0x57 + 5 + 0x6A + 0xD1 + 'A' + 'B' + 'C'}));
    EXPECT_EQ(port.sent[4].size(), 21);
    EXPECT_EQ(items.last(), "Writing VQ Table...");
    EXPECT_EQ(box.image, PatchImage(before, tune));
}

INSTANTIATE_TEST_SUITE_P(Feeds, BulkTest, ::testing::Values(Feed::Ticks, Feed::Notifications));

TEST_F(LinkExchangeTest, VersionTextABCDEGoesOutAsItsFiveCodes)
{
    Tune tune;
    tune.general().SetVersion("ABCDE");
    EXPECT_EQ(Frames::WriteRequest(0x6AD1, ItemBytes(tune, 17)).mid(1, 8),
              bytes({0x05, 0x6A, 0xD1, 0x41, 0x42, 0x43, 0x44, 0x45}));
}

TEST_F(LinkExchangeTest, ReadStoppedByABadChecksumKeepsTheItemsBeforeIt)
{
    box.badReadChecksum = 5;
    Tune tune;
    const Tune untouched;
    BulkTransferExchange read(port, clock, tune, TransferDirection::Read);
    read.Start();
    ASSERT_TRUE(Drive(read, port, clock));
    EXPECT_EQ(read.Outcome().result, LinkResult::ChecksumError);
    EXPECT_EQ(read.Outcome().message,
              "The data was not properly received.  Checksum error.  Please retry the operation");
    EXPECT_EQ(read.Outcome().icon, MsgIcon::Critical);
    EXPECT_EQ(port.sent.size(), 5);
    EXPECT_EQ(read.ItemsDone(), 4);
    for (int item = 1; item <= 23; ++item) {
        if (item == AccelEnrichItem)
            continue;
        const TuneItem &info = *FindTuneItem(item);
        if (item <= 4)
            EXPECT_EQ(ItemBytes(tune, item), box.image.mid(info.address, info.size)) << item;
        else
            EXPECT_EQ(ItemBytes(tune, item), ItemBytes(untouched, item)) << item;
    }
}

TEST_F(LinkExchangeTest, EveryFailureEndsTheTransferWithItsMessage)
{
    struct Case
    {
        const char *name;
        TransferDirection direction;
        std::function<void(FakeBox &, ScriptedPort &)> fault;
        LinkResult result;
        QString message;
        MsgIcon icon;
        int sent; // requests that went out
    };
    const QString sendFailure = "Failure on COM port.  Could not send request.  Specifically: Input/output error";
    const Case cases[] = {
        {"bad ack on the third write", TransferDirection::Write, [](FakeBox &b, ScriptedPort &) { b.badAck = 3; },
         LinkResult::NotAcknowledged, NotAckMessage, MsgIcon::Critical, 3},
        {"read silence", TransferDirection::Read, [](FakeBox &b, ScriptedPort &) { b.silentFrom = 3; },
         LinkResult::DataTimeout, DataTimeoutMessage, MsgIcon::Critical, 3},
        {"write silence", TransferDirection::Write, [](FakeBox &b, ScriptedPort &) { b.silentFrom = 1; },
         LinkResult::ResponseTimeout, ResponseTimeoutMessage, MsgIcon::Critical, 1},
        {"two-byte acknowledgement", TransferDirection::Write,
         [](FakeBox &b, ScriptedPort &) { b.extra = "O"; }, LinkResult::ResponseTimeout, ResponseTimeoutMessage,
         MsgIcon::Critical, 1},
        {"read reply one byte long", TransferDirection::Read,
         [](FakeBox &b, ScriptedPort &) { b.extra = QByteArray(1, '\0'); }, LinkResult::DataTimeout,
         DataTimeoutMessage, MsgIcon::Critical, 1},
        {"first send refused", TransferDirection::Read, [](FakeBox &, ScriptedPort &p) { p.failSendNumber = 1; },
         LinkResult::SendFailed, sendFailure, MsgIcon::None, 0},
        {"later send refused", TransferDirection::Write, [](FakeBox &, ScriptedPort &p) { p.failSendNumber = 7; },
         LinkResult::SendFailed, sendFailure, MsgIcon::None, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort p;
        p.ForceOpen();
        FakeBox b(PatternImage());
        p.peer = b.Peer();
        ManualLinkClock k;
        c.fault(b, p);
        Tune tune;
        BulkTransferExchange x(p, k, tune, c.direction);
        x.Start();
        ASSERT_TRUE(Drive(x, p, k));
        EXPECT_EQ(x.Outcome().result, c.result);
        EXPECT_EQ(x.Outcome().message, c.message);
        EXPECT_EQ(x.Outcome().icon, c.icon);
        EXPECT_EQ(p.sent.size(), c.sent);
    }
}

TEST_F(LinkExchangeTest, TimeOutComesAfterHalfASecondOfSilenceWhateverTheTickRate)
{
    for (qint64 step : {1, 10, 16}) {
        SCOPED_TRACE(step);
        ScriptedPort p;
        p.ForceOpen();
        ManualLinkClock k;
        Tune tune;
        BulkTransferExchange x(p, k, tune, TransferDirection::Read);
        x.Start();
        Drive(x, p, k, Feed::Ticks, step);
        EXPECT_EQ(x.Outcome().result, LinkResult::DataTimeout);
        EXPECT_GE(k.NowMs(), 500);
        EXPECT_LT(k.NowMs(), 500 + step + 1);
    }
}

TEST_F(LinkExchangeTest, StaleBytesBeforeARequestDoNotSpoilItsReply)
{
    Tune tune;
    BulkTransferExchange read(port, clock, tune, TransferDirection::Read);
    port.Deliver("left over from a cancelled exchange");
    read.Start();
    ASSERT_TRUE(Drive(read, port, clock));
    EXPECT_TRUE(read.Outcome().ok());
}

TEST_F(LinkExchangeTest, CancelStopsTheWalkAndKeepsWhatArrived)
{
    Tune tune;
    const Tune untouched;
    BulkTransferExchange read(port, clock, tune, TransferDirection::Read);
    read.Start();
    while (read.ItemsDone() < 3) {
        clock.Advance(1);
        read.Tick();
    }
    read.Cancel();
    EXPECT_EQ(read.Outcome().result, LinkResult::Cancelled);
    const int sent = static_cast<int>(port.sent.size());
    clock.Advance(1000);
    read.Tick();
    read.DataArrived();
    EXPECT_EQ(port.sent.size(), sent);
    EXPECT_EQ(ItemBytes(tune, 3), box.image.mid(0x7000, 256));
    EXPECT_EQ(ItemBytes(tune, 5), ItemBytes(untouched, 5));
}

TEST(BulkProgress, StepsOfOneTwentyThirdRoundedToTheNearestPercent)
{
    EXPECT_EQ(BulkTransferExchange::ProgressFor(0), 0);
    EXPECT_EQ(BulkTransferExchange::ProgressFor(1), 4);
    EXPECT_EQ(BulkTransferExchange::ProgressFor(2), 9);
    EXPECT_EQ(BulkTransferExchange::ProgressFor(22), 96);
    EXPECT_EQ(BulkTransferExchange::ProgressFor(23), 100);
}

// ---------------------------------------------------------------- ROM transfer

class RomTest : public LinkExchangeTest
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(RomTest, CompleteReadFillsTheFileWithExactlyTheBoxImage)
{
    const QString file = path("out.bin");
    // An older, longer file must not keep its tail.
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly) && QFile(file).resize(40000));
    RomTransferExchange read(port, clock, file, TransferDirection::Read);
    std::vector<int> progress;
    QObject::connect(&read, &LinkExchange::progressChanged, [&](int v) { progress.push_back(v); });
    read.Start();
    ASSERT_TRUE(Drive(read, port, clock, Feed::Notifications));
    EXPECT_TRUE(read.Outcome().ok());
    ASSERT_EQ(port.sent.size(), 128);
    EXPECT_EQ(port.sent.first(), bytes({0x52, 0x00, 0x00, 0x00, 0x52}));
    EXPECT_EQ(port.sent.last(), bytes({0x52, 0x00, 0x7F, 0x00, 0xD1}));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), box.image);
    ASSERT_EQ(progress.size(), 129u);
    EXPECT_EQ(progress[0], 1);
    EXPECT_EQ(progress[1], 257);
    EXPECT_EQ(progress[2], 513);
    EXPECT_EQ(progress[127], 32513);
    EXPECT_EQ(progress[128], 32768);
    EXPECT_EQ(read.ProgressMaximum(), 32768);
}

// A half-read image must never pass for a whole one: whatever stops a read
// (the user, a bad block, the exchange being dropped), an existing file is
// exactly as it was and a new one never appears, even after blocks arrived.
TEST_F(RomTest, ReadThatStopsEarlyLeavesNoTraceInTheFile)
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
            ScriptedPort p;
            p.ForceOpen();
            FakeBox b(PatternImage(7));
            p.peer = b.Peer();
            b.badReadChecksum = 4;
            ManualLinkClock k;
            auto read = std::make_unique<RomTransferExchange>(p, k, file, TransferDirection::Read);
            read->Start();
            if (stop == Stop::BadBlock) {
                Drive(*read, p, k);
                EXPECT_EQ(read->Outcome().result, LinkResult::ChecksumError);
            } else {
                while (read->BlocksDone() < 3) {
                    k.Advance(1);
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

TEST_F(RomTest, ReadIntoATargetThatCannotBeWrittenSendsNothing)
{
    ASSERT_TRUE(testenv::makeFifo(path("pipe")));
    for (const QString &target : {dir.path(), path("pipe")}) {
        SCOPED_TRACE(target.toStdString());
        ScriptedPort p;
        p.ForceOpen();
        RomTransferExchange read(p, clock, target, TransferDirection::Read);
        read.Start();
        ASSERT_TRUE(read.Finished());
        EXPECT_EQ(read.Outcome().result, LinkResult::FileError);
        EXPECT_EQ(read.Outcome().icon, MsgIcon::Exclamation);
        EXPECT_TRUE(read.Outcome().message.contains(target)) << read.Outcome().message.toStdString();
        EXPECT_EQ(p.sendAttempts, 0);
    }
    EXPECT_TRUE(testenv::isFifo(path("pipe")));
}

TEST_F(RomTest, CompleteWriteSendsTheFileInOneHundredTwentyEightBlocks)
{
    const QString file = path("in.bin");
    const QByteArray image = PatternImage(55);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(image + QByteArray(100, 'x')); // a longer file: only the image goes out
    }
    RomTransferExchange write(port, clock, file, TransferDirection::Write);
    std::vector<int> progress;
    QObject::connect(&write, &LinkExchange::progressChanged, [&](int v) { progress.push_back(v); });
    write.Start();
    ASSERT_TRUE(Drive(write, port, clock, Feed::Notifications));
    EXPECT_TRUE(write.Outcome().ok());
    ASSERT_EQ(port.sent.size(), 128);
    for (const QByteArray &frame : port.sent)
        ASSERT_EQ(frame.size(), 261);
    EXPECT_EQ(port.sent.last().left(4), bytes({0x57, 0x00, 0x7F, 0x00}));
    EXPECT_EQ(box.image, image);
    EXPECT_EQ(progress.front(), 1);
    EXPECT_EQ(progress[1], 257);
    EXPECT_EQ(progress.back(), 32768);
}

TEST_F(RomTest, WriteRefusesAMissingOrShortFileBeforeSendingAnything)
{
    const QString shortFile = path("short.bin");
    {
        QFile f(shortFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(32767, 'a'));
    }
    for (const QString &file : {path("missing.bin"), shortFile}) {
        SCOPED_TRACE(file.toStdString());
        ScriptedPort p;
        p.ForceOpen();
        RomTransferExchange write(p, clock, file, TransferDirection::Write);
        write.Start();
        ASSERT_TRUE(write.Finished());
        EXPECT_EQ(write.Outcome().result, LinkResult::FileError);
        EXPECT_EQ(write.Outcome().icon, MsgIcon::Exclamation);
        EXPECT_TRUE(write.Outcome().message.contains(file)) << write.Outcome().message.toStdString();
        EXPECT_EQ(p.sendAttempts, 0);
        EXPECT_EQ(p.discards, 0);
    }
    EXPECT_FALSE(QFile::exists(path("missing.bin")));
}

TEST_F(RomTest, WriteStoppedByABadAcknowledgementLeavesTheAcknowledgedBlocks)
{
    const QString file = path("in.bin");
    const QByteArray image = PatternImage(56);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(image);
    }
    const QByteArray before = box.image;
    box.badAck = 10;
    RomTransferExchange write(port, clock, file, TransferDirection::Write);
    write.Start();
    Drive(write, port, clock);
    EXPECT_EQ(write.Outcome().message, NotAckMessage);
    EXPECT_EQ(write.BlocksDone(), 9);
    EXPECT_EQ(box.image, image.left(9 * 256) + before.mid(9 * 256));
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
        {11, 0, 0x64, bytes({0x77, 0x01, 0x7F, 0xB4, 0x64, 0x0F})},
        {11, 7, 0x64, bytes({0x77, 0x01, 0x7F, 0xB4, 0x64, 0x0F})}, // index ignored
        {12, 3, 0x50, rt(0x7FA5, bytes({0x50}))},
        {16, 0, 0x21, rt(0x79F6, bytes({0x21}))},
        {2, 255, 1, rt(0x71FF, bytes({1}))},
        {5, 15, 9, rt(0x7B0F, bytes({9}))},
        {10, 0, 9, rt(0x7B10, bytes({9}))},
        {18, 15, 2, rt(0x7E8F, bytes({2}))},
        {20, 0, 2, rt(0x7960, bytes({2}))},
        {22, 31, 2, rt(0x7B7F, bytes({2}))},
        {23, 3, 0x34, bytes({0x77, 0x02, 0x7A, 0x76, 0x12, 0x34, (0x77 + 0x02 + 0x7A + 0x76 + 0x12 + 0x34) & 0xFF})},
        {17, 0, 0, rt(0x6AD1, QByteArray("TTA01"))},
        // never written in real time, or outside the item
        {13, 0, 1, {}}, {14, 0, 1, {}}, {15, 0, 1, {}}, {21, 0, 1, {}}, {0, 0, 1, {}}, {24, 0, 1, {}},
        {5, 16, 1, {}}, {1, 256, 1, {}}, {1, -1, 1, {}}, {22, 32, 1, {}}, {23, 64, 1, {}}, {23, -1, 1, {}},
        {1, 0, 256, {}}, {11, 0, -1, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.item << "/" << c.index << "/" << c.value);
        EXPECT_EQ(RealTimeFrame(c.item, c.index, c.value, tune), c.frame);
    }
    EXPECT_EQ(RealTimeFrame(1, 5, 0x80, tune).size(), 6);
    EXPECT_EQ(RealTimeVersionFrame("AB"), rt(0x6AD1, bytes({'A', 'B', 0, 0, 0})));
    EXPECT_EQ(RealTimeVersionFrame("AB").size(), 10);
    EXPECT_EQ(RealTimeVersionFrame("ABCDEFG"), rt(0x6AD1, QByteArray("ABCDE")));
}

TEST_F(LinkExchangeTest, RealTimeWriteOutcomes)
{
    struct Case
    {
        const char *name;
        QByteArray answer;
        LinkResult result;
        QString message;
    };
    const Case cases[] = {
        {"O", "O", LinkResult::Success, {}},
        {"X", "X", LinkResult::NotAcknowledged, NotAckMessage},
        {"silence", {}, LinkResult::ResponseTimeout, ResponseTimeoutMessage},
        {"two bytes", "OO", LinkResult::ResponseTimeout, ResponseTimeoutMessage},
    };
    for (Feed feed : {Feed::Ticks, Feed::Notifications}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.name);
            ScriptedPort p;
            p.ForceOpen();
            p.peer = [&](const QByteArray &) { return c.answer; };
            ManualLinkClock k;
            const QByteArray frame = bytes({0x77, 0x01, 0x7D, 0x05, 0x80, 0x7A});
            RealTimeWriteExchange w(p, k, frame);
            w.Start();
            ASSERT_TRUE(Drive(w, p, k, feed));
            EXPECT_EQ(p.sent, QList<QByteArray>{frame});
            EXPECT_EQ(w.Outcome().result, c.result);
            EXPECT_EQ(w.Outcome().message, c.message);
            EXPECT_EQ(w.Outcome().icon, c.message.isEmpty() ? MsgIcon::None : MsgIcon::Critical);
        }
    }
}

TEST_F(LinkExchangeTest, RealTimeWriteThatCannotBeSentSaysWhy)
{
    port.failAllSends = true;
    port.sendError = QStringLiteral("Broken pipe");
    RealTimeWriteExchange w(port, clock, bytes({0x77, 0x01, 0x7F, 0xB4, 0x64, 0x0F}));
    w.Start();
    ASSERT_TRUE(w.Finished());
    EXPECT_EQ(w.Outcome().message, "Failure on COM port.  Could not send request.  Specifically: Broken pipe");
    EXPECT_EQ(w.Outcome().icon, MsgIcon::None);
}

TEST(RealTimeWriteQueue, AWriteStartedWhileOneWaitsGoesOutAfterIt)
{
    QStringList log;
    RealTimeWriteQueue *queue = nullptr;
    RealTimeWriteQueue q([&](const QByteArray &frame) {
        log << "begin " + QString::fromLatin1(frame);
        if (frame == "first") {
            // The acquisition loop ticks while the first write waits.
            queue->Submit("second");
            queue->Submit("third");
            EXPECT_TRUE(queue->Busy());
            EXPECT_EQ(queue->Pending(), 2);
        }
        log << "end " + QString::fromLatin1(frame);
    });
    queue = &q;
    q.Submit("first");
    EXPECT_EQ(log, (QStringList{"begin first", "end first", "begin second", "end second", "begin third",
                                "end third"}));
    EXPECT_FALSE(q.Busy());
    EXPECT_EQ(q.Pending(), 0);
}

} // namespace
