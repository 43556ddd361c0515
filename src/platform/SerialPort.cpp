#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QStringList>

QString SerialDeviceFor(int comPort, const QString &portName)
{
    if (!portName.trimmed().isEmpty())
        return portName.trimmed();
    return QStringLiteral("/dev/ttyS%1").arg(comPort - 1);
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
    return m_port->isOpen();
}

bool SerialPort::Open()
{
    m_error.clear();
    if (m_port->isOpen())
        return true;
    LineSettings line;
    parseSettings(m_settings, line);
    m_port->setPortName(DevicePath());
    m_port->clearError();
    // After a successful open errorString() still says "Unknown error": only
    // error() tells whether something went wrong.
    if (!m_port->open(QIODevice::ReadWrite) || m_port->error() != QSerialPort::NoError) {
        m_error = m_port->errorString();
        if (m_port->isOpen())
            m_port->close();
        return false;
    }
    // Modem lines and some line options do not exist on every device (a
    // pseudo-terminal has none); only the four line settings matter here.
    if (!m_port->setBaudRate(line.baud) || !m_port->setParity(line.parity)
        || !m_port->setDataBits(line.dataBits) || !m_port->setStopBits(line.stopBits)) {
        m_error = m_port->errorString();
        m_port->close();
        return false;
    }
    m_port->clearError();
    return true;
}

void SerialPort::Close()
{
    if (m_port->isOpen())
        m_port->close();
}

bool SerialPort::Output(const QByteArray &bytes)
{
    m_error.clear();
    if (!m_port->isOpen()) {
        m_error = QStringLiteral("The port is not open");
        return false;
    }
    m_port->clearError();
    if (m_port->write(bytes) != bytes.size()) {
        m_error = m_port->errorString();
        return false;
    }
    // QSerialPort only queues what it is given and writes it from the event
    // loop; hand the frame to the device now so the box sees it at once.
    m_port->flush();
    if (m_port->error() != QSerialPort::NoError) {
        m_error = m_port->errorString();
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
