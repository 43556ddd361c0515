#include "platform/SerialDevices.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>

QString SerialDevice::label() const
{
    QStringList about;
    for (const QString &part : {description.trimmed(), manufacturer.trimmed()})
        if (!part.isEmpty() && !about.contains(part))
            about << part;
    return about.isEmpty() ? path : path + QStringLiteral(" (") + about.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QList<SerialDevice> StableSerialDevices(const QList<SerialPortFacts> &ports, const QString &byIdFolder)
{
    // Device -> its stable name. The links are relative (../../ttyUSB0):
    // compare where they lead, not what they say.
    QHash<QString, QString> stableName;
    const QDir folder(byIdFolder);
    for (const QFileInfo &link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = link.canonicalFilePath();
        if (link.isSymLink() && !target.isEmpty() && !stableName.contains(target))
            stableName.insert(target, link.absoluteFilePath());
    }

    QList<SerialDevice> devices;
    for (const SerialPortFacts &port : ports) {
        const QString device = QFileInfo(port.systemLocation).canonicalFilePath();
        SerialDevice d;
        d.path = stableName.value(device.isEmpty() ? port.systemLocation : device, port.systemLocation);
        d.description = port.description;
        d.manufacturer = port.manufacturer;
        devices << d;
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice &a, const SerialDevice &b) { return a.path < b.path; });
    return devices;
}

QList<SerialDevice> SystemSerialDevices()
{
    QList<SerialPortFacts> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports << SerialPortFacts{info.systemLocation(), info.description(), info.manufacturer()};
    return StableSerialDevices(ports);
}
