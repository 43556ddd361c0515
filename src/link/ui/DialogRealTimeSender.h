#pragma once

#include "link/RealTimeSender.h"
#include "link/RealTimeWrite.h"
#include "link/LinkClock.h"

#include <functional>

class LinkPort;
class MessageBoxService;
class QWidget;
struct ProgramState;

// The program's real-time writes: each runs in a modal dlgRealTime over the
// shared port. A write asked for while another waits for its acknowledgement
// (the acquisition loop keeps ticking meanwhile) is queued and goes out when
// that one has finished; the call that queued it returns at once, the first
// call returns when the queue is empty. VQ entries and the version text come
// from the tune, which the editor has already updated.
class DialogRealTimeSender : public RealTimeSender
{
public:
    DialogRealTimeSender(LinkPort &port, ProgramState &state, MessageBoxService &messages,
                         QWidget *parent = nullptr, const LinkClock &clock = LinkClock::Steady());

    void SendRealTimeValue(TuneItem item, int index, int value) override;
    void SendRealTimeVersion(const QString &text) override;
    // One frame for the whole block, queued like every other write.
    void SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data) override;

    // Told of every write once it has ended, with its frame and how it ended
    // (a failure has already been shown; a write on a port that has died is
    // not tried and ends as PortLost).
    std::function<void(const QByteArray &frame, const LinkOutcome &outcome)> written;

    void SetParent(QWidget *parent) { m_parent = parent; }
    bool Busy() const { return m_queue.Busy(); }

private:
    void run(const QByteArray &frame);

    LinkPort &m_port;
    ProgramState &m_state;
    MessageBoxService &m_messages;
    QWidget *m_parent;
    const LinkClock &m_clock;
    RealTimeWriteQueue m_queue;
};
