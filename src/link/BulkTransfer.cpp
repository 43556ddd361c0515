#include "link/BulkTransfer.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "platform/Rounding.h"

BulkTransferExchange::BulkTransferExchange(LinkPort &port, const LinkClock &clock, Tune &tune,
                                           TransferDirection direction, QObject *parent)
    : ReplyExchange(port, clock, direction == TransferDirection::Read, parent), m_tune(tune), m_direction(direction)
{
    setProgressMaximum(100);
    setStatusText(QString::fromLatin1(direction == TransferDirection::Read ? LinkMessages::ReadingLabel
                                                                             : LinkMessages::WritingLabel));
    m_walk = TransferWalk();
}

void BulkTransferExchange::SetItems(const std::vector<TuneItem> &items)
{
    if (started())
        return;
    m_walk.clear();
    for (TuneItem item : items)
        if (Info(item).InBox())
            m_walk.push_back(item);
    m_fullWalk = false;
}

int BulkTransferExchange::ProgressFor(int itemNumber)
{
    return vnt::R(100.0 / TuneItemCount * itemNumber);
}

void BulkTransferExchange::Start()
{
    if (started() || Finished())
        return;
    markStarted();
    if (advance() == Advance::Complete)
        finish(LinkOutcome::success());
}

BulkTransferExchange::Advance BulkTransferExchange::advance()
{
    if (m_fullWalk)
        setProgress(ProgressFor(m_item ? Number(*m_item) : 0));
    else
        setProgress(m_walk.empty() ? 100 : vnt::R(100.0 * m_position / static_cast<double>(m_walk.size())));
    if (m_position >= static_cast<int>(m_walk.size()))
        return Advance::Complete;
    m_item = m_walk[static_cast<std::size_t>(m_position++)];
    const TuneItemInfo &item = Info(*m_item);
    QByteArray frame;
    if (m_direction == TransferDirection::Read) {
        frame = Frames::ReadRequest(item.address, item.size);
        m_reply.Reset(item.size + 1, now());
        setItemText(QStringLiteral("Retrieving %1...").arg(QLatin1String(item.name)));
    } else {
        frame = Frames::WriteRequest(item.address, ItemBytes(m_tune, *m_item));
        m_reply.Reset(1, now());
        setItemText(QStringLiteral("Writing %1...").arg(QLatin1String(item.name)));
    }
    // A send failure after the first request is reported too: ending the
    // transfer without a word would look like success.
    return sendRequest(frame) ? Advance::Sent : Advance::Failed;
}

void BulkTransferExchange::replyAccepted(QByteArray reply)
{
    const bool reading = m_direction == TransferDirection::Read;
    if (reading)
        StoreItemBytes(m_tune, *m_item, reply.left(reply.size() - 1));
    ++m_itemsDone;
    if (advance() == Advance::Complete)
        finish(LinkOutcome::success());
}
