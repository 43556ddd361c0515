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

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// No test may hang: an exchange still running after this long is cancelled
// and the test fails. Far beyond anything a loaded machine needs.
constexpr int WatchdogMs = 60000;

QString hex(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

QByteArray stockImage()
{
    const StockImageResult stock = LoadStockImage(105);
    EXPECT_EQ(stock.status, StockImageResult::Ok) << stock.message().toStdString();
    return stock.image;
}

QByteArray patternImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(32768, '\0');
    for (char &c : image)
        c = static_cast<char>(random.bounded(256));
    return image;
}

// Runs an exchange in the event loop; fails the test instead of hanging.
LinkOutcome run(LinkExchange &exchange, LinkPort &port)
{
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        exchange.Cancel();
    });
    watchdog.start(WatchdogMs);
    const LinkOutcome outcome = RunExchange(exchange, port);
    EXPECT_FALSE(watchdogFired) << "the exchange did not end by itself";
    return outcome;
}

class LinkIntegrationTest : public ::testing::Test
{
protected:
    // Opens the box's device and runs the (shortened) handshake.
    LinkOutcome connect(BoxSim &box)
    {
        port.SetPortName(box.device());
        HandshakeExchange handshake(port, LinkClock::Steady(), HandshakeTimings::Fast());
        const LinkOutcome outcome = run(handshake, port);
        if (outcome.ok())
            version = HardwareVersionText(handshake.MajorVer(), handshake.MinorVer(), handshake.IDVer());
        return outcome;
    }
    // Opens the device without a handshake.
    bool open(BoxSim &box)
    {
        port.SetPortName(box.device());
        return port.Open();
    }
    LinkOutcome transfer(Tune &tune, TransferDirection direction)
    {
        BulkTransferExchange x(port, LinkClock::Steady(), tune, direction);
        return run(x, port);
    }
    LinkOutcome rom(const QString &file, TransferDirection direction)
    {
        RomTransferExchange x(port, LinkClock::Steady(), file, direction);
        return run(x, port);
    }
    LinkOutcome realTime(const QByteArray &frame)
    {
        RealTimeWriteExchange x(port, LinkClock::Steady(), frame);
        return run(x, port);
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    SerialPort port;
    QString version;
    QTemporaryDir dir;
};

TEST_F(LinkIntegrationTest, HandshakeThenFullReadGivesTheBoxTune)
{
    BoxSim box({"--version-bytes", "1,7,3"});
    ASSERT_TRUE(box.started());
    ASSERT_TRUE(connect(box).ok());
    EXPECT_EQ(version, "Hardware Version 1.07 (3)   ");
    Tune tune;
    const LinkOutcome outcome = transfer(tune, TransferDirection::Read);
    ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();

    Tune expected;
    TuneFromImage(stockImage(), expected);
    EXPECT_TRUE(tune.sameContents(expected));
    const QStringList log = box.waitForLogLines(23);
    ASSERT_EQ(log.size(), 23);
    EXPECT_EQ(log[0], "56 56");
    EXPECT_EQ(log[1], "52 00 7D 00 CF");
    int line = 1;
    for (const TuneItem &item : TuneItems()) {
        if (IsTransferredItem(item.number)) {
            EXPECT_EQ(log[line++], hex(Frames::ReadRequest(item.address, item.size)));
        }
    }
}

TEST_F(LinkIntegrationTest, FullWriteLeavesTheTuneInTheBox)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    ASSERT_TRUE(connect(box).ok());
    Tune tune;
    TuneFromImage(patternImage(3), tune);
    tune.general().SetRevLimiter(0x64);
    const LinkOutcome outcome = transfer(tune, TransferDirection::Write);
    ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();
    const QStringList log = box.waitForLogLines(23);
    ASSERT_EQ(log.size(), 23);
    EXPECT_TRUE(log.contains("57 01 7F B4 64 EF"));
    EXPECT_EQ(log[1].split(' ').size(), 261);
    ASSERT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), PatchImage(stockImage(), tune));
}

