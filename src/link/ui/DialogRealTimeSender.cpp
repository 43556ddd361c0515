#include "link/ui/DialogRealTimeSender.h"

#include "link/ui/dlgRealTime.h"
#include "model/ProgramState.h"

DialogRealTimeSender::DialogRealTimeSender(LinkPort &port, ProgramState &state, MessageBoxService &messages,
                                           QWidget *parent, const LinkClock &clock)
    : m_port(port), m_state(state), m_messages(messages), m_parent(parent), m_clock(clock),
      m_queue([this](const QByteArray &frame) { run(frame); })
{
}

void DialogRealTimeSender::SendRealTimeValue(int item, int index, int value)
{
    const QByteArray frame = RealTimeFrame(item, index, value, m_state.tune);
    if (!frame.isEmpty())
        m_queue.Submit(frame);
}

void DialogRealTimeSender::SendRealTimeVersion(const QString &text)
{
    m_queue.Submit(RealTimeVersionFrame(text));
}

void DialogRealTimeSender::run(const QByteArray &frame)
{
    dlgRealTime dialog(m_port, m_messages, m_parent, m_clock);
    dialog.InitFrame(frame);
    dialog.exec();
}
