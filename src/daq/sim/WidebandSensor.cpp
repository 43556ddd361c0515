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
    if (!m_started) {
        // The first exhaust: the sensor starts from it rather than from 0.
        m_sensed = arriving(nowMs - m_delayMs);
        m_nowMs = nowMs;
        m_started = true;
        return;
    }
    // The sensor follows the exhaust continuously, not once per step: in
    // short steps along what arrives over the whole step.
    const double from = nowMs - std::max(0.0, dtMs);
    const int parts = std::max(1, int(std::ceil((nowMs - from) / SensorStepMs)));
    const double h = (nowMs - from) / parts;
    for (int k = 1; k <= parts; ++k)
        m_sensed += (arriving(from + k * h - m_delayMs) - m_sensed) * (1.0 - std::exp(-h / LagMs));
    m_nowMs = nowMs;
}

double WidebandSensor::Voltage() const
{
    if (m_nowMs < HeaterMs || !m_started)
        return 0.0;
    const double v = (m_sensed - LowRatio) / (HighRatio - LowRatio) * FullScaleVolts;
    return std::clamp(v, 0.0, FullScaleVolts);
}
