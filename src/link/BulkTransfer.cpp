#include "link/BulkTransfer.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "platform/Rounding.h"
#include "model/TuneItems.h"

BulkTransferExchange::BulkTransferExchange(LinkPort &port, const LinkClock &clock, Tune &tune,
                                           TransferDirection direction, QObject *parent)
    : ReplyExchange(port, clock, direction == TransferDirection::Read, parent), m_tune(tune), m_direction(direction)
{
    setProgressMaximum(100);
    setStatusText(QString::fromLatin1(direction == TransferDirection::Read ? LinkMessages::ReadingLabel
                                                                             : LinkMessages::WritingLabel));
    for (int item = 1; item <= TuneItemCount; ++item)
        if (IsTransferredItem(item))
            m_walk.push_back(item);
}

void BulkTransferExchange::SetItems(const std::vector<int> &items)
{
    if (started())
        return;
    m_walk.clear();
    for (int item : items)
        if (IsTransferredItem(item))
            m_walk.push_back(item);
    m_fullWalk = false;
}

int BulkTransferExchange::ProgressFor(int item)
{
    return static_cast<int>(vnt::RoundHalfEven(100.0 / TuneItemCount * item));
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
        setProgress(ProgressFor(m_item));
    else
        setProgress(m_walk.empty() ? 100 : static_cast<int>(vnt::RoundHalfEven(100.0 * m_position / m_walk.size())));
    if (m_position >= static_cast<int>(m_walk.size()))
        return Advance::Complete;
    m_item = m_walk[m_position++];
    const TuneItem &item = *FindTuneItem(m_item);
    QByteArray frame;
    if (m_direction == TransferDirection::Read) {
        frame = Frames::ReadRequest(item.address, item.size);
        m_reply.Reset(item.size + 1, now());
        setItemText(QStringLiteral("Retrieving %1...").arg(QLatin1String(item.name)));
    } else {
        frame = Frames::WriteRequest(item.address, ItemBytes(m_tune, m_item));
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
        StoreItemBytes(m_tune, m_item, reply.left(reply.size() - 1));
    ++m_itemsDone;
    if (advance() == Advance::Complete)
        finish(LinkOutcome::success());
}
