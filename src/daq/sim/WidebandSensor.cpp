#include "daq/sim/WidebandSensor.h"

#include <algorithm>
#include <cmath>

double WidebandSensor::arriving(double t)
{
    // Entries older than the one before t are never asked for again: the
    // clock only runs forwards.
    while (m_line.size() > 1 && m_line[1].first <= t)
        m_line.pop_front();
    const auto &[t0, r0] = m_line.front();
    if (m_line.size() == 1 || t <= t0)
        return r0;
    const auto &[t1, r1] = m_line[1];
    return r0 + (r1 - r0) * (t - t0) / (t1 - t0);
}

void WidebandSensor::Step(double nowMs, double dtMs, double ratio)
{
    m_line.emplace_back(nowMs, ratio);
    m_nowMs = nowMs;
    const double input = arriving(nowMs - m_delayMs);
    if (!m_started) {
        // The first exhaust: the sensor starts from it rather than from 0.
        m_sensed = input;
        m_started = true;
        return;
    }
    m_sensed += (input - m_sensed) * (1.0 - std::exp(-std::max(0.0, dtMs) / LagMs));
}

double WidebandSensor::Voltage() const
{
    if (m_nowMs < HeaterMs || !m_started)
        return 0.0;
    const double v = (m_sensed - LowRatio) / (HighRatio - LowRatio) * FullScaleVolts;
    return std::clamp(v, 0.0, FullScaleVolts);
}
