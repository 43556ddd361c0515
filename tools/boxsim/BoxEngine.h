#pragma once

#include <QByteArray>
#include <cstdint>

// The box's side of the serial protocol, without any I/O: bytes go in one at a
// time, and every complete request comes back out together with the answer
// the box gives to it. The engine holds the 32 KB calibration memory the
// requests read and write, and the faults the simulated box was asked to show.
namespace boxsim {

struct BoxFaults
{
    std::uint8_t version[3] = {2, 5, 7};  // major, minor, hardware ID
    bool refuseVersion = false;           // answer "VV" with 0x3F 0x00 0x00
    int silentAfter = -1;                 // answer only the first N frames (-1: all)
    int badReadChecksum = 0;              // the Nth read reply (1-based) carries a wrong checksum
    int badAck = 0;                       // the Nth write frame (W and w together) is answered 'X'
    bool extraByte = false;               // one extra 0x00 behind every reply
};

enum class FrameKind { Version, Read, BlockWrite, RealTimeWrite };

// One complete request and what the box does about it.
struct Exchange
{
    FrameKind kind = FrameKind::Version;
    QByteArray request;  // every byte of the frame, checksum included
    QByteArray reply;    // what goes back on the line; empty when the box stays silent
    bool applied = false;  // a write whose data went into the memory
};

class BoxEngine
{
public:
    static constexpr int MemorySize = 32768;
    static constexpr char ErrorAck = 0x58;  // "X": the answer to a write the box did not take

    // image must hold exactly MemorySize bytes.
    explicit BoxEngine(const QByteArray &image, const BoxFaults &faults = {});

    // Takes one received byte. Returns true when it completed a request;
    // exchange then describes it. Bytes that cannot start a request are
    // dropped one at a time until a request lines up again.
    bool feed(char byte, Exchange &exchange);

    const QByteArray &memory() const { return m_memory; }
    // Bytes received and not yet part of a complete request.
    int pendingBytes() const { return static_cast<int>(m_pending.size()); }
    // Bytes dropped while looking for the start of a request.
    qint64 discardedBytes() const { return m_discarded; }

private:
    // Length of the request at the front of m_pending: 0 while it cannot be
    // known yet, -1 when the first byte starts no request.
    int frameLength() const;
    Exchange answer(const QByteArray &frame);
    QByteArray answerRead(const QByteArray &frame);
    QByteArray answerWrite(const QByteArray &frame, bool &applied);

    QByteArray m_memory;
    BoxFaults m_faults;
    QByteArray m_pending;
    qint64 m_discarded = 0;
    int m_frames = 0;       // complete requests received
    int m_readReplies = 0;  // read replies sent
    int m_writeFrames = 0;  // write frames (W and w) received
};

} // namespace boxsim
