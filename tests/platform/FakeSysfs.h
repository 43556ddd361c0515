#pragma once

// A sysfs tree in a temporary folder, as much of it as the serial port probe
// reads: the device number's entry below dev/char, the tty's device with its
// bus and driver, and an FTDI-type adapter's latency timer. Mapping a real
// pseudo-terminal's number makes it stand for any kind of port.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <sys/sysmacros.h>

struct FakePort
{
    QString tty;       // ttyUSB0, ttyACM0, ttyS0
    QString subsystem; // usb-serial, usb, platform
    QString driver;
    int timer = -1;    // latency_timer in ms; -1: none
    bool timerWritable = true;
};

// "major:minor" of a device, as dev/char names it.
inline QString DeviceNumber(const QString &device)
{
    struct stat status{};
    if (::stat(QFile::encodeName(device).constData(), &status) != 0)
        return {};
    return QStringLiteral("%1:%2").arg(major(status.st_rdev)).arg(minor(status.st_rdev));
}

// Adds port under root as the device numbered number; returns its timer's
// path (empty without one), last modified at a fixed old time.
inline QString AddFakePort(const QString &root, const QString &number, const FakePort &port)
{
    const QString device = root + "/devices/usb1/1-1/1-1:1.0/" + port.tty;
    const QString bus = root + "/bus/" + port.subsystem;
    QDir().mkpath(device + "/tty/" + port.tty);
    QDir().mkpath(bus + "/drivers/" + port.driver);
    QDir().mkpath(root + "/dev/char");
    QFile::link(bus, device + "/subsystem");
    QFile::link(bus + "/drivers/" + port.driver, device + "/driver");
    QFile::link(device, device + "/tty/" + port.tty + "/device");
    QFile::link(device + "/tty/" + port.tty, root + "/dev/char/" + number);
    if (port.timer < 0)
        return {};
    const QString timer = device + "/latency_timer";
    QFile file(timer);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::number(port.timer) + "\n");
    file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000), QFileDevice::FileModificationTime);
    file.close();
    file.setPermissions(port.timerWritable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther
                                           : QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QDir().mkpath(root + "/bus/usb-serial/devices");
    QFile::link(device, root + "/bus/usb-serial/devices/" + port.tty);
    return timer;
}

inline int ReadTimer(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : -1;
}
