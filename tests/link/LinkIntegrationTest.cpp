// The link over a real pseudo-terminal against the simulated box: the real
// serial port, the real event loop, the box's own record of every frame.

#include "link/BulkTransfer.h"
#include "link/ExchangeRunner.h"
#include "link/Frames.h"
#include "link/Handshake.h"
#include "link/LinkMessages.h"
#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "platform/SerialPort.h"
#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QByteArray stockImage()
{
    return LoadStockImage(105).image;
}

QByteArray patternImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(32768, '\0');
    for (char &c : image)
        c = static_cast<char>(random.bounded(256));
    return image;
}

// Runs an exchange in the event loop; a watchdog far beyond anything a loaded
// machine needs cancels it and fails the test instead of hanging.
LinkOutcome run(LinkExchange &exchange, LinkPort &port)
{
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        exchange.Cancel();
    });
    watchdog.start(60000);
    const LinkOutcome outcome = RunExchange(exchange, port);
    EXPECT_FALSE(watchdogFired) << "the exchange did not end by itself";
    return outcome;
}

LinkOutcome connect(SerialPort &port, BoxSim &box)
{
    port.SetPortName(box.device());
    HandshakeExchange handshake(port, LinkClock::Steady(), HandshakeTimings::Fast());
    return run(handshake, port);
}

} // namespace

TEST(LinkIntegration, HandshakeReadWriteAndRealTimeReachTheBox)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    SerialPort port;
    ASSERT_TRUE(connect(port, box).ok());
    Tune tune;
    {
        BulkTransferExchange read(port, LinkClock::Steady(), tune, TransferDirection::Read);
        ASSERT_TRUE(run(read, port).ok());
    }
    Tune expected;
    TuneFromImage(stockImage(), expected);
    EXPECT_TRUE(tune.sameContents(expected));

    TuneFromImage(patternImage(3), tune);
    tune.general().SetVQ(2, 0xBEEF);
    {
        BulkTransferExchange write(port, LinkClock::Steady(), tune, TransferDirection::Write);
        ASSERT_TRUE(run(write, port).ok());
    }
    for (const QByteArray &frame : {RealTimeFrame(1, 5, 0x80, tune), RealTimeFrame(23, 2, 0, tune)}) {
        RealTimeWriteExchange write(port, LinkClock::Steady(), frame);
        EXPECT_TRUE(run(write, port).ok());
    }
    const QStringList log = box.waitForLogLines(47);
    ASSERT_EQ(log.size(), 47);
    EXPECT_EQ(log[0], "56 56");
    EXPECT_EQ(log[1], "52 00 7D 00 CF");
    EXPECT_EQ(log[23].split(' ').size(), 261);
    EXPECT_EQ(log[45], "77 01 7D 05 80 7A");
    EXPECT_EQ(log[46], "77 02 7A 74 BE EF 14");
    ASSERT_EQ(box.stop(), 0);
    tune.map(MapKey::HOFM).SetMapValue(5, 0x80);
    EXPECT_EQ(box.savedImage(), PatchImage(stockImage(), tune));
}

TEST(LinkIntegration, RomReadAndWriteMoveTheWholeMemory)
{
    QTemporaryDir dir;
    BoxSim box;
    ASSERT_TRUE(box.started());
    SerialPort port;
    ASSERT_TRUE(connect(port, box).ok());
    const QString out = dir.filePath("out.bin");
    RomTransferExchange read(port, LinkClock::Steady(), out, TransferDirection::Read);
    ASSERT_TRUE(run(read, port).ok());
    EXPECT_EQ(testenv::readFile(out), stockImage());

    const QString in = dir.filePath("in.bin");
    ASSERT_TRUE(testenv::writeFile(in, patternImage(11)));
    RomTransferExchange write(port, LinkClock::Steady(), in, TransferDirection::Write);
    ASSERT_TRUE(run(write, port).ok());
    ASSERT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), patternImage(11));
}

