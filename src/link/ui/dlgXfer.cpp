#include "link/ui/dlgXfer.h"

#include "link/LinkMessages.h"
#include "link/ui/TransferLayout.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

dlgXfer::dlgXfer(LinkPort &port, Tune &tune, MessageBoxService &messages, QWidget *parent, const LinkClock &clock)
    : LinkDialog(port, messages, clock, parent), m_tune(tune)
{
    setObjectName(QStringLiteral("dlgXfer"));
    setWindowTitle(QStringLiteral("Transferring Data"));
    const TransferWidgets w = BuildTransferLayout(this, 100, true);
    m_status = w.status;
    m_item = w.item;
    m_progress = w.progress;
    m_cancel = w.cancel;
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancelRequested(true); });
}

std::unique_ptr<LinkExchange> dlgXfer::createExchange()
{
    const TransferDirection direction =
        m_state == static_cast<int>(TransferDirection::Write) ? TransferDirection::Write : TransferDirection::Read;
    auto transfer = std::make_unique<BulkTransferExchange>(m_port, m_clock, m_tune, direction);
    if (m_someItems)
        transfer->SetItems(m_items);
    m_status->setText(transfer->StatusText());
    m_item->clear();
    m_progress->setValue(0);
    connect(transfer.get(), &LinkExchange::progressChanged, m_progress, &QProgressBar::setValue);
    connect(transfer.get(), &LinkExchange::itemTextChanged, m_item, &QLabel::setText);
    return transfer;
}

void dlgXfer::exchangeEnded()
{
    if (auto *transfer = qobject_cast<BulkTransferExchange *>(exchange()))
        m_itemsDone = transfer->ItemsDone();
}
