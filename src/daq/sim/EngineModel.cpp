#include "daq/sim/EngineModel.h"

#include "model/Tune.h"
#include "model/Units.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double StepMs = 10.0;
// RPM gained per second at full throttle, by gear: lower gears pull faster.
constexpr double PullRate[6] = {0.0, 2600.0, 1700.0, 1150.0, 800.0, 560.0};
// Load at closed throttle.
constexpr double IdleLoad = 0.18;
// A pull ends in 5th at this speed, and the coast ends near idle.
constexpr double TopGearEndRPM = 6500.0;
constexpr double CoastEndRPM = 1300.0;
// RPM the engine falls to when the clutch bites at launch.
constexpr double LaunchRPM = 3000.0;
// Air drawn per revolution at full filling, in the units the load
// calculation expects, and the end of the airflow meter's output.
constexpr double AirflowPerRpm = 6.63;
constexpr double MeterFullScale = 5.12;
// The box cuts the fuel on an over-run: throttle shut above this speed.
constexpr double FuelCutRPM = 1500.0;
constexpr double FuelCutThrottle = 0.005;
// The least throttle a dyno cell is held at: below it the box would cut the
// fuel, and the cell is the over-run's, not the dyno's.
constexpr double LeastDynoThrottle = 0.01;

double volumetricEfficiency(double rpm)
{
    return std::clamp(1.0 - 0.25 * std::pow((rpm - 4500.0) / 4000.0, 2.0), 0.6, 1.0);
}

// The meter's curve: volts = 0.16 x airflow^(1/3.2). This puts idle near
// 1.4 V and full load at 7000 RPM near 4.6 V.
double meterVoltage(double rpm, double load)
{
    const double airflow = AirflowPerRpm * rpm * load;
    return airflow > 0.0 ? std::min(MeterFullScale, 0.16 * std::pow(airflow, 1.0 / 3.2)) : 0.0;
}

// The throttle opening that fills the cylinders to load at an engine speed.
double throttleFor(double load, double rpm)
{
    return (load - IdleLoad) / ((1.0 - IdleLoad) * volumetricEfficiency(rpm));
}

quint32 randomStart(quint32 seed)
{
    return seed == 0 ? 0x9E3779B9u : seed;
}

} // namespace

EngineModel::EngineModel(quint32 seed) : m_random(randomStart(seed))
{
    m_sim.seed = seed;
}

EngineModel::EngineModel(const EngineSimulation &sim, const Tune *tune, const Tune &reference)
    : m_sim(sim), m_tune(tune),
      m_fuelling(tune ? EngineFuelling(reference, sim.fuelErrorPercent, sim.seed) : EngineFuelling()),
      m_wideband(sim.o2DelayMs), m_random(randomStart(sim.seed))
{
}

double EngineModel::noise(double amplitude)
{
    // xorshift32: small, fast and the same on every platform.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return amplitude * (static_cast<double>(m_random) / 4294967295.0 * 2.0 - 1.0);
}

void EngineModel::enter(Phase phase)
{
    m_phase = phase;
    m_phaseTime = 0.0;
}

void EngineModel::Advance(double ms)
{
    if (!(ms > 0.0)) {
        m_meanRPM = m_rpm;
        return;
    }
    double sum = 0.0;
    double covered = 0.0;
    while (covered < ms) {
        const double dt = std::min(StepMs, ms - covered);
        step(dt);
        sum += m_rpm * dt;
        covered += dt;
    }
    m_meanRPM = sum / ms;
}

void EngineModel::step(double dt)
{
    m_time += dt;
    m_phaseTime += dt;
    const double seconds = dt / 1000.0;
    double targetThrottle = 0.0;
    if (m_sim.drive == EngineSimulation::Drive::Dyno)
        stepDyno(seconds, targetThrottle);
    else
        stepRoad(seconds, targetThrottle);

    // Throttle and filling follow with a short lag.
    m_throttle += (targetThrottle - m_throttle) * std::min(1.0, seconds / 0.08);
    const double targetLoad = IdleLoad + (1.0 - IdleLoad) * m_throttle * volumetricEfficiency(m_rpm);
    m_load += (targetLoad - m_load) * std::min(1.0, seconds / 0.12);
    m_rpm = std::max(m_rpm, 0.0);
    m_wideband.Step(m_time, dt, burnedRatio());
}

