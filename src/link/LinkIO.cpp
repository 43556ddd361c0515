#include "link/LinkIO.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"

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
    m_deadlineMs = nowMs + DeadlineMs(expected);
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
        // Exactly whole: judged at the next tick, however late this one is.
        if (m_bytes.size() == m_expected || nowMs < m_deadlineMs)
            return Status::Waiting;
        return Status::TimedOut;
    }
    if (nowMs - m_lastActivityMs >= IdleLimitMs || nowMs >= m_deadlineMs)
        return Status::TimedOut;
    return Status::Waiting;
}

ReplyCollector::Status ReplyCollector::Data(LinkPort &port, qint64 nowMs)
{
    take(port, nowMs);
    return m_bytes.size() == m_expected ? Status::Complete : Status::Waiting;
}

namespace LinkFailures {

LinkOutcome TimedOut(bool waitingForData)
{
    return waitingForData
               ? LinkOutcome::failure(LinkResult::DataTimeout, QString::fromLatin1(LinkMessages::DataTimeout),
                                      MsgIcon::Critical)
               : LinkOutcome::failure(LinkResult::ResponseTimeout,
                                      QString::fromLatin1(LinkMessages::ResponseTimeout), MsgIcon::Critical);
}

LinkOutcome ChecksumError()
{
    return LinkOutcome::failure(LinkResult::ChecksumError, QString::fromLatin1(LinkMessages::ChecksumError),
                                MsgIcon::Critical);
}

LinkOutcome NotAcknowledged()
{
    return LinkOutcome::failure(LinkResult::NotAcknowledged, QString::fromLatin1(LinkMessages::NotAcknowledged),
                                MsgIcon::Critical);
}

} // namespace LinkFailures

ReplyVerdict JudgeTransferReply(ReplyCollector::Status status, bool reading, const QByteArray &reply)
{
    using Kind = ReplyVerdict::Kind;
    if (status == ReplyCollector::Status::TimedOut)
        return {Kind::Failed, LinkFailures::TimedOut(reading)};
    if (status != ReplyCollector::Status::Complete)
        return {};
    if (reading && !Frames::IsChecksumValid(reply))
        return {Kind::Failed, LinkFailures::ChecksumError()};
    if (!reading && (reply.isEmpty() || reply[0] != Frames::Acknowledge))
        return {Kind::Failed, LinkFailures::NotAcknowledged()};
    return {Kind::Accepted, {}};
}
