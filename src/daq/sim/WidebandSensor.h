#pragma once

#include <deque>
#include <utility>

// A wideband oxygen sensor in the exhaust, with its controller's linear
// output: 0 V at an air-fuel ratio of 10, 5 V at 20, held at those ends.
//
// What the cylinders burn reaches the sensor after the transport delay (a
// delay line on the simulated clock), and the sensor follows it with a
// first-order lag. Until its heater has brought it to temperature the
// controller puts out 0 V.
class WidebandSensor
{
public:
    static constexpr double LowRatio = 10.0;
    static constexpr double HighRatio = 20.0;
    static constexpr double FullScaleVolts = 5.0;
    static constexpr double LagMs = 100.0;
    static constexpr double HeaterMs = 8000.0;
    static constexpr double SensorStepMs = 5.0;

    explicit WidebandSensor(double delayMs = 0.0) : m_delayMs(delayMs) {}

    // The exhaust of the step that ends at nowMs (dtMs long) burned ratio;
    // the sensor runs on to nowMs.
    void Step(double nowMs, double dtMs, double ratio);

    // The ratio at the sensor now, lagged; and the controller's output.
    double SensedRatio() const { return m_sensed; }
    double Voltage() const;

private:
    // What reached the sensor at time t: the ratio burned at t - delay.
    double arriving(double t);

    double m_delayMs;
    double m_nowMs = 0.0;
    bool m_started = false;
    double m_sensed = 0.0;
    std::deque<std::pair<double, double>> m_line; // (time burned, ratio), oldest first
};
