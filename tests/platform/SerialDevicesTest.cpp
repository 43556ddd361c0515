// USB serial adapters go by their stable names: the links below a by-id
// folder that lead to the devices the system lists.

#include "platform/SerialDevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SerialDevicesTest, AdaptersByStableNameOthersBySystemLocation)
{
    QTemporaryDir root;
    const QDir dev(root.path());
    ASSERT_TRUE(dev.mkpath("serial/by-id"));
    for (const char *node : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0"}) {
        QFile f(dev.filePath(node));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString byId = dev.filePath("serial/by-id");
    // Relative links, as udev makes them; one leads to an unplugged adapter.
    const struct { const char *name, *target; } links[] = {
        {"usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "../../ttyUSB1"},
        {"usb-Prolific_PL2303-if00-port0", "../../ttyUSB0"},
        {"usb-Gone_Adapter-if00-port0", "../../ttyUSB9"},
    };
    for (const auto &l : links)
        ASSERT_TRUE(QFile::link(l.target, byId + "/" + l.name));

    const QList<SerialPortFacts> ports = {
        {dev.filePath("ttyUSB1"), "FT232R USB UART", "FTDI"},
        {dev.filePath("ttyS0"), "", ""},
        {dev.filePath("ttyUSB0"), "USB-Serial Controller", "Prolific Technology Inc."},
        {dev.filePath("ttyACM0"), "Arduino Uno", "Arduino"},
    };
    const QList<SerialDevice> devices = StableSerialDevices(ports, byId);

    // Each entry: the path the port goes by, then its label's description.
    const std::pair<QString, QString> expected[] = {
        {byId + "/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", " (FT232R USB UART, FTDI)"},
        {byId + "/usb-Prolific_PL2303-if00-port0", " (USB-Serial Controller, Prolific Technology Inc.)"},
        {dev.filePath("ttyACM0"), " (Arduino Uno, Arduino)"},
        {dev.filePath("ttyS0"), ""},
    };
    ASSERT_EQ(devices.size(), std::size(expected));
    for (qsizetype i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(devices[i].path, expected[i].first) << i;
        EXPECT_EQ(devices[i].label(), expected[i].first + expected[i].second) << i;
    }
}