TEST_F(LinkIntegrationTest, RomReadAndWriteMoveTheWholeMemory)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    ASSERT_TRUE(connect(box).ok());

    const QString out = path("out.bin");
    LinkOutcome outcome = rom(out, TransferDirection::Read);
    ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();
    EXPECT_EQ(testenv::readFile(out), stockImage());

    const QString in = path("in.bin");
    const QByteArray image = patternImage(11);
    ASSERT_TRUE(testenv::writeFile(in, image));
    outcome = rom(in, TransferDirection::Write);
    ASSERT_TRUE(outcome.ok()) << outcome.message.toStdString();

    const QStringList log = box.waitForLogLines(1 + 128 + 128);
    ASSERT_EQ(log.size(), 257);
    EXPECT_EQ(log[1], "52 00 00 00 52");
    EXPECT_EQ(log[128], "52 00 7F 00 D1");
    EXPECT_EQ(log[129].split(' ').size(), 261);
    EXPECT_EQ(log[129].left(12), "57 00 00 00 ");
    ASSERT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST_F(LinkIntegrationTest, RealTimeWritesReachTheBoxFrameForFrame)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    ASSERT_TRUE(connect(box).ok());
    Tune tune;
    tune.general().SetVQ(2, 0xBEEF);
    const QList<QByteArray> frames = {
        RealTimeFrame(1, 5, 0x80, tune),
        RealTimeFrame(11, 0, 0x64, tune),
        RealTimeFrame(23, 2, 0, tune),
        RealTimeVersionFrame("XY"),
    };
    for (const QByteArray &frame : frames) {
        const LinkOutcome outcome = realTime(frame);
        EXPECT_TRUE(outcome.ok()) << outcome.message.toStdString();
    }
    const QStringList log = box.waitForLogLines(5);
    ASSERT_EQ(log.size(), 5);
    EXPECT_EQ(log[1], "77 01 7D 05 80 7A");
    EXPECT_EQ(log[2], "77 01 7F B4 64 0F");
    EXPECT_EQ(log[3], hex(Frames::RealTimeRequest(0x7A74, QByteArray("\xBE\xEF", 2))));
    EXPECT_EQ(log[4].split(' ').size(), 10);
    ASSERT_EQ(box.stop(), 0);
    const QByteArray saved = box.savedImage();
    EXPECT_EQ(static_cast<unsigned char>(saved[0x7D05]), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(saved[0x7FB4]), 0x64);
    EXPECT_EQ(saved.mid(0x7A74, 2), QByteArray("\xBE\xEF", 2));
    EXPECT_EQ(saved.mid(0x6AD1, 5), QByteArray("XY\0\0\0", 5));
}

TEST_F(LinkIntegrationTest, HandshakeFaultsGiveTheirMessages)
{
    struct Case
    {
        QStringList options;
        QString message;
    };
    const Case cases[] = {
        {{"--refuse-version"}, LinkMessages::BadVersion},
        {{"--extra-byte"}, LinkMessages::BadVersion}, // four bytes are no version answer
        {{"--never-answer"}, LinkMessages::NoAnswer},
        {{"--silent-after", "0"}, LinkMessages::NoAnswer},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        BoxSim box(c.options);
        ASSERT_TRUE(box.started());
        SerialPort p;
        p.SetPortName(box.device());
        HandshakeExchange h(p, LinkClock::Steady(), HandshakeTimings::Fast());
        const LinkOutcome outcome = run(h, p);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.icon, MsgIcon::Critical);
        EXPECT_FALSE(p.IsOpen());
    }
}

TEST_F(LinkIntegrationTest, TransferFaultsGiveTheirMessages)
{
    struct Case
    {
        QStringList options;
        TransferDirection direction;
        QString message;
    };
    const Case cases[] = {
        {{"--bad-read-checksum", "3"}, TransferDirection::Read, LinkMessages::ChecksumError},
        {{"--bad-ack", "3"}, TransferDirection::Write, LinkMessages::NotAcknowledged},
        {{"--silent-after", "4"}, TransferDirection::Read, LinkMessages::DataTimeout},
        {{"--silent-after", "4"}, TransferDirection::Write, LinkMessages::ResponseTimeout},
        {{"--never-answer"}, TransferDirection::Read, LinkMessages::DataTimeout},
        {{"--extra-byte"}, TransferDirection::Read, LinkMessages::DataTimeout},
        {{"--extra-byte"}, TransferDirection::Write, LinkMessages::ResponseTimeout},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        BoxSim box(c.options);
        ASSERT_TRUE(box.started());
        SerialPort p;
        p.SetPortName(box.device());
        ASSERT_TRUE(p.Open()) << p.ErrorDescription().toStdString();
        // The version request counts as the box's first frame.
        ASSERT_TRUE(p.Output(Frames::VersionRequest()));
        box.waitForLogLines(1);
        Tune tune;
        BulkTransferExchange x(p, LinkClock::Steady(), tune, c.direction);
        const LinkOutcome outcome = run(x, p);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.icon, MsgIcon::Critical);
        EXPECT_TRUE(p.IsOpen()) << "a failed transfer leaves the connection up";
    }
}

