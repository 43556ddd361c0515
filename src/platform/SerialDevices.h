#pragma once

#include <QList>
#include <QString>

// A serial device the connection settings offer.
struct SerialDevice
{
    // What the program opens. A USB adapter goes by its stable name below
    // /dev/serial/by-id/ (maker, model and serial number), which stays the
    // same whichever order adapters are plugged in; /dev/ttyUSB0 does not.
    QString path{};
    QString description{};  // as the system reports it, e.g. "FT232R USB UART"
    QString manufacturer{}; // e.g. "FTDI"

    // "path (description, manufacturer)", leaving out what the system
    // did not report.
    QString label() const;
};

// What the system reports of one port.
struct SerialPortFacts
{
    QString systemLocation{}; // e.g. /dev/ttyUSB0
    QString description{};
    QString manufacturer{};
};

// The ports, each named by the link in byIdFolder that leads to it when
// there is one, else by its system location; sorted by path. Links to
// devices the system does not list (an adapter unplugged) are left out.
QList<SerialDevice> StableSerialDevices(const QList<SerialPortFacts> &ports,
                                        const QString &byIdFolder = QStringLiteral("/dev/serial/by-id"));

// The serial devices of this machine (QSerialPortInfo), as above.
QList<SerialDevice> SystemSerialDevices();
