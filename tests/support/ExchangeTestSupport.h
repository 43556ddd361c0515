#pragma once

#include "link/LinkClock.h"
#include "link/LinkExchange.h"
#include "support/ScriptedPort.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <initializer_list>

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// How a test feeds an exchange: ticks alone (every reply judged at the tick
// after its last byte), or data notifications as well (judged on arrival).
enum class Feed { Ticks, Notifications };

// Drives an exchange with ticks every stepMs of the manual clock (and, when
// asked, a data notification whenever bytes wait) until it ends or maxMs
// have passed. Returns whether it ended.
inline bool Drive(LinkExchange &exchange, ScriptedPort &port, ManualLinkClock &clock,
                  Feed feed = Feed::Ticks, qint64 stepMs = 1, qint64 maxMs = 120000)
{
    const qint64 end = clock.NowMs() + maxMs;
    while (!exchange.Finished() && clock.NowMs() < end) {
        if (feed == Feed::Notifications && port.Waiting() > 0) {
            exchange.DataArrived();
            continue;
        }
        clock.Advance(stepMs);
        exchange.Tick();
    }
    return exchange.Finished();
}

// A recognisable image: every byte differs from its neighbours.
inline QByteArray PatternImage(quint32 seed = 7)
{
    QRandomGenerator random(seed);
    QByteArray image(32768, '\0');
    for (char &c : image)
        c = static_cast<char>(random.bounded(256));
    return image;
}