TEST_F(LinkIntegrationTest, TricklingRepliesStillComplete)
{
    // Reply bytes one at a time, 2 ms apart: a 257-byte reply takes half a
    // second, far longer than the idle limit, yet never idles that long.
    BoxSim box({"--trickle", "2"});
    ASSERT_TRUE(box.started());
    ASSERT_TRUE(open(box));
    EXPECT_TRUE(realTime(RealTimeFrame(11, 0, 0x50, Tune())).ok());
    Tune tune;
    BulkTransferExchange x(port, LinkClock::Steady(), tune, TransferDirection::Read);
    QObject::connect(&x, &LinkExchange::progressChanged, [&] {
        if (x.ItemsDone() == 2)
            x.Cancel();
    });
    const LinkOutcome outcome = run(x, port);
    EXPECT_EQ(outcome.result, LinkResult::Cancelled) << outcome.message.toStdString();
    EXPECT_EQ(x.ItemsDone(), 2);
    EXPECT_EQ(ItemBytes(tune, 2), stockImage().mid(0x7100, 256));
}

TEST_F(LinkIntegrationTest, BoxVanishingMidTransferEndsWithAClearMessage)
{
    for (TransferDirection direction : {TransferDirection::Read, TransferDirection::Write}) {
        SCOPED_TRACE(static_cast<int>(direction));
        BoxSim box({"--trickle", "1"});
        ASSERT_TRUE(box.started());
        SerialPort p;
        p.SetPortName(box.device());
        ASSERT_TRUE(p.Open());
        const QString file = path(direction == TransferDirection::Read ? "vanish-read.bin" : "vanish-write.bin");
        if (direction == TransferDirection::Write) {
            ASSERT_TRUE(testenv::writeFile(file, patternImage(5)));
        }
        RomTransferExchange x(p, LinkClock::Steady(), file, direction);
        // The box dies once three blocks have crossed, just before the fourth
        // request goes out: driven by the transfer's own progress, so the
        // transfer can never finish first however the machine is loaded.
        QObject::connect(&x, &LinkExchange::progressChanged, [&] {
            if (x.BlocksDone() == 3 && box.isRunning())
                box.kill();
        });
        const LinkOutcome outcome = run(x, p);
        EXPECT_FALSE(outcome.ok());
        EXPECT_NE(outcome.result, LinkResult::Cancelled);
        EXPECT_FALSE(outcome.message.isEmpty());
        // The port notices the dead device: the transfer ends at once, not
        // at a time-out, and the port is closed.
        EXPECT_TRUE(outcome.result == LinkResult::SendFailed || outcome.result == LinkResult::PortLost)
            << outcome.message.toStdString();
        EXPECT_TRUE(p.IsLost());
        EXPECT_EQ(x.BlocksDone(), 3);
        // A later exchange on the dead port fails cleanly too.
        RealTimeWriteExchange again(p, LinkClock::Steady(), RealTimeFrame(11, 0, 1, Tune()));
        EXPECT_FALSE(run(again, p).ok());
    }
}

