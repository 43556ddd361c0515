#include "platform/SerialPort.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QStringList>

#include <cerrno>
#include <unistd.h>

QString SerialDeviceFor(int comPort, const QString &portName)
{
    if (!portName.isEmpty())
        return portName.trimmed();
    return QStringLiteral("/dev/ttyS%1").arg(comPort - 1);
}

QString PermissionRemedy(const QString &owner, const QString &group)
{
    // Only the groups that exist to hand out serial ports are worth joining;
    // joining root or tty would give away far more than the port.
    if (group.isEmpty() || group == QLatin1String("dialout") || group == QLatin1String("uucp")) {
        const QString join = group.isEmpty() ? QStringLiteral("dialout") : group;
        return QStringLiteral("Your account must be a member of the group that owns the device (%1): run "
                              "\"sudo usermod -aG %1 $USER\", then log out and in again.")
            .arg(join);
    }
    return QStringLiteral("The device belongs to user %1 and group %2: a udev rule or the device's owner must "
                          "grant your account access to it.")
        .arg(owner.isEmpty() ? QStringLiteral("(unknown)") : owner, group);
}

QString PortOpenFailureText(const QString &device, PortOpenFailure kind, const QString &reason,
                            const QString &ownerGroup, const QString &owner)
{
    switch (kind) {
    case PortOpenFailure::NoDevice:
        return QStringLiteral("Could not open the serial port: its name is blank.");
    case PortOpenFailure::Permission:
        return QStringLiteral("Could not open %1: %2.  %3").arg(device, reason, PermissionRemedy(owner, ownerGroup));
    case PortOpenFailure::InUse:
        return QStringLiteral("Could not open %1: the device is already in use (%2).").arg(device, reason);
    case PortOpenFailure::Other:
        break;
    }
    return QStringLiteral("Could not open %1: %2").arg(device, reason);
}

namespace {

struct LineSettings
{
    qint32 baud = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

bool parseSettings(const QString &text, LineSettings &out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    LineSettings s;
    bool ok = false;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return false;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity == QLatin1String("N")) s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E")) s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O")) s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("S")) s.parity = QSerialPort::SpaceParity;
    else if (parity == QLatin1String("M")) s.parity = QSerialPort::MarkParity;
    else return false;
    const QString data = parts[2].trimmed();
    if (data == QLatin1String("5")) s.dataBits = QSerialPort::Data5;
    else if (data == QLatin1String("6")) s.dataBits = QSerialPort::Data6;
    else if (data == QLatin1String("7")) s.dataBits = QSerialPort::Data7;
    else if (data == QLatin1String("8")) s.dataBits = QSerialPort::Data8;
    else return false;
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1")) s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5")) s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2")) s.stopBits = QSerialPort::TwoStop;
    else return false;
    out = s;
    return true;
}

} // namespace

SerialPort::SerialPort(QObject *parent)
    : LinkPort(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &LinkPort::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) { portError(e); });
}

void SerialPort::portError(int error)
{
    // A device that goes away (a box switched off, a USB adapter pulled)
    // leaves the descriptor open but dead: reads report end of file over
    // and over (QSerialPort calls it a ReadError, with a stale errno text)
    // and writes fail with EIO (a ResourceError). Left open, the port would
    // spin the event loop and fail every later request; it is closed at once.
    if (IsLost() || !m_port->isOpen())
        return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    const QString device = DevicePath();
    markLost(error == QSerialPort::ResourceError
                 ? QStringLiteral("%1: %2").arg(device, m_port->errorString())
                 : QStringLiteral("%1 hung up (unplugged, switched off or gone)").arg(device));
    // Not closed here: this may run inside the QSerialPort call that failed.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(this, [this, generation] { closeLost(generation); }, Qt::QueuedConnection);
}

void SerialPort::closeLost(quint64 generation)
{
    if (generation != m_generation || !IsLost())
        return;
    closeDevice();
    emit lost();
}

SerialPort::~SerialPort()
{
    Close();
}

bool SerialPort::SetSettings(const QString &settings)
{
    LineSettings parsed;
    if (!parseSettings(settings, parsed))
        return false;
    m_settings = settings;
    return true;
}

