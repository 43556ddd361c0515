#include "platform/SerialHardware.h"

#include <QFile>
#include <QFileInfo>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace {

// The kernel gives the pseudo-terminals' devices (majors 136 to 143) no entry
// below /sys/dev/char, so they are told by their number.
constexpr unsigned PtySlaveMajor = 136;
constexpr unsigned PtySlaveMajors = 8;

QString linkedName(const QString &link)
{
    const QString target = QFileInfo(link).canonicalFilePath();
    return target.isEmpty() ? QString() : QFileInfo(target).fileName();
}

int readNumber(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const int value = file.readAll().trimmed().toInt(&ok);
    return ok ? value : -1;
}

bool hasWriteBits(const QString &path)
{
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (QFileInfo(path).permissions() & anyWrite) != 0;
}

// Empty on success, else why the number could not be written.
QString writeNumber(const QString &path, int value)
{
    // sysfs refuses a file without write bits even to root; so does this.
    if (!hasWriteBits(path))
        return QStringLiteral("%1 is read-only").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    const QByteArray text = QByteArray::number(value);
    if (file.write(text) != text.size())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

#if defined(__linux__)
// True when this call set the flag and it stuck. A device that does not know
// the ioctl (a pseudo-terminal: ENOTTY), one that refuses it, and a flag the
// user had set already all leave nothing to undo.
bool raiseLowLatencyFlag(int fd)
{
    serial_struct info{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &info) != 0 || (info.flags & ASYNC_LOW_LATENCY) != 0)
        return false;
    info.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &info) != 0)
        return false;
    // Some drivers accept the call and keep nothing of it (cdc_acm): only a
    // flag that is there afterwards is this program's to clear.
    serial_struct now{};
    return ::ioctl(fd, TIOCGSERIAL, &now) == 0 && (now.flags & ASYNC_LOW_LATENCY) != 0;
}

void clearLowLatencyFlag(int fd)
{
    serial_struct info{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &info) != 0)
        return;
    info.flags = static_cast<int>(static_cast<unsigned>(info.flags) & ~static_cast<unsigned>(ASYNC_LOW_LATENCY));
    ::ioctl(fd, TIOCSSERIAL, &info);
}
#else
bool raiseLowLatencyFlag(int) { return false; }
void clearLowLatencyFlag(int) {}
#endif

} // namespace

SerialHardware ProbeSerialHardware(const QString &device, const QString &sysfsRoot)
{
    SerialHardware hardware;
    const QByteArray native = QFile::encodeName(device.trimmed());
    struct stat status{};
    if (native.isEmpty() || ::stat(native.constData(), &status) != 0)
        return hardware;
    hardware.kind = SerialKind::Other;
    if (!S_ISCHR(status.st_mode))
        return hardware;
    const unsigned deviceMajor = major(status.st_rdev);
    const QString entry =
        QFileInfo(QStringLiteral("%1/dev/char/%2:%3").arg(sysfsRoot).arg(deviceMajor).arg(minor(status.st_rdev)))
            .canonicalFilePath();
    if (entry.isEmpty()) {
        if (deviceMajor >= PtySlaveMajor && deviceMajor < PtySlaveMajor + PtySlaveMajors)
            hardware.kind = SerialKind::PseudoTerminal;
        return hardware;
    }
    hardware.ttyName = QFileInfo(entry).fileName();
    QString parent = QFileInfo(entry + QStringLiteral("/device")).canonicalFilePath();
    if (parent.isEmpty())
        return hardware; // a virtual terminal, not a port
    QString subsystem = linkedName(parent + QStringLiteral("/subsystem"));
    // Newer kernels hang a UART's tty below a port and a controller device of
    // the serial-base bus; the driver that names the hardware is above them.
    for (int up = 0; up < 3 && subsystem == QLatin1String("serial-base"); ++up) {
        parent = QFileInfo(parent).path();
        subsystem = linkedName(parent + QStringLiteral("/subsystem"));
    }
    hardware.driver = linkedName(parent + QStringLiteral("/driver"));
    if (subsystem == QLatin1String("usb-serial"))
        hardware.kind = SerialKind::UsbSerialAdapter;
    else if (subsystem == QLatin1String("usb"))
        hardware.kind = SerialKind::UsbModem;
    else
        hardware.kind = SerialKind::OnBoard;
    if (hardware.kind != SerialKind::UsbSerialAdapter)
        return hardware;
    const QString timer = QStringLiteral("%1/bus/usb-serial/devices/%2/latency_timer").arg(sysfsRoot, hardware.ttyName);
    if (!QFileInfo::exists(timer))
        return hardware; // cp210x, pl2303, ch341: no timer to set
    hardware.latencyTimerPath = timer;
    hardware.latencyTimerMs = readNumber(timer);
    hardware.latencyTimerWritable = hasWriteBits(timer) && QFileInfo(timer).isWritable();
    return hardware;
}

QString UsbSerialChip(const QString &driver)
{
    static const struct
    {
        const char *driver;
        const char *chip;
    } chips[] = {
        {"ftdi_sio", "FTDI"},
        {"cp210x", "Silicon Labs CP210x"},
        {"pl2303", "Prolific PL2303"},
        {"ch341", "WCH CH340/CH341"},
        {"cdc_acm", "USB modem class (CDC-ACM)"},
    };
    for (const auto &c : chips)
        if (driver == QLatin1String(c.driver))
            return QString::fromLatin1(c.chip);
    return {};
}

bool DriverTakesLowLatencyRequest(const QString &driver)
{
    return driver == QLatin1String("ftdi_sio");
}

void SerialLowLatency::Request(int fd, const QString &device, const QString &sysfsRoot)
{
    m_state = {};
    m_timerToRestore = -1;
    m_state.hardware = ProbeSerialHardware(device, sysfsRoot);
    const SerialHardware &hardware = m_state.hardware;
    if (hardware.kind != SerialKind::UsbSerialAdapter && hardware.kind != SerialKind::UsbModem)
        return;
    m_state.timerBefore = hardware.latencyTimerMs;
    m_state.timerNow = hardware.latencyTimerMs;
    m_state.flagRaised = raiseLowLatencyFlag(fd);
    if (hardware.latencyTimerPath.isEmpty())
        return;
    // The flag alone brings an FTDI adapter's timer to 1 ms: look again.
    const int timer = readNumber(hardware.latencyTimerPath);
    m_state.timerNow = timer;
    if (timer <= 1)
        return; // 1 ms already (the user's udev rule, or the flag), or unreadable
    m_state.timerRefusal = writeNumber(hardware.latencyTimerPath, 1);
    if (!m_state.timerRefusal.isEmpty())
        return;
    m_state.timerLowered = true;
    m_timerToRestore = timer;
    m_state.timerNow = readNumber(hardware.latencyTimerPath);
}

void SerialLowLatency::Restore(int fd)
{
    // A device unplugged meanwhile took its settings with it; the writes
    // then fail, quietly.
    if (m_state.timerLowered)
        writeNumber(m_state.hardware.latencyTimerPath, m_timerToRestore);
    if (m_state.flagRaised)
        clearLowLatencyFlag(fd);
    if (m_state.timerLowered || m_state.flagRaised)
        m_state.timerNow = readNumber(m_state.hardware.latencyTimerPath);
    m_state.timerLowered = false;
    m_state.flagRaised = false;
    m_timerToRestore = -1;
}
