// The connection settings say what kind of port is chosen and, for a USB
// adapter, its latency timer. Every kind is a real pseudo-terminal that a
// sysfs folder of the test's own describes as that kind.

#include "PseudoTerminal.h"
#include "link/ui/dlgSettings.h"
#include "platform/FakeSysfs.h"
#include "support/ScriptedMessageBoxService.h"

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SettingsDialogTest, DescribesTheChosenPort)
{
    PseudoTerminal pty;
    QString error;
    ASSERT_TRUE(pty.open(error)) << error.toStdString();
    const QString number = DeviceNumber(pty.devicePath());
    const struct
    {
        FakePort port;
        const char *says;
    } cases[] = {
        {{"ttyUSB0", "usb-serial", "ftdi_sio", 16, true},
         "USB-serial adapter (FTDI, driver ftdi_sio). Latency timer: 16 ms. Vantrelle sets it to 1 ms while it has "
         "the port open and puts 16 ms back afterwards."},
        {{"ttyUSB0", "usb-serial", "ftdi_sio", 1, false}, "USB-serial adapter (FTDI, driver ftdi_sio). Latency timer: 1 ms."},
        {{"ttyUSB0", "usb-serial", "ftdi_sio", 16, false}, "Latency timer: 16 ms. Vantrelle may not write "},
        {{"ttyUSB0", "usb-serial", "ftdi_sio", 16, false}, "The udev rule in Vantrelle's README (Hardware on Linux)"},
        {{"ttyUSB0", "usb-serial", "cp210x"},
         "USB-serial adapter (Silicon Labs CP210x, driver cp210x). It has no latency timer the system can set."},
        {{"ttyACM0", "usb", "cdc_acm"}, "USB modem-class device (driver cdc_acm)."},
        {{"ttyS0", "platform", "serial8250"}, "On-board serial port (driver serial8250)."},
        {{}, "Pseudo-terminal: a program standing in for the box"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.says);
        QTemporaryDir sysfs;
        if (!c.port.tty.isEmpty())
            AddFakePort(sysfs.path(), number, c.port);
        ScriptedMessageBoxService messages;
        dlgSettings dialog(messages, {{pty.devicePath(), "", ""}});
        dialog.SetSysfsRoot(sysfs.path());
        dialog.SetPortName(pty.devicePath());
        const QString text = dialog.findChild<QLabel *>("lblPortKind")->text();
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
    }

    // An adapter chosen earlier and unplugged since.
    ScriptedMessageBoxService messages;
    dlgSettings dialog(messages, {});
    dialog.SetPortName("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_GONE-if00-port0");
    EXPECT_TRUE(dialog.findChild<QLabel *>("lblPortKind")->text().startsWith("No such device"));
}
