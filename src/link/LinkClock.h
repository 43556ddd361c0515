#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The time the link's exchanges measure their time-outs and handshake polls
// against. Timer ticks arrive late and irregularly under load, so every
// time-out is a span of elapsed time, never a number of ticks. Tests drive a
// ManualLinkClock instead of waiting.
class LinkClock
{
public:
    virtual ~LinkClock() = default;
    // Milliseconds since an arbitrary fixed start.
    virtual qint64 NowMs() const = 0;

    // The monotonic system clock, shared by every exchange of the program.
    static const LinkClock &Steady();
};

class SteadyLinkClock : public LinkClock
{
public:
    SteadyLinkClock() { m_timer.start(); }
    qint64 NowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

// A clock that only moves when told to.
class ManualLinkClock : public LinkClock
{
public:
    qint64 NowMs() const override { return m_now; }
    void Advance(qint64 ms) { m_now += ms; }
    void Set(qint64 ms) { m_now = ms; }

private:
    qint64 m_now = 0;
};

inline const LinkClock &LinkClock::Steady()
{
    static const SteadyLinkClock clock;
    return clock;
}
