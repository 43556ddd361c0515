#include "link/Handshake.h"

#include "link/Frames.h"
#include "link/LinkIO.h"
#include "link/LinkMessages.h"

HandshakeExchange::HandshakeExchange(LinkPort &port, const LinkClock &clock, HandshakeTimings timings,
                                     QObject *parent)
    : LinkExchange(port, clock, parent), m_timings(timings)
{
    setStatusText(QString::fromLatin1(LinkMessages::ConnectingLabel));
    setProgressMaximum(100);
}

void HandshakeExchange::Start()
{
    if (m_phase != Phase::NotStarted || Finished())
        return;
    m_pollCounter = 1;
    m_major = m_minor = m_id = 0;
    if (!m_port.Open()) {
        // The port's own words: "No such file or directory", "Permission
        // error while locking the device", ...
        finish(LinkOutcome::failure(LinkResult::OpenFailed, m_port.ErrorDescription(), MsgIcon::None));
        return;
    }
    m_phase = Phase::WaitingToSend;
    m_dueMs = now() + m_timings.startDelayMs;
}

void HandshakeExchange::Tick()
{
    if (Finished() || m_phase == Phase::NotStarted)
        return;
    const qint64 t = now();
    if (t < m_dueMs)
        return;
    if (m_phase == Phase::WaitingToSend) {
        m_port.DiscardInput();
        QString why;
        if (!SendBytes(m_port, Frames::VersionRequest(), &why)) {
            fail(LinkResult::SendFailed, LinkMessages::SendFailure(why), MsgIcon::None);
            return;
        }
        m_phase = Phase::Polling;
        m_dueMs = t + m_timings.pollIntervalMs;
        return;
    }
    // Polls keep their rhythm from the request; a tick that came very late
    // does not make the next poll follow straight after it.
    m_dueMs += m_timings.pollIntervalMs;
    if (m_dueMs <= t)
        m_dueMs = t + m_timings.pollIntervalMs;
    poll();
}

void HandshakeExchange::poll()
{
    setProgress(20 * m_pollCounter);
    if (m_pollCounter == Polls) {
        fail(LinkResult::NoAnswer, QString::fromLatin1(LinkMessages::NoAnswer), MsgIcon::Critical);
        return;
    }
    ++m_pollCounter;
    QByteArray answer;
    if (!ReadAvailable(m_port, answer))
        return;
    // Whatever has arrived is judged now: an answer still on its way counts
    // as a bad one.
    if (answer.size() != 3 || answer[0] == Frames::Refusal) {
        fail(LinkResult::BadVersion, QString::fromLatin1(LinkMessages::BadVersion), MsgIcon::Critical);
        return;
    }
    m_major = static_cast<unsigned char>(answer[0]);
    m_minor = static_cast<unsigned char>(answer[1]);
    m_id = static_cast<unsigned char>(answer[2]);
    finish(LinkOutcome::success());
}

void HandshakeExchange::fail(LinkResult result, const QString &text, MsgIcon icon)
{
    m_port.Close();
    finish(LinkOutcome::failure(result, text, icon));
}

void HandshakeExchange::Cancel()
{
    if (Finished())
        return;
    m_port.Close();
    LinkExchange::Cancel();
}

QString HardwareVersionText(int major, int minor, int id)
{
    return QStringLiteral("Hardware Version %1.%2 (%3)   ")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(id);
}