TEST(SerialPort, ComPortNumbersMapToDevicesUnlessANameIsGiven)
{
    EXPECT_EQ(SerialDeviceFor(1, {}), "/dev/ttyS0");
    EXPECT_EQ(SerialDeviceFor(8, {}), "/dev/ttyS7");
    EXPECT_EQ(SerialDeviceFor(3, "/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(SerialDeviceFor(3, "  "), "") << "blanks name no device, not the first serial port";
    SerialPort port;
    port.SetCommPort(4);
    EXPECT_EQ(port.DevicePath(), "/dev/ttyS3");
    EXPECT_TRUE(port.SetSettings("115200,N,8,1"));
    EXPECT_FALSE(port.SetSettings("fast"));
    EXPECT_FALSE(port.SetSettings("115200,Q,8,1"));
    EXPECT_EQ(port.Settings(), "115200,N,8,1");
}

TEST(SerialPort, OpenFailuresNameThePort)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("no-such-device");
    const struct
    {
        QString name;
        QString description;
    } cases[] = {
        {"   ", "Could not open the serial port: its name is blank."},
        {missing, "Could not open " + missing + ": No such file or directory"},
    };
    for (const auto &c : cases) {
        SerialPort port;
        port.SetPortName(c.name);
        EXPECT_FALSE(port.Open());
        EXPECT_EQ(port.ErrorDescription(), c.description);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.Output("VV"));
        EXPECT_TRUE(port.ErrorDescription().endsWith(" is not open")) << port.ErrorDescription().toStdString();
    }
    // A permission failure says how to get the permission.
    EXPECT_EQ(PortOpenFailureText("/dev/ttyUSB0", PortOpenFailure::Permission, "Permission denied", "uucp"),
              "Could not open /dev/ttyUSB0: Permission denied.  Your account must be a member of the group that "
              "owns the device (uucp): run \"sudo usermod -aG uucp $USER\", then log out and in again.");
    EXPECT_TRUE(PortOpenFailureText("/dev/ttyUSB0", PortOpenFailure::Permission, "Permission denied")
                    .contains("-aG dialout "));
}

TEST(SerialPort, ALinkAndItsDeviceAreOneDevice)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("vantrelle");
    BoxSim box({"--link", link});
    ASSERT_TRUE(box.started());
    ASSERT_TRUE(QFileInfo(link).isSymLink());
    for (bool linkFirst : {true, false}) {
        SCOPED_TRACE(linkFirst ? "link first" : "device first");
        SerialPort first;
        SerialPort second;
        first.SetPortName(linkFirst ? link : box.device());
        second.SetPortName(linkFirst ? box.device() : link);
        ASSERT_TRUE(first.Open()) << first.ErrorDescription().toStdString();
        EXPECT_FALSE(second.Open());
        EXPECT_TRUE(second.ErrorDescription().startsWith("Could not open " + second.PortName()))
            << second.ErrorDescription().toStdString();
        EXPECT_TRUE(second.ErrorDescription().contains("already in use")) << second.ErrorDescription().toStdString();
        // The first keeps the box to itself.
        RealTimeWriteExchange write(first, LinkClock::Steady(), RealTimeFrame(11, 0, 0x64, Tune()));
        EXPECT_TRUE(run(write, first).ok());
        first.Close();
        EXPECT_TRUE(second.Open()) << second.ErrorDescription().toStdString();
    }
}

TEST(SerialPort, ADeviceThatDiesClosesThePortAndSaysSoOnce)
{
    auto box = std::make_unique<BoxSim>();
    ASSERT_TRUE(box->started());
    const QString device = box->device();
    SerialPort port;
    port.SetPortName(device);
    ASSERT_TRUE(port.Open());
    int lostSignals = 0;
    QObject::connect(&port, &LinkPort::lost, [&] { ++lostSignals; });
    box->kill();
    // Noticed from the event loop, with no request going out.
    QElapsedTimer deadline;
    deadline.start();
    while (lostSignals == 0 && deadline.elapsed() < WatchdogMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_EQ(lostSignals, 1);
    EXPECT_TRUE(port.IsLost());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LostDescription(), device + " hung up (unplugged, switched off or gone)");
    RealTimeWriteExchange write(port, LinkClock::Steady(), RealTimeFrame(11, 0, 1, Tune()));
    const LinkOutcome outcome = run(write, port);
    EXPECT_EQ(outcome.result, LinkResult::SendFailed);
    EXPECT_EQ(outcome.message, LinkMessages::SendFailure(port.LostDescription()));
    EXPECT_EQ(lostSignals, 1);

    // The same port object opens again on a new box.
    box = std::make_unique<BoxSim>();
    ASSERT_TRUE(box->started());
    port.SetPortName(box->device());
    ASSERT_TRUE(port.Open()) << port.ErrorDescription().toStdString();
    EXPECT_FALSE(port.IsLost());
    RealTimeWriteExchange again(port, LinkClock::Steady(), RealTimeFrame(11, 0, 1, Tune()));
    EXPECT_TRUE(run(again, port).ok());
}

} // namespace
