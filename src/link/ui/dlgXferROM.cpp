#include "link/ui/dlgXferROM.h"

#include "link/ui/TransferLayout.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

dlgXferROM::dlgXferROM(LinkPort &port, MessageBoxService &messages, QWidget *parent, const LinkClock &clock)
    : LinkDialog(port, messages, clock, parent)
{
    setObjectName(QStringLiteral("dlgXferROM"));
    setWindowTitle(QStringLiteral("ROM Transfer"));
    const TransferWidgets w = BuildTransferLayout(this, RomTransferExchange::ImageSize, false);
    m_status = w.status;
    m_progress = w.progress;
    m_cancel = w.cancel;
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancelRequested(true); });
}

void dlgXferROM::Initialize(const QString &path, int mode)
{
    m_path = path;
    m_mode = mode;
}

std::unique_ptr<LinkExchange> dlgXferROM::createExchange()
{
    const TransferDirection direction =
        m_mode == static_cast<int>(TransferDirection::Write) ? TransferDirection::Write : TransferDirection::Read;
    auto transfer = std::make_unique<RomTransferExchange>(m_port, m_clock, m_path, direction);
    if (m_longerAccepted)
        transfer->AcceptLongerImage();
    m_status->setText(transfer->StatusText());
    m_progress->setValue(0);
    connect(transfer.get(), &LinkExchange::progressChanged, m_progress, &QProgressBar::setValue);
    return transfer;
}