bool SerialPort::IsOpen() const
{
    return m_port->isOpen() && !IsLost();
}

bool SerialPort::Open()
{
    m_error.clear();
    if (IsOpen())
        return true;
    closeDevice();
    ++m_generation;
    clearLost();
    const QString device = DevicePath();
    if (device.isEmpty()) {
        m_error = PortOpenFailureText(device, PortOpenFailure::NoDevice, {});
        return false;
    }
    // QSerialPort's exclusive lock is keyed by the name it opens; opened
    // under the canonical path, a link and its device share one lock.
    const QFileInfo info(device);
    const QString canonical = info.canonicalFilePath();
    const QString target = canonical.isEmpty() ? device : canonical;
    const QString named = target != device ? QStringLiteral("%1 (%2)").arg(device, target) : device;
    const QByteArray native = target.toLocal8Bit();
    if (!canonical.isEmpty() && ::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        m_error = PortOpenFailureText(named, PortOpenFailure::Permission, QStringLiteral("Permission denied"),
                                      QFileInfo(canonical).group(), QFileInfo(canonical).owner());
        return false;
    }
    LineSettings line;
    parseSettings(m_settings, line);
    m_port->setPortName(target);
    m_port->clearError();
    // After a successful open errorString() still says "Unknown error": only
    // error() tells whether something went wrong.
    if (!m_port->open(QIODevice::ReadWrite) || m_port->error() != QSerialPort::NoError) {
        // Reading and writing are allowed (checked above), so a permission
        // error here is the lock or the device's exclusive mode: it is in use.
        const PortOpenFailure kind =
            m_port->error() == QSerialPort::PermissionError ? PortOpenFailure::InUse : PortOpenFailure::Other;
        m_error = PortOpenFailureText(named, kind, m_port->errorString());
        if (m_port->isOpen())
            m_port->close();
        return false;
    }
    // Modem lines and some line options do not exist on every device (a
    // pseudo-terminal has none); only the four line settings matter here.
    if (!m_port->setBaudRate(line.baud) || !m_port->setParity(line.parity)
        || !m_port->setDataBits(line.dataBits) || !m_port->setStopBits(line.stopBits)) {
        m_error = PortOpenFailureText(named, PortOpenFailure::Other, m_port->errorString());
        m_port->close();
        return false;
    }
    m_port->clearError();
    m_lowLatency.Request(static_cast<int>(m_port->handle()), target, m_sysfsRoot);
    return true;
}

void SerialPort::Close()
{
    closeDevice();
}

void SerialPort::closeDevice()
{
    if (!m_port->isOpen())
        return;
    m_lowLatency.Restore(static_cast<int>(m_port->handle()));
    m_port->close();
}

bool SerialPort::Output(const QByteArray &bytes)
{
    m_error.clear();
    if (IsLost()) {
        m_error = LostDescription();
        return false;
    }
    if (!m_port->isOpen()) {
        const QString device = DevicePath();
        m_error = QStringLiteral("%1 is not open").arg(device.isEmpty() ? QStringLiteral("The serial port") : device);
        return false;
    }
    m_port->clearError();
    if (m_port->write(bytes) != bytes.size()) {
        m_error = QStringLiteral("Could not write to %1: %2").arg(DevicePath(), m_port->errorString());
        return false;
    }
    // QSerialPort only queues what it is given and writes it from the event
    // loop; hand the frame to the device now so the box sees it at once.
    m_port->flush();
    if (m_port->error() != QSerialPort::NoError) {
        m_error = IsLost() ? LostDescription()
                           : QStringLiteral("Could not write to %1: %2").arg(DevicePath(), m_port->errorString());
        m_port->clearError();
        return false;
    }
    return true;
}

int SerialPort::InBufferCount()
{
    return m_port->isOpen() ? static_cast<int>(m_port->bytesAvailable()) : 0;
}

QByteArray SerialPort::Input()
{
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

void SerialPort::DiscardInput()
{
    if (!m_port->isOpen())
        return;
    m_port->clear(QSerialPort::Input);
    m_port->readAll();
}
