#include "link/ui/DialogRealTimeSender.h"

#include "link/ui/dlgRealTime.h"
#include "link/LinkSession.h"

DialogRealTimeSender::DialogRealTimeSender(LinkPort &port, const Tune &tune, LinkSession &link,
                                           MessageBoxService &messages, QWidget *parent, const LinkClock &clock)
    : m_port(port), m_tune(tune), m_link(link), m_messages(messages), m_parent(parent), m_clock(clock),
      m_queue([this](const QByteArray &frame) { run(frame); })
{
}

void DialogRealTimeSender::SendRealTimeValue(TuneItem item, int index, int value)
{
    const QByteArray frame = RealTimeFrame(item, index, value, m_tune);
    if (frame.isEmpty())
        return;
    m_queue.Submit(frame);
}

void DialogRealTimeSender::SendRealTimeVersion(const QString &text)
{
    m_queue.Submit(RealTimeVersionFrame(text));
}

void DialogRealTimeSender::SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data)
{
    const QByteArray frame = RealTimeBytesFrame(item, offset, data);
    if (frame.isEmpty())
        return;
    m_queue.Submit(frame);
}

void DialogRealTimeSender::run(const QByteArray &frame)
{
    LinkOutcome outcome;
    std::optional<qint64> roundTripMs;
    if (m_port.IsLost()) {
        // The writes queued behind the one the port died under: one report
        // of the loss is enough.
        outcome = LinkOutcome::failure(LinkResult::PortLost, {}, MsgIcon::None);
    } else {
        dlgRealTime dialog(m_port, m_messages, m_parent, m_clock);
        dialog.InitFrame(frame);
        dialog.exec();
        outcome = dialog.Outcome();
        roundTripMs = dialog.ElapsedMs();
    }
    // A failure has already been shown; a write on a port that has died is
    // not tried and ends as PortLost.
    m_link.RealTimeWriteEnded(frame, outcome.ok(), roundTripMs);
}
