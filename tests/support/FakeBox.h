#pragma once

// The box's side of the protocol in memory: a 32 KB image that answers the
// version, read, block write and real-time write frames, with a few faults
// switchable per frame. Paired with ScriptedPort::peer.

#include "link/Frames.h"

#include <QByteArray>
#include <QList>
#include <functional>

class FakeBox
{
public:
    explicit FakeBox(const QByteArray &image = QByteArray(32768, '\0')) : image(image) {}

    QByteArray Respond(const QByteArray &frame)
    {
        frames.append(frame);
        const int number = static_cast<int>(frames.size());
        if (silentFrom > 0 && number >= silentFrom)
            return {};
        if (frame.size() == 2 && frame[0] == Frames::VersionCommand && frame[1] == Frames::VersionCommand)
            return version;
        if (frame.size() < 5)
            return {};
        const char command = frame[0];
        const int count = Frames::CountFromByte(frame[1]);
        const int address = Frames::MakeWord(static_cast<std::uint8_t>(frame[2]), static_cast<std::uint8_t>(frame[3]));
        if (command == Frames::ReadCommand) {
            ++reads;
            QByteArray reply = image.mid(address, count);
            reply.append(static_cast<char>(Frames::Sum8(reply) + (badReadChecksum == reads ? 1 : 0)));
            return reply + extra;
        }
        if (command == Frames::WriteCommand || command == Frames::RealTimeCommand) {
            ++writes;
            if (!Frames::IsChecksumValid(frame) || frame.size() != count + 5)
                return QByteArray(1, 'X') + extra;
            if (badAck == writes)
                return QByteArray(1, 0x3F) + extra;
            image.replace(address, count, frame.mid(4, count));
            return QByteArray(1, Frames::Acknowledge) + extra;
        }
        return {};
    }

    std::function<QByteArray(const QByteArray &)> Peer()
    {
        return [this](const QByteArray &f) { return Respond(f); };
    }

    QByteArray image;
    QByteArray version = QByteArray("\x02\x05\x07", 3);
    QByteArray extra;          // appended to every reply
    int badReadChecksum = -1;  // 1-based read whose reply has a wrong checksum
    int badAck = -1;           // 1-based write answered with '?'
    int silentFrom = -1;       // 1-based frame from which on nothing is answered
    int reads = 0;
    int writes = 0;
    QList<QByteArray> frames;
};
