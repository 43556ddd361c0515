#include "link/LinkSession.h"

using namespace ConnectionState;

bool LinkSession::Answered() const
{
    return m_state == Idle || m_state == Reading || m_state == Writing;
}

bool LinkSession::moveTo(int from, int to)
{
    if (m_state != from)
        return false;
    m_state = to;
    emit changed();
    return true;
}

bool LinkSession::BeginConnect()
{
    if (m_state != NotConnected)
        return false;
    m_box.Forget(); // whatever box answers now, nothing is known of it yet
    m_staged.BoxLost();
    emit boxChanged();
    return moveTo(NotConnected, Connecting);
}

bool LinkSession::HandshakeAnswered()
{
    return moveTo(Connecting, Idle);
}

bool LinkSession::HandshakeFailed()
{
    return moveTo(Connecting, NotConnected);
}

bool LinkSession::BeginTransfer(bool reading)
{
    return !m_realTime && moveTo(Idle, reading ? Reading : Writing);
}

bool LinkSession::EndTransfer()
{
    if (m_state != Reading && m_state != Writing)
        return false;
    return moveTo(m_state, Idle);
}

bool LinkSession::Disconnect()
{
    if (m_state == NotConnected || m_realTime)
        return false;
    return moveTo(m_state, NotConnected);
}

void LinkSession::PortLost()
{
    const bool wasRealTime = m_realTime;
    m_realTime = false;
    m_staged.BoxLost();
    if (wasRealTime)
        emit realTimeStopped();
    if (m_state != NotConnected)
        moveTo(m_state, NotConnected);
    else if (wasRealTime)
        emit changed();
}

bool LinkSession::StartRealTime()
{
    if (!Connected() || m_realTime)
        return false;
    m_realTime = true;
    m_lastRoundTripMs.reset();
    m_staged.RealTimeStarted();
    emit changed();
    emit realTimeStarted();
    return true;
}

std::optional<int> LinkSession::StopRealTime(int tuneLimit)
{
    if (!m_realTime)
        return std::nullopt;
    m_realTime = false;
    const std::optional<int> restore = m_staged.RealTimeEnding(tuneLimit);
    emit changed();
    emit realTimeStopped();
    return restore;
}

std::optional<int> LinkSession::StagedInputRead(const StagedRevLimiter::Settings &settings, const QString &name,
                                                bool high, int tuneLimit)
{
    return m_staged.InputRead(settings, name, high, tuneLimit);
}

void LinkSession::RecordTransfer(const Tune &tune, const std::vector<TuneItem> &walk, int done, bool writing)
{
    m_box.RecordTransfer(tune, walk, done, writing);
    emit boxChanged();
    if (done == static_cast<int>(walk.size()))
        emit transferred(writing, walk.size() == TransferWalk().size());
}

void LinkSession::RealTimeWriteEnded(const QByteArray &frame, bool acknowledged, std::optional<qint64> roundTripMs)
{
    const std::optional<TuneItem> item = m_box.RecordRealTimeWrite(frame, acknowledged);
    if (acknowledged && roundTripMs)
        m_lastRoundTripMs = roundTripMs;
    emit boxChanged();
    if (acknowledged)
        emit realTimeWritten();
    else
        emit realTimeWriteFailed(item);
}

void LinkSession::ForgetBox()
{
    m_box.Forget();
    emit boxChanged();
}
