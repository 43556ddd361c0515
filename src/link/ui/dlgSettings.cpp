#include "link/ui/dlgSettings.h"

#include "platform/ui/DialogButtons.h"
#include "platform/MessageBoxService.h"
#include "platform/SerialPort.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int NumberedPorts = 8;

QString latencyText(const SerialHardware &port)
{
    const int ms = port.latencyTimerMs;
    if (port.latencyTimerPath.isEmpty())
        return QStringLiteral("It has no latency timer the system can set.");
    if (ms < 0)
        return QStringLiteral("Its latency timer (%1) cannot be read.").arg(port.latencyTimerPath);
    if (ms <= 1)
        return QStringLiteral("Latency timer: %1 ms.").arg(ms);
    if (port.latencyTimerWritable)
        return QStringLiteral("Latency timer: %1 ms. Vantrelle sets it to 1 ms while it has the port open "
                              "and puts %1 ms back afterwards.")
            .arg(ms);
    const QString rule = QStringLiteral("The udev rule in Vantrelle's README (Hardware on Linux) sets it to 1 ms "
                                        "for good.");
    if (DriverTakesLowLatencyRequest(port.driver))
        return QStringLiteral("Latency timer: %1 ms. Vantrelle may not write %2; it asks the %3 driver for "
                              "low-latency mode (1 ms) instead while it has the port open. %4")
            .arg(ms)
            .arg(port.latencyTimerPath, port.driver, rule);
    return QStringLiteral("Latency timer: %1 ms, and Vantrelle cannot set it to 1 ms (it may not write %2): "
                          "every reply from the box may wait up to %1 ms. %3")
        .arg(ms)
        .arg(port.latencyTimerPath, rule);
}

QString describePort(const SerialHardware &port)
{
    const QString driver = port.driver.isEmpty() ? QString() : QStringLiteral("driver %1").arg(port.driver);
    switch (port.kind) {
    case SerialKind::Missing:
        return QStringLiteral("No such device at the moment (an adapter not plugged in, or a port this machine "
                              "does not have).");
    case SerialKind::PseudoTerminal:
        return QStringLiteral("Pseudo-terminal: a program standing in for the box, such as the simulated box "
                              "(vantrelle-boxsim). Bytes pass at once; there is no latency timer.");
    case SerialKind::OnBoard:
        return QStringLiteral("On-board serial port (%1). Bytes pass as they arrive; there is no latency timer.")
            .arg(driver.isEmpty() ? QStringLiteral("driver unknown") : driver);
    case SerialKind::UsbModem:
        return QStringLiteral("USB modem-class device (%1). It has no latency timer the system can set.")
            .arg(driver.isEmpty() ? QStringLiteral("driver unknown") : driver);
    case SerialKind::UsbSerialAdapter: {
        const QString chip = UsbSerialChip(port.driver);
        const QString about = chip.isEmpty() ? driver : QStringLiteral("%1, %2").arg(chip, driver);
        return QStringLiteral("USB-serial adapter (%1). %2")
            .arg(about.isEmpty() ? QStringLiteral("driver unknown") : about, latencyText(port));
    }
    case SerialKind::Other:
        break;
    }
    return QStringLiteral("A device the system describes no further.");
}
} // namespace

dlgSettings::dlgSettings(MessageBoxService &messages, const QList<SerialDevice> &devices, QWidget *parent)
    : QDialog(parent), m_messages(messages)
{
    setObjectName("dlgSettings");
    setWindowTitle("Settings");
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_comboPort = new QComboBox;
    m_comboPort->setObjectName("comboPort");
    for (int n = 1; n <= NumberedPorts; ++n)
        m_comboPort->addItem(QStringLiteral("COM %1").arg(n));
    for (const SerialDevice &device : devices)
        m_comboPort->addItem(device.label(), device.path);
    form->addRow("COM Port", m_comboPort);
    lblPortKind = new QLabel;
    lblPortKind->setObjectName("lblPortKind");
    lblPortKind->setWordWrap(true);
    lblPortKind->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow("Device", lblPortKind);
    layout->addLayout(form);
    connect(m_comboPort, &QComboBox::currentIndexChanged, this, &dlgSettings::describeCurrent);

    const OkCancelButtons buttons = AddOkCancelButtons(this, layout);
    QPushButton *ok = buttons.ok;
    connect(ok, &QPushButton::clicked, this, &dlgSettings::OKButton_Click);
    selectCurrent();
    describeCurrent();
}

void dlgSettings::SetSysfsRoot(const QString &root)
{
    m_sysfsRoot = root;
    describeCurrent();
}

void dlgSettings::describeCurrent()
{
    const int at = m_comboPort->currentIndex();
    const QString device = at >= 0 && at < NumberedPorts ? SerialDeviceFor(at + 1, {})
                                                          : m_comboPort->currentData().toString();
    lblPortKind->setText(describePort(ProbeSerialHardware(device, m_sysfsRoot)));
}

void dlgSettings::SetCOMPort(int port)
{
    m_comPort = port;
    selectCurrent();
}

void dlgSettings::SetPortName(const QString &device)
{
    m_portName = device;
    selectCurrent();
}

void dlgSettings::selectCurrent()
{
    if (!m_portName.isEmpty()) {
        int at = m_comboPort->findData(m_portName);
        if (at < 0) {
            // A device set earlier that the system no longer lists stays choosable.
            m_comboPort->addItem(m_portName, m_portName);
            at = m_comboPort->count() - 1;
        }
        m_comboPort->setCurrentIndex(at);
        return;
    }
    if (m_comPort >= 1 && m_comPort <= NumberedPorts)
        m_comboPort->setCurrentIndex(m_comPort - 1);
}

void dlgSettings::OKButton_Click()
{
    const int at = m_comboPort->currentIndex();
    const bool numbered = at >= 0 && at < NumberedPorts;
    const int newPort = numbered ? at + 1 : m_comPort;
    const QString newName = numbered ? QString() : m_comboPort->currentData().toString();
    if (newPort != m_comPort || newName != m_portName)
        m_messages.info(this, "If you are connected to the Vantrelle hardware you will need to disconnect "
                              "for the new port change to take effect");
    m_comPort = newPort;
    m_portName = newName;
    accept();
}

QList<SerialDevice> dlgSettings::SystemDevices()
{
    return SystemSerialDevices();
}
