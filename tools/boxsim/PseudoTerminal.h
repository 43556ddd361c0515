#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The box's end of the line: the master side of a pseudo-terminal, whose slave
// device stands in for the serial port the application opens.
//
// The box keeps a slave descriptor of its own open for its whole life. Without
// one, the master reads EIO (and polls as hung up) whenever no program has the
// slave open, and the line settings could be lost between two users. Holding
// it also lets the box undo the exclusive mode (TIOCEXCL) that QSerialPort puts
// on the device: a program that dies without closing the port leaves that mode
// behind, and any later open by an ordinary user would fail with "device busy".
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Opens the master (non-blocking) and the held slave in raw mode. On
    // failure error says what went wrong.
    bool open(QString &error);

    QString devicePath() const { return m_devicePath; }
    int masterFd() const { return m_master; }

    enum class ReadStatus { Data, Nothing, NoPeer, Failed };
    // Appends every byte that is waiting (one read).
    ReadStatus read(QByteArray &bytes);

    // Writes what the line takes now: the count written, 0 when it takes
    // nothing at the moment, -1 on an error other than a full buffer.
    ssize_t write(const char *data, size_t size);

    // Clears an exclusive mode a previous user of the device left behind.
    void releaseExclusive();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
};

// A symbolic link to the device, made at a path of the user's choice and
// removed again when the box ends (as long as it still points at the device).
class DeviceLink
{
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Makes path a link to target. An existing link at path is replaced; any
    // other file there is left alone and refused (refused is then true).
    bool create(const QString &path, const QString &target, QString &error, bool &refused);
    void remove();

private:
    QString m_path;
    QString m_target;
};
