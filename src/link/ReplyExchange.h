#pragma once

#include "link/LinkExchange.h"
#include "link/LinkIO.h"

// An exchange whose every request is answered by one reply that the reply
// collector gathers: a read reply, taken when its checksum holds, or a write
// acknowledgement, taken when it is "O". Failures (time-out, checksum, any
// other acknowledgement) end the exchange with their shared message; an
// accepted reply goes to replyAccepted, which sends the next request or
// finishes.
class ReplyExchange : public LinkExchange
{
    Q_OBJECT
public:
    void Tick() final;
    void DataArrived() final;

protected:
    ReplyExchange(LinkPort &port, const LinkClock &clock, bool readsData, QObject *parent);

    virtual void replyAccepted(QByteArray reply) = 0;

    // Ticks and data before the first request are ignored.
    bool started() const { return m_started; }
    void markStarted() { m_started = true; }
    // Whether replies carry data (reads) or acknowledge (writes).
    void setReadsData(bool reads) { m_readsData = reads; }

    ReplyCollector m_reply;

private:
    void handle(ReplyCollector::Status status);

    bool m_readsData;
    bool m_started = false;
};
