#pragma once

#include "link/BoxContents.h"
#include "link/StagedRevLimiter.h"
#include "model/TuneItems.h"

#include <QByteArray>
#include <QObject>
#include <optional>
#include <vector>

class Tune;

// The connection states of the link to the box. Any state other than
// NotConnected counts as connected.
namespace ConnectionState {
enum : int { NotConnected = 0, Connecting = 1, Idle = 2, Reading = 3, Writing = 4 };
} // namespace ConnectionState

// The one owner of the link's state: the connection state, real-time mode,
// what the box is known to hold and whether the staged rev limiter holds the
// box's rev limit. Commands ask it and call its transitions; windows listen
// to its signals. A transition that is not allowed from the current state
// returns false and changes nothing.
//
//   NotConnected --BeginConnect--> Connecting --HandshakeAnswered--> Idle
//   Connecting --HandshakeFailed--> NotConnected
//   Idle --BeginTransfer--> Reading | Writing --EndTransfer--> Idle
//   connected, real time off --Disconnect--> NotConnected
//   connected --StartRealTime / StopRealTime--> real time on / off
//   any --PortLost--> NotConnected, real time off, staged limit gone
//
// Real-time mode exists only inside a connection, and no bulk transfer runs
// while it is on.
class LinkSession : public QObject
{
    Q_OBJECT
public:
    int ConnectionState() const { return m_state; }
    bool Connected() const { return m_state != ConnectionState::NotConnected; }
    // The box has answered the handshake (the whole-image commands need it).
    bool Answered() const;
    bool RealTimeEnabled() const { return m_realTime; }

    const BoxContents &Box() const { return m_box; }
    const StagedRevLimiter &StagedLimiter() const { return m_staged; }

    bool BeginConnect();
    bool HandshakeAnswered();
    bool HandshakeFailed();
    bool BeginTransfer(bool reading);
    bool EndTransfer();
    // Real-time mode must have been stopped first (its stop may write to the
    // box, which needs the port).
    bool Disconnect();
    void PortLost();

    bool StartRealTime();
    // Leaves real-time mode: the tune's rev limit to write back when the
    // staged limit was in force (tuneLimit is the tune's rev-limiter byte).
    std::optional<int> StopRealTime(int tuneLimit);

    // One digital input of an acquisition tick through the staged rev
    // limiter: the rev limit to write now, if any.
    std::optional<int> StagedInputRead(const StagedRevLimiter::Settings &settings, const QString &name, bool high,
                                       int tuneLimit);

    // What the box holds after a bulk transfer over walk that got through
    // its first done items (see BoxContents::RecordTransfer).
    void RecordTransfer(const Tune &tune, const std::vector<TuneItem> &walk, int done, bool writing);
    // After a real-time write: acknowledged or not (see
    // BoxContents::RecordRealTimeWrite). A failed one is reported through
    // realTimeWriteFailed. roundTripMs: from the frame's sending to its
    // acknowledgement, when measured.
    void RealTimeWriteEnded(const QByteArray &frame, bool acknowledged,
                            std::optional<qint64> roundTripMs = std::nullopt);
    // The round trip of the last acknowledged real-time write of this run of
    // real-time mode, ms.
    std::optional<qint64> LastRealTimeRoundTripMs() const { return m_lastRoundTripMs; }
    // An image went into the box behind the tune's back: nothing is known.
    void ForgetBox();

signals:
    // The connection state or real-time mode changed.
    void changed();
    void realTimeStarted();
    // After real-time mode ended (the staged limit's write, if any, is the
    // caller's).
    void realTimeStopped();
    // What the box is known to hold changed.
    void boxChanged();
    // A real-time write did not reach the box; item is what it wrote to.
    void realTimeWriteFailed(std::optional<TuneItem> item);
    // A real-time write was acknowledged.
    void realTimeWritten();
    // A transfer went through to its end: every item of the tune, or only
    // those the box did not hold (whole is false).
    void transferred(bool writing, bool whole);

private:
    bool moveTo(int from, int to);

    int m_state = ConnectionState::NotConnected;
    bool m_realTime = false;
    BoxContents m_box;
    StagedRevLimiter m_staged;
    std::optional<qint64> m_lastRoundTripMs;
};
