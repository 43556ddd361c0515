#pragma once

#include "link/ReplyExchange.h"
#include "model/Tune.h"

#include <vector>

// The two directions of a transfer, numbered like the connection states
// Reading and Writing they run in.
enum class TransferDirection { Read = 3, Write = 4 };

// The bulk tune read or write: one request per tune item, items 1 to 23 in
// order, 22 requests in all because item 21 has no place in the box.
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

    // Walks only these items (in the order given; item 21 and numbers outside
    // 1..23 are dropped) instead of all of them. Set before Start().
    void SetItems(const std::vector<int> &items);
    const std::vector<int> &Items() const { return m_walk; }

    void Start() override;

    TransferDirection Direction() const { return m_direction; }
    // The item in flight, 0 before the first request.
    int CurrentItem() const { return m_item; }
    // The number of items accepted by the box or stored into the tune.
    int ItemsDone() const { return m_itemsDone; }

    // Progress after n items: 100 / 23 x n, to the nearest whole percent.
    static int ProgressFor(int item);

private:
    enum class Advance { Sent, Complete, Failed };
    Advance advance();
    void replyAccepted(QByteArray reply) override;

    Tune &m_tune;
    TransferDirection m_direction;
    std::vector<int> m_walk;
    bool m_fullWalk = true;
    int m_position = 0; // requests sent so far
    int m_item = 0;
    int m_itemsDone = 0;
};
