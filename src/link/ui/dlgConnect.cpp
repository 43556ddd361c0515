#include "link/ui/dlgConnect.h"

#include "link/LinkMessages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

dlgConnect::dlgConnect(LinkPort &port, MessageBoxService &messages, QWidget *parent, HandshakeTimings timings,
                       const LinkClock &clock)
    : LinkDialog(port, messages, clock, parent), m_timings(timings)
{
    setObjectName(QStringLiteral("dlgConnect"));
    setWindowTitle(QStringLiteral("Connection Status"));
    m_status = new QLabel(QString::fromLatin1(LinkMessages::ConnectingLabel), this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancelRequested(false); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

std::unique_ptr<LinkExchange> dlgConnect::createExchange()
{
    m_connected = false;
    m_major = m_minor = m_id = 0;
    auto handshake = std::make_unique<HandshakeExchange>(m_port, m_clock, m_timings);
    connect(handshake.get(), &LinkExchange::progressChanged, m_progress, &QProgressBar::setValue);
    return handshake;
}

void dlgConnect::exchangeEnded()
{
    const auto *handshake = static_cast<const HandshakeExchange *>(exchange());
    m_connected = handshake->IsConnected();
    m_major = handshake->MajorVer();
    m_minor = handshake->MinorVer();
    m_id = handshake->IDVer();
}
