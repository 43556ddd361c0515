#pragma once

#include "daq/sim/EngineFuelling.h"
#include "daq/sim/SimulationOptions.h"
#include "daq/sim/WidebandSensor.h"

#include <QtGlobal>
#include <vector>

class Tune;

// A car for the simulated DAQ unit, on one of two drives:
//
// - the road: a repeating cycle of idle, a staged launch (the launch switch
//   held while the revs wait at the staged limit), pulls through five gears
//   with a throttle lift at each shift, and a lift-off coast back to idle;
// - the dyno: a load-bearing dynamometer that, after an idle while the
//   sensors warm, holds the engine at each open-loop cell of the fuel map in
//   turn, at the cell's RPM and load, then idles and sweeps again. Cells
//   below idle speed, above the shift speed or beyond the engine's filling
//   are left out: no dyno holds them. The engine arrives warm.
//
// It gives engine speed, throttle and load, the mixture it burns with the
// fuel the box gives it (EngineFuelling, from the tune it runs on), and the
// voltages a typical installation wires to the eight analog channels; and
// the switch lines.
//
// Fully deterministic: the same options and the same sequence of Advance()
// steps and channel reads give the same values, so tests can rely on them.
class EngineModel
{
public:
    enum class Phase { Idle, Staging, Pull, Shift, Coast, Hold };

    // Gear ratios, 1st to 5th.
    static constexpr double GearRatio[6] = {0.0, 3.6, 2.1, 1.45, 1.1, 0.9};
    static constexpr double IdleRPM = 850.0;
    static constexpr double StagedRPM = 4200.0;
    static constexpr double ShiftRPM = 7000.0;
    // Durations in milliseconds.
    static constexpr double IdleTime = 4000.0;
    static constexpr double StagingTime = 2500.0;
    static constexpr double ShiftTime = 250.0;
    // The dyno: the idle before each sweep (longer than the wideband's
    // heater phase), the move to a cell, the hold in it.
    static constexpr double DynoIdleTime = 10000.0;
    static constexpr double DynoSettleTime = 1000.0;
    static constexpr double DynoHoldTime = 3000.0;

    // Digital lines the model drives: D0 the launch switch (high while
    // staging), D1 the brake light (high while coasting).
    static constexpr int LaunchSwitchLine = 0;
    static constexpr int BrakeLine = 1;
    // Analog channel of the wideband controller's output.
    static constexpr int WidebandChannel = 7;

    // A road drive on a box that holds stoichiometric everywhere.
    explicit EngineModel(quint32 seed = 1);
    // The drive, seed, planted error and sensor delay of sim, the box running
    // tune (read at every step, so edits reach the engine at once; nullptr:
    // stoichiometric everywhere) on an engine that was right on reference
    // but for the planted error.
    EngineModel(const EngineSimulation &sim, const Tune *tune, const Tune &reference);

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
    const EngineFuelling &fuelling() const { return m_fuelling; }

    // The airflow meter's output: rises with the air drawn, RPM x load.
    double AirflowVoltage() const;
    // Voltage of single-ended channel AI0..AI7 as wired on the bench: AI0
    // airflow meter, AI1 throttle position, AI2 narrow-band oxygen sensor,
    // AI3 coolant temperature, AI4 exhaust gas temperature amplifier, AI5
    // battery through a 1:4 divider, AI6 manifold pressure, AI7 wideband
    // controller. Includes a little sensor noise.
    double ChannelVoltage(int channel);

private:
    // One cell the dyno holds: its speed and the filling that gives its load.
    struct DynoPoint
    {
        double rpm;
        double load;
    };
    void step(double dt);
    void stepRoad(double seconds, double &targetThrottle);
    void stepDyno(double seconds, double &targetThrottle);
    void enter(Phase phase);
    double noise(double amplitude);
    // The cells of the next sweep, from the tune the box runs now.
    std::vector<DynoPoint> planSweep() const;
    double burnedRatio() const;

    EngineSimulation m_sim;
    const Tune *m_tune = nullptr;
    EngineFuelling m_fuelling;
    WidebandSensor m_wideband;
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
    std::vector<DynoPoint> m_sweep;
    std::size_t m_sweepIndex = 0;
};
