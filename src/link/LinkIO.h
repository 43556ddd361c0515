#pragma once

#include "link/LinkOutcome.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Sends a whole frame. False when the port refused it; the port's own
// description is then in errorDescription.
bool SendBytes(LinkPort &port, const QByteArray &bytes, QString *errorDescription = nullptr);

// Takes every byte waiting on the port, chunk after chunk until nothing more
// is waiting, into bytes (which it clears first). True when at least one byte
// was waiting when it was called.
bool ReadAvailable(LinkPort &port, QByteArray &bytes);

// Gathers one reply of a known length.
//
// Ticks: a reply is judged at the first tick after the one that took its last
// byte, so a reply that grows past the expected count is never taken as
// complete. Data notifications: a reply is judged as soon as exactly the
// expected count has arrived. Either way, a reply longer than expected never
// completes and ends in a time-out: the idle one, or the deadline below.
//
// Idle time-out: IdleLimitMs of elapsed time in which no byte arrived (the
// reference is the moment the request went out, then the last arrival). The
// limit was first 50 ticks of a window timer that fires every 10 to 15.6 ms,
// half a second to eight-tenths of a second; half a second is kept, measured
// on the clock, because 50 ticks of a timer that honours 1 ms would be far
// too short a wait for a box. Bytes waiting at a late tick count as arrivals
// before the limit is judged, so a slow event loop never turns a reply that
// has arrived into a time-out.
//
// Overall deadline: a line that never falls idle (a box that trickles its
// reply or never stops sending) would hold the idle time-out off for ever, so
// every reply must also be whole within DeadlineMs(expected) of its request:
// twice its wire time at 115200 baud plus a fixed margin far above any stall
// of a loaded machine. A late tick that finds the reply's last bytes waiting
// still takes them, and the reply is judged as usual.
class ReplyCollector
{
public:
    static constexpr qint64 IdleLimitMs = 500;
    static constexpr qint64 DeadlineMarginMs = 1000;
    static constexpr qint64 LineBitsPerSecond = 115200;
    static constexpr qint64 BitsPerByte = 10;  // start, eight data bits, stop

    // The longest a whole reply of expected bytes may take, from its request.
    static constexpr qint64 DeadlineMs(int expected)
    {
        return (expected * BitsPerByte * 1000 * 2 + LineBitsPerSecond - 1) / LineBitsPerSecond + DeadlineMarginMs;
    }

    enum class Status { Waiting, Complete, TimedOut };

    // Empties the collector for a reply of expected bytes; nowMs is when the
    // request goes out.
    void Reset(int expected, qint64 nowMs);
    // One timer tick.
    Status Tick(LinkPort &port, qint64 nowMs);
    // The port says bytes are waiting.
    Status Data(LinkPort &port, qint64 nowMs);

    const QByteArray &Bytes() const { return m_bytes; }
    int Expected() const { return m_expected; }

private:
    void take(LinkPort &port, qint64 nowMs);

    QByteArray m_bytes;
    int m_expected = 0;
    qint64 m_lastActivityMs = 0;
    qint64 m_deadlineMs = 0;
};

// The outcomes every exchange shares for the same failure.
namespace LinkFailures {
LinkOutcome TimedOut(bool waitingForData);
LinkOutcome ChecksumError();
LinkOutcome NotAcknowledged();
} // namespace LinkFailures

// What a transfer makes of the collector's state for one request: still
// waiting, ended by a failure, or a reply to take (a read reply whose
// checksum holds, or an "O" acknowledgement).
struct ReplyVerdict
{
    enum class Kind { Pending, Failed, Accepted };
    Kind kind = Kind::Pending;
    LinkOutcome failure;
};
ReplyVerdict JudgeTransferReply(ReplyCollector::Status status, bool reading, const QByteArray &reply);
