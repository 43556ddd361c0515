// Low latency on opening a USB adapter, and only this program's changes put
// back on closing. The adapter is the simulated box's pseudo-terminal, which
// a sysfs folder of the test's own calls an FTDI adapter: the pty answers the
// ioctls with ENOTTY, so the latency timer file does the work.

#include "platform/FakeSysfs.h"
#include "platform/SerialPort.h"
#include "support/BoxSim.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SerialLowLatency, TimerSetTo1WhileOpenAndOnlyOurChangePutBack)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    const struct
    {
        int timer;
        bool writable;
        int whileOpen;
        bool written; // by Open (to 1) and Close (back)
    } cases[] = {
        {16, true, 1, true},
        {1, true, 1, false},    // the user's 1 ms: left alone, nothing to restore
        {16, false, 16, false}, // not ours to write: reported and left alone
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.timer << (c.writable ? " writable" : " read-only"));
        QTemporaryDir sysfs;
        const QString timer =
            AddFakePort(sysfs.path(), DeviceNumber(box.device()), {"ttyUSB0", "usb-serial", "ftdi_sio", c.timer, c.writable});
        const QDateTime stamp = QFileInfo(timer).lastModified();
        SerialPort port;
        port.SetSysfsRoot(sysfs.path());
        port.SetPortName(box.device());
        ASSERT_TRUE(port.Open()) << port.ErrorDescription().toStdString();
        const LowLatencyState state = port.LowLatency();
        EXPECT_EQ(port.ErrorDescription(), "");
        EXPECT_EQ(state.hardware.kind, SerialKind::UsbSerialAdapter);
        EXPECT_EQ(std::tuple(ReadTimer(timer), state.timerNow, state.timerLowered, state.flagRaised),
                  std::tuple(c.whileOpen, c.whileOpen, c.written, false));
        EXPECT_EQ(state.timerRefusal.toStdString(),
                  c.writable ? "" : sysfs.path().toStdString() + "/bus/usb-serial/devices/ttyUSB0/latency_timer is read-only");
        EXPECT_EQ(AskBox(port, "VV", 3), QByteArray("\x02\x05\x07", 3));
        port.Close();
        EXPECT_EQ(ReadTimer(timer), c.timer);
        EXPECT_EQ(QFileInfo(timer).lastModified() != stamp, c.written);
    }
}

TEST(SerialLowLatency, APseudoTerminalOpensAsItIs)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    SerialPort port;
    port.SetPortName(box.device());
    ASSERT_TRUE(port.Open()) << port.ErrorDescription().toStdString();
    const LowLatencyState &state = port.LowLatency();
    EXPECT_EQ(std::tuple(port.ErrorDescription(), state.hardware.kind, state.flagRaised, state.timerLowered,
                         state.timerRefusal),
              std::tuple(QString(), SerialKind::PseudoTerminal, false, false, QString()));
    EXPECT_EQ(AskBox(port, "VV", 3), QByteArray("\x02\x05\x07", 3));
}
