#pragma once

#include "link/ReplyExchange.h"
#include "model/Tune.h"
#include "model/TuneItems.h"

#include <vector>

// The two directions of a transfer, numbered like the connection states
// Reading and Writing they run in.
enum class TransferDirection { Read = 3, Write = 4 };

// The bulk tune read or write: one request per tune item in transfer order,
// 22 requests in all because the acceleration enrichment table has no place
// in the box.
//
// A read stores each item into the tune as soon as its reply is accepted, so
// a read that stops part-way leaves the items before the failure updated and
// the rest untouched. A write leaves the box with the new values of the items
// acknowledged so far. Outcome().ok() only when the whole walk completed;
// clearing ChangesNotSent on success is the caller's part.
class BulkTransferExchange : public ReplyExchange
{
    Q_OBJECT
public:
    BulkTransferExchange(LinkPort &port, const LinkClock &clock, Tune &tune, TransferDirection direction,
                         QObject *parent = nullptr);

    // Walks only these items (in the order given; an item not in the box is
    // dropped) instead of all of them. Set before Start().
    void SetItems(const std::vector<TuneItem> &items);
    const std::vector<TuneItem> &Items() const { return m_walk; }

    void Start() override;

    TransferDirection Direction() const { return m_direction; }
    // The item in flight, none before the first request.
    std::optional<TuneItem> CurrentItem() const { return m_item; }
    // The number of items accepted by the box or stored into the tune.
    int ItemsDone() const { return m_itemsDone; }

    // Progress of a whole walk once the item numbered n is in flight:
    // 100 / 23 x n, to the nearest whole percent.
    static int ProgressFor(int itemNumber);

private:
    enum class Advance { Sent, Complete, Failed };
    Advance advance();
    void replyAccepted(QByteArray reply) override;

    Tune &m_tune;
    TransferDirection m_direction;
    std::vector<TuneItem> m_walk;
    bool m_fullWalk = true;
    int m_position = 0; // requests sent so far
    std::optional<TuneItem> m_item;
    int m_itemsDone = 0;
};
