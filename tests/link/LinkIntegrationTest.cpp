// The link over a real pseudo-terminal against the simulated box: the real
// serial port and the real event loop, with replies that trickle in and a box
// that dies. (vantrelle-cli's link tests run the whole handshake, transfers
// and real-time writes the same way.)

#include "support/ExchangeTestSupport.h"
#include "link/BulkTransfer.h"
#include "link/ExchangeRunner.h"
#include "link/LinkMessages.h"
#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "platform/SerialPort.h"
#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

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

} // namespace

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
    EXPECT_EQ(ItemBytes(tune, TuneItem::LOFM), LoadStockImage(105).image.mid(0x7100, 256));
}

TEST(LinkIntegration, BoxVanishingMidTransferEndsAtOnceWithAClearMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testenv::writeFile(dir.filePath("in.bin"), PatternImage(5)));
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
        RealTimeWriteExchange again(port, LinkClock::Steady(), RealTimeFrame(TuneItem::RevLimiter, 0, 1, Tune()));
        const LinkOutcome later = run(again, port);
        EXPECT_EQ(later.result, LinkResult::SendFailed);
        EXPECT_EQ(later.message, LinkMessages::SendFailure(port.LostDescription()));
    }
}