void EngineModel::stepRoad(double seconds, double &targetThrottle)
{
    switch (m_phase) {
    case Phase::Idle:
    case Phase::Hold:
        m_gear = 0;
        // The idle valve holds the speed with a slow hunt.
        m_rpm += (IdleRPM + 15.0 * std::sin(m_time / 700.0) - m_rpm) * std::min(1.0, seconds * 3.0);
        if (m_phaseTime >= IdleTime)
            enter(Phase::Staging);
        break;
    case Phase::Staging:
        // Launch switch held: the revs climb to the staged limit and bounce
        // on it.
        targetThrottle = 0.45;
        if (m_rpm < StagedRPM)
            m_rpm += 3000.0 * seconds;
        else
            m_rpm = StagedRPM - 60.0 + noise(40.0);
        if (m_phaseTime >= StagingTime) {
            m_gear = 1;
            m_rpm = LaunchRPM;
            enter(Phase::Pull);
        }
        break;
    case Phase::Pull:
        targetThrottle = 1.0;
        m_rpm += PullRate[m_gear] * seconds * (0.85 + 0.15 * m_throttle);
        if (m_gear < 5 && m_rpm >= ShiftRPM) {
            m_shiftTargetRPM = ShiftRPM * GearRatio[m_gear + 1] / GearRatio[m_gear];
            enter(Phase::Shift);
        } else if (m_gear == 5 && m_rpm >= TopGearEndRPM) {
            enter(Phase::Coast);
        }
        break;
    case Phase::Shift:
        // Throttle lifted, clutch in: the revs fall to the next gear's speed.
        targetThrottle = 0.0;
        m_rpm += (m_shiftTargetRPM - m_rpm) * std::min(1.0, seconds * 18.0);
        if (m_phaseTime >= ShiftTime) {
            ++m_gear;
            m_rpm = m_shiftTargetRPM;
            enter(Phase::Pull);
        }
        break;
    case Phase::Coast:
        // Lift-off: engine braking pulls the revs down towards idle.
        targetThrottle = 0.0;
        m_rpm += (1000.0 - m_rpm) * std::min(1.0, seconds / 2.5);
        if (m_rpm <= CoastEndRPM) {
            m_gear = 0;
            enter(Phase::Idle);
        }
        break;
    }
}

void EngineModel::stepDyno(double seconds, double &targetThrottle)
{
    if (m_phase != Phase::Hold) {
        m_gear = 0;
        m_rpm += (IdleRPM + 15.0 * std::sin(m_time / 700.0) - m_rpm) * std::min(1.0, seconds * 3.0);
        if (m_phaseTime >= DynoIdleTime) {
            // Planned from the tune the box runs at the start of each sweep,
            // so a cell switched to closed loop since the last is left out.
            m_sweep = planSweep();
            m_sweepIndex = 0;
            m_gear = m_sweep.empty() ? 0 : 4;
            enter(m_sweep.empty() ? Phase::Idle : Phase::Hold);
        }
        return;
    }
    const DynoPoint &point = m_sweep[m_sweepIndex];
    // The dyno's brake brings the speed to the cell's and holds it there,
    // within the few RPM its control loop wanders.
    const double held = point.rpm + 4.0 * std::sin(m_time / 230.0);
    m_rpm += (held - m_rpm) * std::min(1.0, seconds / 0.15);
    targetThrottle = std::clamp(throttleFor(point.load, point.rpm), 0.0, 1.0);
    if (m_phaseTime >= DynoSettleTime + DynoHoldTime) {
        if (++m_sweepIndex < m_sweep.size()) {
            enter(Phase::Hold);
        } else {
            m_gear = 0;
            enter(Phase::Idle);
        }
    }
}

