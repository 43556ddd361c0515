#pragma once

#include "link/RealTimeSender.h"
#include "link/RealTimeWrite.h"
#include "link/LinkClock.h"


class LinkPort;
class LinkSession;
class MessageBoxService;
class QWidget;
class Tune;

// The program's real-time writes: each runs in a modal dlgRealTime over the
// shared port. A write asked for while another waits for its acknowledgement
// (the acquisition loop keeps ticking meanwhile) is queued and goes out when
// that one has finished; the call that queued it returns at once, the first
// call returns when the queue is empty. VQ entries and the version text come
// from the tune, which the editor has already updated. How each write ended
// goes to the link session, which keeps what the box holds.
class DialogRealTimeSender : public RealTimeSender
{
public:
    DialogRealTimeSender(LinkPort &port, const Tune &tune, LinkSession &link, MessageBoxService &messages,
                         QWidget *parent = nullptr, const LinkClock &clock = LinkClock::Steady());

    void SendRealTimeValue(TuneItem item, int index, int value) override;
    void SendRealTimeVersion(const QString &text) override;
    // One frame for the whole block, queued like every other write.
    void SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data) override;

    void SetParent(QWidget *parent) { m_parent = parent; }
    bool Busy() const { return m_queue.Busy(); }

private:
    void run(const QByteArray &frame);

    LinkPort &m_port;
    const Tune &m_tune;
    LinkSession &m_link;
    MessageBoxService &m_messages;
    QWidget *m_parent;
    const LinkClock &m_clock;
    RealTimeWriteQueue m_queue;
};
