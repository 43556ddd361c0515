#include "link/LinkExchange.h"

#include "link/LinkIO.h"
#include "link/LinkMessages.h"

LinkExchange::LinkExchange(LinkPort &port, const LinkClock &clock, QObject *parent)
    : QObject(parent), m_port(port), m_clock(clock)
{
}

void LinkExchange::Cancel()
{
    finish(LinkOutcome::cancelled());
}

void LinkExchange::PortLost()
{
    finish(LinkOutcome::failure(LinkResult::PortLost, LinkMessages::PortLost(m_port.LostDescription()),
                                MsgIcon::Critical));
}

void LinkExchange::setProgress(int value)
{
    if (value == m_progress)
        return;
    m_progress = value;
    emit progressChanged(value);
}

void LinkExchange::setItemText(const QString &text)
{
    if (text == m_itemText)
        return;
    m_itemText = text;
    emit itemTextChanged(text);
}

void LinkExchange::finish(const LinkOutcome &outcome)
{
    if (m_finished)
        return;
    m_finished = true;
    m_outcome = outcome;
    finishing(m_outcome);
    emit finished();
}

bool LinkExchange::sendRequest(const QByteArray &frame)
{
    // Whatever an earlier, abandoned exchange left in the receive buffer
    // (a late reply, a stray byte) must not become the front of this reply.
    m_port.DiscardInput();
    QString why;
    if (SendBytes(m_port, frame, &why))
        return true;
    finish(LinkOutcome::failure(LinkResult::SendFailed, LinkMessages::SendFailure(why), MsgIcon::None));
    return false;
}