std::vector<EngineModel::DynoPoint> EngineModel::planSweep() const
{
    std::vector<DynoPoint> points;
    if (!m_tune)
        return points;
    const MapKey map = EngineFuelling::FuelMap;
    const CVMapInfo &body = m_tune->map(map);
    const CVMapInfo &rpmAxis = m_tune->map(RpmAxisOf(map));
    const CVMapInfo &tpAxis = m_tune->map(TpAxisOf(map));
    const int k = m_tune->general().InjectorK();
    if (k <= 0 || body.EntryCount() < 256 || rpmAxis.EntryCount() < 16 || tpAxis.EntryCount() < 16)
        return points;
    for (int row = 0; row < 16; ++row) {
        const double rpm = Units::RpmOf(rpmAxis.MapValue(row));
        if (rpm < IdleRPM || rpm > ShiftRPM)
            continue;
        // The filling at which the box computes the cell's load: the load
        // calculation turned round (airflow x K / period / 6).
        const double period = static_cast<double>(vnt::RoundHalfEven(rpm / 50.0 * 180.0));
        for (int col = 0; col < 16; ++col) {
            if (body.MapValue(row * 16 + col) >= 128)
                continue;
            const double load = tpAxis.MapValue(col) * 6.0 * period / (k * AirflowPerRpm * rpm);
            const double throttle = throttleFor(load, rpm);
            if (throttle < LeastDynoThrottle || throttle > 1.0 || meterVoltage(rpm, load) >= MeterFullScale)
                continue;
            points.push_back({rpm, load});
        }
    }
    return points;
}

double EngineModel::burnedRatio() const
{
    if (m_throttle < FuelCutThrottle && m_rpm > FuelCutRPM)
        return EngineFuelling::NoFuelRatio;
    const EngineFuelling::Burn burn =
        m_tune ? m_fuelling.Burned(*m_tune, m_rpm, AirflowVoltage()) : EngineFuelling::Burn{};
    if (!burn.closedLoop)
        return burn.ratio;
    // The box's closed loop hunts around its target from the narrow-band
    // sensor, about once a second.
    return burn.ratio * (1.0 + 0.015 * std::sin(2.0 * std::numbers::pi * m_time / 900.0));
}

double EngineModel::AirflowVoltage() const
{
    return meterVoltage(m_rpm, m_load);
}

double EngineModel::ChannelVoltage(int channel)
{
    // The dyno's engine was warmed before it was strapped down; on the road
    // it is warm after five minutes.
    const bool dyno = m_sim.drive == EngineSimulation::Drive::Dyno;
    const double warm = dyno ? 1.0 : std::min(1.0, m_time / 300000.0);
    switch (channel) {
    case 0:
        return AirflowVoltage() + noise(0.004);
    case 1:
        return 0.5 + 4.0 * m_throttle + noise(0.002);
    case 2:
        // Switches at stoichiometric: high when rich, low when lean.
        return 0.45 + 0.42 * std::tanh(3.0 * (EngineFuelling::Stoichiometric - m_wideband.SensedRatio()))
            + noise(0.02);
    case 3:
        return 3.6 - 2.4 * warm + noise(0.003);
    case 4:
        return 1.0 + 3.0 * m_load * std::min(1.0, m_rpm / 7000.0) + noise(0.01);
    case 5:
        return 13.8 / 4.0 + noise(0.01);
    case 6:
        return 1.0 + 3.5 * m_load + noise(0.005);
    case WidebandChannel: {
        const double v = m_wideband.Voltage();
        // A controller still heating puts out a clean 0 V.
        return v > 0.0 ? std::clamp(v + noise(0.005), 0.0, WidebandSensor::FullScaleVolts) : 0.0;
    }
    default:
        return 0.0;
    }
}
