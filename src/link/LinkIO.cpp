#include "link/LinkIO.h"

bool SendBytes(LinkPort &port, const QByteArray &bytes, QString *errorDescription)
{
    if (port.Output(bytes))
        return true;
    if (errorDescription)
        *errorDescription = port.ErrorDescription();
    return false;
}

bool ReadAvailable(LinkPort &port, QByteArray &bytes)
{
    const bool any = port.InBufferCount() >= 1;
    bytes.clear();
    while (port.InBufferCount() >= 1)
        bytes.append(port.Input());
    return any;
}

void ReplyCollector::Reset(int expected, qint64 nowMs)
{
    m_bytes.clear();
    m_expected = expected;
    m_lastActivityMs = nowMs;
}

void ReplyCollector::take(LinkPort &port, qint64 nowMs)
{
    QByteArray chunk;
    if (ReadAvailable(port, chunk)) {
        m_bytes.append(chunk);
        m_lastActivityMs = nowMs;
    }
}

ReplyCollector::Status ReplyCollector::Tick(LinkPort &port, qint64 nowMs)
{
    if (m_bytes.size() == m_expected)
        return Status::Complete;
    if (port.InBufferCount() >= 1) {
        take(port, nowMs);
        return Status::Waiting;
    }
    if (nowMs - m_lastActivityMs >= IdleLimitMs)
        return Status::TimedOut;
    return Status::Waiting;
}

ReplyCollector::Status ReplyCollector::Data(LinkPort &port, qint64 nowMs)
{
    take(port, nowMs);
    return m_bytes.size() == m_expected ? Status::Complete : Status::Waiting;
}
