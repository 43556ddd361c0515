// The serial port over the simulated box's pseudo-terminal: how it opens,
// shares and loses the device.

#include "platform/SerialPort.h"
#include "support/BoxSim.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

TEST(SerialPort, DevicesAndSettings)
{
    // Blanks name no device, not the first serial port.
    EXPECT_EQ((QStringList{SerialDeviceFor(1, {}), SerialDeviceFor(3, "/dev/ttyUSB0"), SerialDeviceFor(3, "  ")}),
              (QStringList{"/dev/ttyS0", "/dev/ttyUSB0", ""}));
    SerialPort port;
    EXPECT_FALSE(port.SetSettings("fast") || port.SetSettings("115200,Q,8,1"));
    EXPECT_EQ(port.Settings(), "115200,N,8,1");
}

TEST(SerialPort, OpenFailuresNameThePort)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("no-such-device");
    const std::pair<QString, QString> cases[] = {
        {"   ", "Could not open the serial port: its name is blank."},
        {missing, "Could not open " + missing + ": No such file or directory"},
    };
    for (const auto &[name, description] : cases) {
        SerialPort port;
        port.SetPortName(name);
        EXPECT_FALSE(port.Open());
        EXPECT_EQ(port.ErrorDescription(), description);
        EXPECT_FALSE(port.Output("VV"));
        EXPECT_TRUE(port.ErrorDescription().endsWith(" is not open")) << port.ErrorDescription().toStdString();
    }
    EXPECT_TRUE(PortOpenFailureText("/dev/ttyUSB0", PortOpenFailure::Permission, "Permission denied", "uucp")
                    .startsWith("Could not open /dev/ttyUSB0: Permission denied.  "));
}

// Joining a group is advised only for the groups kept for serial ports.
TEST(SerialPort, APermissionRemedyAdvisesOnlySerialGroups)
{
    const struct
    {
        const char *owner, *group, *expected;
    } cases[] = {
        {"root", "dialout", "\"sudo usermod -aG dialout $USER\""},
        {"uucp", "uucp", "\"sudo usermod -aG uucp $USER\""},
        {"", "", "\"sudo usermod -aG dialout $USER\""},
        {"root", "root", "belongs to user root and group root: a udev rule or the device's owner"},
        {"ann", "tty", "belongs to user ann and group tty: a udev rule"},
    };
    for (const auto &c : cases) {
        const QString remedy = PermissionRemedy(c.owner, c.group);
        EXPECT_TRUE(remedy.contains(c.expected)) << remedy.toStdString();
        EXPECT_EQ(remedy.contains("usermod"), QByteArray(c.expected).contains("usermod")) << remedy.toStdString();
    }
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
        EXPECT_TRUE(second.ErrorDescription().startsWith("Could not open " + second.PortName())
                    && second.ErrorDescription().contains("already in use"))
            << second.ErrorDescription().toStdString();
        EXPECT_EQ(AskBox(first, "VV", 3), QByteArray("\x02\x05\x07", 3)) << "the first keeps the box to itself";
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
    // Noticed from the event loop, with nothing sent.
    QDeadlineTimer deadline(60000);
    while (lostSignals == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_EQ(lostSignals, 1);
    EXPECT_TRUE(port.IsLost() && !port.IsOpen());
    EXPECT_EQ(port.LostDescription(), device + " hung up (unplugged, switched off or gone)");
    EXPECT_FALSE(port.Output("VV"));
    EXPECT_EQ(lostSignals, 1);

    // The same port object opens again on a new box.
    box = std::make_unique<BoxSim>();
    ASSERT_TRUE(box->started());
    port.SetPortName(box->device());
    ASSERT_TRUE(port.Open()) << port.ErrorDescription().toStdString();
    EXPECT_FALSE(port.IsLost());
    EXPECT_EQ(AskBox(port, "VV", 3), QByteArray("\x02\x05\x07", 3));
}
