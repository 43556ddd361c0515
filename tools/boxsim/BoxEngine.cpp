#include "BoxEngine.h"

#include "link/Frames.h"

namespace boxsim {

namespace {

std::uint8_t byteAt(const QByteArray &bytes, int index)
{
    return static_cast<std::uint8_t>(bytes.at(index));
}

} // namespace

BoxEngine::BoxEngine(const QByteArray &image, const BoxFaults &faults)
    : m_memory(image), m_faults(faults)
{
    m_memory.resize(MemorySize, '\0');
}

int BoxEngine::frameLength() const
{
    if (m_pending.isEmpty())
        return 0;
    switch (m_pending.front()) {
    case Frames::VersionCommand:
        if (m_pending.size() < 2)
            return 0;
        return m_pending.at(1) == Frames::VersionCommand ? 2 : -1;
    case Frames::ReadCommand:
        return 5;
    case Frames::WriteCommand:
    case Frames::RealTimeCommand:
        if (m_pending.size() < 2)
            return 0;
        return Frames::CountFromByte(m_pending.at(1)) + 5;
    default:
        return -1;
    }
}

bool BoxEngine::feed(char byte, Exchange &exchange)
{
    m_pending.append(byte);
    for (;;) {
        const int length = frameLength();
        if (length < 0) {
            m_pending.remove(0, 1);
            ++m_discarded;
            continue;
        }
        if (length == 0 || m_pending.size() < length)
            return false;
        const QByteArray frame = m_pending.left(length);
        m_pending.remove(0, length);
        exchange = answer(frame);
        return true;
    }
}

Exchange BoxEngine::answer(const QByteArray &frame)
{
    Exchange exchange;
    exchange.request = frame;
    switch (frame.front()) {
    case Frames::VersionCommand: exchange.kind = FrameKind::Version; break;
    case Frames::ReadCommand: exchange.kind = FrameKind::Read; break;
    case Frames::WriteCommand: exchange.kind = FrameKind::BlockWrite; break;
    default: exchange.kind = FrameKind::RealTimeWrite; break;
    }

    ++m_frames;
    // A box that has gone silent takes nothing in either.
    if (m_faults.silentAfter >= 0 && m_frames > m_faults.silentAfter)
        return exchange;

    switch (exchange.kind) {
    case FrameKind::Version:
        if (m_faults.refuseVersion)
            exchange.reply = QByteArray("\x3F\x00\x00", 3);
        else
            exchange.reply = QByteArray(reinterpret_cast<const char *>(m_faults.version), 3);
        break;
    case FrameKind::Read:
        exchange.reply = answerRead(frame);
        break;
    case FrameKind::BlockWrite:
    case FrameKind::RealTimeWrite:
        exchange.reply = answerWrite(frame, exchange.applied);
        break;
    }
    if (m_faults.extraByte && !exchange.reply.isEmpty())
        exchange.reply.append('\0');
    return exchange;
}

QByteArray BoxEngine::answerRead(const QByteArray &frame)
{
    // A read the box cannot make sense of (wrong checksum, or running past the
    // end of the memory) gets no answer: there is no error reply for a read,
    // and a reply of the wrong length would only mislead the other side.
    if (!Frames::IsChecksumValid(frame))
        return {};
    const int address = Frames::MakeWord(byteAt(frame, 2), byteAt(frame, 3));
    const int count = Frames::CountFromByte(frame.at(1));
    if (address + count > MemorySize)
        return {};
    QByteArray reply = m_memory.mid(address, count);
    std::uint8_t checksum = Frames::Sum8(reply);
    if (++m_readReplies == m_faults.badReadChecksum)
        checksum = static_cast<std::uint8_t>(checksum + 1);
    reply.append(static_cast<char>(checksum));
    return reply;
}

QByteArray BoxEngine::answerWrite(const QByteArray &frame, bool &applied)
{
    applied = false;
    QByteArray refused(1, ErrorAck);
    if (++m_writeFrames == m_faults.badAck)
        return refused;
    if (!Frames::IsChecksumValid(frame))
        return refused;
    const int address = Frames::MakeWord(byteAt(frame, 2), byteAt(frame, 3));
    const int count = Frames::CountFromByte(frame.at(1));
    if (address + count > MemorySize)
        return refused;
    m_memory.replace(address, count, frame.mid(4, count));
    applied = true;
    return QByteArray(1, Frames::Acknowledge);
}

} // namespace boxsim
