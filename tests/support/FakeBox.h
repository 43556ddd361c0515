#pragma once

// The simulated box's protocol engine behind a scripted port, in memory:
// each frame the link sends is fed to it byte by byte and its reply comes
// back whole. Paired with ScriptedPort::peer.

#include "BoxEngine.h"

#include <QByteArray>
#include <QList>
#include <functional>

class FakeBox
{
public:
    explicit FakeBox(const QByteArray &image = QByteArray(32768, '\0'), const boxsim::BoxFaults &faults = {})
        : m_engine(image, faults)
    {
    }

    QByteArray Respond(const QByteArray &frame)
    {
        frames.append(frame);
        QByteArray reply;
        boxsim::Exchange exchange;
        for (char byte : frame) {
            if (!m_engine.feed(byte, exchange))
                continue;
            reply += exchange.reply;
            writes += exchange.kind == boxsim::FrameKind::BlockWrite || exchange.kind == boxsim::FrameKind::RealTimeWrite;
        }
        return reply;
    }

    std::function<QByteArray(const QByteArray &)> Peer()
    {
        return [this](const QByteArray &f) { return Respond(f); };
    }

    const QByteArray &image() const { return m_engine.memory(); }

    int writes = 0;
    QList<QByteArray> frames;

private:
    boxsim::BoxEngine m_engine;
};
