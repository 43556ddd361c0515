#include "link/ui/dlgSettings.h"

#include "platform/ui/DialogButtons.h"
#include "platform/MessageBoxService.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int NumberedPorts = 8;
}

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
    layout->addLayout(form);

    const OkCancelButtons buttons = AddOkCancelButtons(this, layout);
    QPushButton *ok = buttons.ok;
    connect(ok, &QPushButton::clicked, this, &dlgSettings::OKButton_Click);
    selectCurrent();
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
