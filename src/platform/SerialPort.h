#pragma once

#include "platform/SerialHardware.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSerialPort;

// The serial port the emulator link talks through, reduced to the operations
// the link uses: open and close with a description of what went wrong, send a
// frame, count and take the bytes waiting, and drop stale input. The exchanges
// are written against this interface so that they run equally over a real
// port and over a scripted peer.
class LinkPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~LinkPort() override = default;

    virtual bool IsOpen() const = 0;
    // False when the port cannot be opened; ErrorDescription() says why.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Hands every byte to the port. False when the port refuses them;
    // ErrorDescription() says why.
    virtual bool Output(const QByteArray &bytes) = 0;
    // Number of received bytes waiting.
    virtual int InBufferCount() = 0;
    // Takes every waiting byte.
    virtual QByteArray Input() = 0;
    // Drops every byte received so far and not yet taken.
    virtual void DiscardInput() = 0;
    // The port's own description of the last failure.
    virtual QString ErrorDescription() const = 0;

    // True once an open port has died under the program (the device was
    // unplugged, the box switched off, an I/O error): the port is closed and
    // stays unusable until it is opened again. LostDescription() says what
    // happened, naming the device.
    bool IsLost() const { return m_lost; }
    QString LostDescription() const { return m_lostDescription; }

signals:
    // New bytes are waiting.
    void readyRead();
    // The open port has died (see IsLost); emitted from the event loop once
    // the port is closed, never from inside a call to the port.
    void lost();

protected:
    void markLost(const QString &description)
    {
        m_lost = true;
        m_lostDescription = description;
    }
    void clearLost()
    {
        m_lost = false;
        m_lostDescription.clear();
    }

private:
    bool m_lost = false;
    QString m_lostDescription;
};

// The line settings every connection uses.
inline constexpr const char *LinkLineSettings = "115200,N,8,1";

// The device a port number stands for on this system. The numbers 1 to 8 of
// the COMPort preference (COM1 to COM8) map to the first eight on-board
// serial devices, /dev/ttyS0 to /dev/ttyS7. A non-empty portName (the
// PortName preference: a USB-serial adapter such as /dev/ttyUSB0, or any
// other device path) names the device instead and the number is ignored. A
// name of blanks names no device: the result is empty and opening it fails,
// rather than quietly falling back to the first serial port.
QString SerialDeviceFor(int comPort, const QString &portName);

// Why a port could not be opened, as the user is told it: always naming the
// device, and for a permission failure the remedy (PermissionRemedy).
enum class PortOpenFailure { NoDevice, Permission, InUse, Other };
QString PortOpenFailureText(const QString &device, PortOpenFailure kind, const QString &reason,
                            const QString &ownerGroup = QString(), const QString &owner = QString());
// What a user denied a device owned by owner and group should do: join the
// group when it is one kept for serial ports (dialout, uucp; dialout when the
// group is unknown), else ask for access through a udev rule or the owner.
QString PermissionRemedy(const QString &owner, const QString &group);

// The real port, over QSerialPort. Port number, device name and line settings
// are applied by Open(); changing them while open affects the next Open().
class SerialPort : public LinkPort
{
    Q_OBJECT
public:
    explicit SerialPort(QObject *parent = nullptr);
    ~SerialPort() override;

    void SetCommPort(int number) { m_commPort = number; }
    int CommPort() const { return m_commPort; }
    void SetPortName(const QString &device) { m_portName = device; }
    QString PortName() const { return m_portName; }
    // "baud,parity,data bits,stop bits" as in "115200,N,8,1"; parity one of
    // N, E, O, S, M; stop bits 1, 1.5 or 2. False (nothing changes) when the
    // text is not of that form.
    bool SetSettings(const QString &settings);
    QString Settings() const { return m_settings; }
    // What the connect command sets before the handshake: the line settings
    // "115200,N,8,1" and the port from the COMPort and PortName preferences.
    void PrepareForConnect(int comPort, const QString &portName)
    {
        SetSettings(QString::fromLatin1(LinkLineSettings));
        SetCommPort(comPort);
        SetPortName(portName);
    }
    // The device Open() uses.
    QString DevicePath() const { return SerialDeviceFor(m_commPort, m_portName); }
    // Where Open() looks the device up to ask a USB adapter for low latency
    // (/sys; a test points it at a folder of its own).
    void SetSysfsRoot(const QString &root) { m_sysfsRoot = root; }
    // What Open() found and changed for low latency; put back by Close().
    const LowLatencyState &LowLatency() const { return m_lowLatency.State(); }

    bool IsOpen() const override;
    // Opens the device under its canonical path, so that the exclusive lock
    // covers every name of it: a symbolic link and the device it points to
    // cannot both be open. A USB adapter is asked for low latency
    // (SerialLowLatency): without it, each reply waits up to 16 ms.
    bool Open() override;
    void Close() override;
    bool Output(const QByteArray &bytes) override;
    int InBufferCount() override;
    QByteArray Input() override;
    void DiscardInput() override;
    QString ErrorDescription() const override { return m_error; }

private:
    void portError(int error);
    void closeLost(quint64 generation);
    // Closes the device, first putting back what Open() changed on it.
    void closeDevice();

    QSerialPort *m_port;
    quint64 m_generation = 0; // counts opens, so a late close hits only the port that died
    int m_commPort = 1;
    QString m_portName;
    QString m_settings = QString::fromLatin1(LinkLineSettings);
    QString m_error;
    QString m_sysfsRoot = QString::fromLatin1(SystemSysfsRoot);
    SerialLowLatency m_lowLatency;
};
