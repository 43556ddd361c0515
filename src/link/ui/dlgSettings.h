#pragma once

#include <QDialog>
#include <QString>
#include <QList>

#include "platform/SerialDevices.h"
#include "platform/SerialHardware.h"

class MessageBoxService;
class QComboBox;
class QLabel;

// The connection settings: which port the box hangs on. Entries "COM 1" to
// "COM 8" choose a port number (COMPort); the serial devices the system
// reports follow them, USB adapters by their stable names with the
// description and maker the system reports, and name a device directly
// (PortName). Below the choice, what kind of port it is and, for a USB
// adapter, its latency timer: the one setting that decides how fast the
// link turns round.
class dlgSettings : public QDialog
{
    Q_OBJECT
public:
    dlgSettings(MessageBoxService &messages, const QList<SerialDevice> &devices, QWidget *parent = nullptr);

    // Set by the caller before showing, read back afterwards.
    int COMPort() const { return m_comPort; }
    void SetCOMPort(int port);
    QString PortName() const { return m_portName; }
    void SetPortName(const QString &device);

    QComboBox *comboPort() const { return m_comboPort; }
    // Where the port's kind and latency timer are looked up (/sys).
    void SetSysfsRoot(const QString &root);

    // The serial devices of this machine (SystemSerialDevices).
    static QList<SerialDevice> SystemDevices();

public slots:
    void OKButton_Click();

private:
    void selectCurrent();
    void describeCurrent();

    MessageBoxService &m_messages;
    QComboBox *m_comboPort = nullptr;
    QLabel *lblPortKind = nullptr;
    QString m_sysfsRoot = QString::fromLatin1(SystemSysfsRoot);
    int m_comPort = 1;
    QString m_portName;
};
