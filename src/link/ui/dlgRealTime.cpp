#include "link/ui/dlgRealTime.h"

#include "link/LinkMessages.h"

#include <QLabel>
#include <QVBoxLayout>

dlgRealTime::dlgRealTime(LinkPort &port, MessageBoxService &messages, QWidget *parent, const LinkClock &clock)
    : LinkDialog(port, messages, clock, parent)
{
    setObjectName(QStringLiteral("dlgRealTime"));
    setWindowTitle(QStringLiteral("Vantrelle"));
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint) & ~Qt::WindowCloseButtonHint);
    auto *label = new QLabel(QString::fromLatin1(LinkMessages::RealTimeLabel), this);
    label->setObjectName(QStringLiteral("lblStatus"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

std::unique_ptr<LinkExchange> dlgRealTime::createExchange()
{
    if (m_frame.isEmpty())
        return nullptr;
    return std::make_unique<RealTimeWriteExchange>(m_port, m_clock, m_frame);
}
