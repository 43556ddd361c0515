#pragma once

#include <QtGlobal>

// A car on a test drive, for the simulated DAQ unit: a repeating drive cycle
// of idle, a staged launch (the launch switch held while the revs wait at
// the staged limit), pulls through five gears with a throttle lift at each
// shift, and a lift-off coast back to idle. It gives engine speed, throttle
// and load, and the voltages a typical installation wires to the eight
// analog channels; and the switch lines.
//
// Fully deterministic: the same seed and the same sequence of Advance()
// steps give the same values, so tests can rely on them.
class EngineModel
{
public:
    enum class Phase { Idle, Staging, Pull, Shift, Coast };

    // Gear ratios, 1st to 5th.
    static constexpr double GearRatio[6] = {0.0, 3.6, 2.1, 1.45, 1.1, 0.9};
    static constexpr double IdleRPM = 850.0;
    static constexpr double StagedRPM = 4200.0;
    static constexpr double ShiftRPM = 7000.0;
    // Durations in milliseconds.
    static constexpr double IdleTime = 4000.0;
    static constexpr double StagingTime = 2500.0;
    static constexpr double ShiftTime = 250.0;

    // Digital lines the model drives: D0 the launch switch (high while
    // staging), D1 the brake light (high while coasting).
    static constexpr int LaunchSwitchLine = 0;
    static constexpr int BrakeLine = 1;

    explicit EngineModel(quint32 seed = 1);

    // Runs the model on by ms milliseconds (in fixed 10 ms steps).
    void Advance(double ms);

    double TimeMs() const { return m_time; }
    Phase CurrentPhase() const { return m_phase; }
    int Gear() const { return m_gear; }
    double RPM() const { return m_rpm; }
    // The mean engine speed over the last Advance().
    double MeanRPM() const { return m_meanRPM; }
    double Throttle() const { return m_throttle; }
    // Cylinder filling, 0..1.
    double Load() const { return m_load; }
    bool LaunchSwitch() const { return m_phase == Phase::Staging; }
    bool Braking() const { return m_phase == Phase::Coast; }

    // The airflow meter's output: rises with the air drawn, RPM x load.
    double AirflowVoltage() const;
    // Voltage of single-ended channel AI0..AI7 as wired on the bench: AI0
    // airflow meter, AI1 throttle position, AI2 oxygen sensor, AI3 coolant
    // temperature, AI4 exhaust gas temperature amplifier, AI5 battery
    // through a 1:4 divider, AI6 manifold pressure, AI7 fuel pressure.
    // Includes a little sensor noise.
    double ChannelVoltage(int channel);

private:
    void step(double dt);
    void enter(Phase phase);
    double noise(double amplitude);

    quint32 m_random;
    double m_time = 0.0;
    double m_phaseTime = 0.0;
    Phase m_phase = Phase::Idle;
    int m_gear = 0;
    double m_rpm = IdleRPM;
    double m_meanRPM = IdleRPM;
    double m_throttle = 0.0;
    double m_load = 0.18;
    double m_shiftTargetRPM = 0.0;
};
