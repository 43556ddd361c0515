#include "link/ReplyExchange.h"

ReplyExchange::ReplyExchange(LinkPort &port, const LinkClock &clock, bool readsData, QObject *parent)
    : LinkExchange(port, clock, parent), m_readsData(readsData)
{
}

void ReplyExchange::Tick()
{
    if (!m_started || Finished())
        return;
    handle(m_reply.Tick(m_port, now()));
}

void ReplyExchange::DataArrived()
{
    if (!m_started || Finished())
        return;
    handle(m_reply.Data(m_port, now()));
}

void ReplyExchange::handle(ReplyCollector::Status status)
{
    const ReplyVerdict verdict = JudgeTransferReply(status, m_readsData, m_reply.Bytes());
    if (verdict.kind == ReplyVerdict::Kind::Failed)
        finish(verdict.failure);
    else if (verdict.kind == ReplyVerdict::Kind::Accepted)
        replyAccepted(m_reply.Bytes());
}
