#pragma once

#include <QString>

// What sits behind a serial device, as the kernel describes it below /sys:
// the link's speed depends on it. A USB-serial adapter of the FTDI kind holds
// the box's reply bytes until 62 are waiting or its latency timer runs out
// (16 ms unless told otherwise), so every request-reply turn can lose up to
// that long; an on-board port or a pseudo-terminal passes bytes on at once.
enum class SerialKind {
    Missing,          // no such device now (an adapter unplugged)
    UsbSerialAdapter, // ttyUSB*: ftdi_sio, cp210x, pl2303, ch341, ...
    UsbModem,         // ttyACM*: the USB modem class (cdc_acm)
    OnBoard,          // ttyS*: a UART on the board or a plug-in card
    PseudoTerminal,   // /dev/pts/*: a program such as vantrelle-boxsim
    Other             // a character device the kernel says nothing more of
};

inline constexpr const char *SystemSysfsRoot = "/sys";

struct SerialHardware
{
    SerialKind kind = SerialKind::Missing;
    QString ttyName{}; // the kernel's name, e.g. ttyUSB0
    QString driver{};  // e.g. ftdi_sio, cdc_acm, serial8250
    // The adapter's latency timer in sysfs; empty when it has none.
    QString latencyTimerPath{};
    int latencyTimerMs = -1; // -1: no timer, or it could not be read
    // Whether this program may write the timer (sysfs refuses even root a
    // file without write bits, so those count as well as the owner's).
    bool latencyTimerWritable = false;
};

// Looks device up (any name of it: a by-id link, a udev alias, /dev/ttyUSB0)
// through its device number in the sysfs tree below sysfsRoot.
SerialHardware ProbeSerialHardware(const QString &device, const QString &sysfsRoot = SystemSysfsRoot);

// The chip family a USB-serial driver serves ("FTDI" for ftdi_sio); empty
// for a driver this program does not know.
QString UsbSerialChip(const QString &driver);

// True when the driver itself lowers the latency timer to 1 ms on a low-latency
// request that any user who may open the port can make (ftdi_sio).
bool DriverTakesLowLatencyRequest(const QString &driver);

// What asking for low latency found and did on one open port.
struct LowLatencyState
{
    SerialHardware hardware{};
    bool flagRaised = false;  // this program set ASYNC_LOW_LATENCY
    int timerBefore = -1;     // the timer as found at open, ms
    int timerNow = -1;        // the timer after the request, ms
    bool timerLowered = false; // this program wrote 1 ms over timerBefore
    QString timerRefusal{};   // why the timer could not be written
};

// Low latency on an open USB serial device: the driver's low-latency flag
// (TIOCSSERIAL), and where the timer is still above 1 ms the adapter's
// latency_timer in sysfs. Only what this program changed is put back: a flag
// or a timer the user set stays as it was, and a timer already at 1 ms is
// never written. Other devices are left alone; a device that does not know
// the ioctls (a pseudo-terminal answers ENOTTY) just keeps its settings.
class SerialLowLatency
{
public:
    // Right after the port opened; fd is its descriptor, device its path.
    void Request(int fd, const QString &device, const QString &sysfsRoot = SystemSysfsRoot);
    // Right before the port closes: undoes what Request changed, once.
    void Restore(int fd);

    const LowLatencyState &State() const { return m_state; }

private:
    LowLatencyState m_state;
    int m_timerToRestore = -1; // what the timer held when this program wrote 1
};