TEST(LinkIntegration, BoxFaultsGiveTheirMessages)
{
    enum What { Handshake, Read, Write };
    const struct
    {
        QStringList options;
        What what;
        QString message;
    } cases[] = {
        {{"--refuse-version"}, Handshake, LinkMessages::BadVersion},
        {{"--extra-byte"}, Handshake, LinkMessages::BadVersion}, // four bytes are no version answer
        {{"--never-answer"}, Handshake, LinkMessages::NoAnswer},
        {{"--bad-read-checksum", "3"}, Read, LinkMessages::ChecksumError},
        {{"--bad-ack", "3"}, Write, LinkMessages::NotAcknowledged},
        {{"--silent-after", "4"}, Read, LinkMessages::DataTimeout},
        {{"--silent-after", "4"}, Write, LinkMessages::ResponseTimeout},
        {{"--extra-byte"}, Read, LinkMessages::DataTimeout},
        {{"--extra-byte"}, Write, LinkMessages::ResponseTimeout},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString() + " " + std::to_string(c.what));
        BoxSim box(c.options);
        ASSERT_TRUE(box.started());
        SerialPort port;
        LinkOutcome outcome;
        if (c.what == Handshake) {
            outcome = connect(port, box);
            EXPECT_FALSE(port.IsOpen());
        } else {
            port.SetPortName(box.device());
            ASSERT_TRUE(port.Open()) << port.ErrorDescription().toStdString();
            ASSERT_TRUE(port.Output(Frames::VersionRequest())); // the box's first frame
            box.waitForLogLines(1);
            Tune tune;
            BulkTransferExchange x(port, LinkClock::Steady(), tune,
                                   c.what == Read ? TransferDirection::Read : TransferDirection::Write);
            outcome = run(x, port);
            EXPECT_TRUE(port.IsOpen()) << "a failed transfer leaves the connection up";
        }
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.icon, MsgIcon::Critical);
    }
}

TEST(LinkIntegration, TricklingRepliesStillComplete)
{
    // Reply bytes one at a time, 2 ms apart: a 257-byte reply takes half a
    // second, far longer than the idle limit, yet never idles that long.
    BoxSim box({"--trickle", "2"});
    ASSERT_TRUE(box.started());
    SerialPort port;
    port.SetPortName(box.device());
    ASSERT_TRUE(port.Open());
    Tune tune;
    BulkTransferExchange x(port, LinkClock::Steady(), tune, TransferDirection::Read);
    QObject::connect(&x, &LinkExchange::progressChanged, [&] {
        if (x.ItemsDone() == 2)
            x.Cancel();
    });
    const LinkOutcome outcome = run(x, port);
    EXPECT_EQ(outcome.result, LinkResult::Cancelled) << outcome.message.toStdString();
    EXPECT_EQ(ItemBytes(tune, 2), stockImage().mid(0x7100, 256));
}

TEST(LinkIntegration, BoxVanishingMidTransferEndsAtOnceWithAClearMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testenv::writeFile(dir.filePath("in.bin"), patternImage(5)));
    for (TransferDirection direction : {TransferDirection::Read, TransferDirection::Write}) {
        SCOPED_TRACE(static_cast<int>(direction));
        BoxSim box({"--trickle", "1"});
        ASSERT_TRUE(box.started());
        SerialPort port;
        port.SetPortName(box.device());
        ASSERT_TRUE(port.Open());
        const QString file = dir.filePath(direction == TransferDirection::Read ? "out.bin" : "in.bin");
        RomTransferExchange x(port, LinkClock::Steady(), file, direction);
        // The box dies once three blocks have crossed: driven by the
        // transfer's own progress, so it can never finish first.
        QObject::connect(&x, &LinkExchange::progressChanged, [&] {
            if (x.BlocksDone() == 3 && box.isRunning())
                box.kill();
        });
        const LinkOutcome outcome = run(x, port);
        EXPECT_TRUE(outcome.result == LinkResult::SendFailed || outcome.result == LinkResult::PortLost)
            << outcome.message.toStdString();
        EXPECT_FALSE(outcome.message.isEmpty());
        EXPECT_TRUE(port.IsLost());
        EXPECT_EQ(x.BlocksDone(), 3);
        RealTimeWriteExchange again(port, LinkClock::Steady(), RealTimeFrame(11, 0, 1, Tune()));
        const LinkOutcome later = run(again, port);
        EXPECT_EQ(later.result, LinkResult::SendFailed);
        EXPECT_EQ(later.message, LinkMessages::SendFailure(port.LostDescription()));
    }
}
