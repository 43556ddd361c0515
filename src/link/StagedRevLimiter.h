#pragma once

#include <QString>
#include <optional>

// The staged rev limiter: while a digital input is high (a launch button,
// say) the box holds a staged rev limit instead of the tune's own; when the
// input drops, or real-time mode ends, the tune's limit goes back. Rev
// limits are rev-limiter bytes (RPM / 50).
//
// The rule returns the write to make; the caller sends it. The state changes
// before the caller writes, so that a tick run while that write waits for its
// acknowledgement does not send the same edge again.
class StagedRevLimiter
{
public:
    // The preferences the rule follows.
    struct Settings
    {
        bool enabled = false;
        QString input;  // the name of the digital input that switches
        int limit = 60; // the staged rev-limiter byte
    };

    // True while the box holds the staged limit (StagedRevLimitActive): a new
    // rev limit typed meanwhile waits in the tune.
    bool Active() const { return m_active; }

    // One digital input of a tick, high or low: the rev limit to write now,
    // if this input switches the limiter. A limiter disabled while its limit
    // is in force gives the tune's limit back at the next input read.
    std::optional<int> InputRead(const Settings &settings, const QString &name, bool high, int tuneLimit);
    // The rev-limiter byte in force: the staged one while active.
    int LimitInForce(const Settings &settings, int tuneLimit) const { return m_active ? settings.limit : tuneLimit; }

    // Real-time mode starts: the tune's limit is in the box.
    void RealTimeStarted() { m_active = false; }
    // Real-time mode ends: the tune's limit to write back, if the staged one
    // was in force.
    std::optional<int> RealTimeEnding(int tuneLimit);
    // The box is gone: there is nothing to give the tune's limit back to.
    void BoxLost() { m_active = false; }

private:
    bool m_active = false;
};
