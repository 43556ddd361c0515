#include "daq/sim/EngineModel.h"

#include <algorithm>
#include <cmath>

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

} // namespace

EngineModel::EngineModel(quint32 seed) : m_random(seed == 0 ? 0x9E3779B9u : seed)
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

    switch (m_phase) {
    case Phase::Idle:
        m_gear = 0;
        targetThrottle = 0.0;
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

    // Throttle and filling follow with a short lag.
    m_throttle += (targetThrottle - m_throttle) * std::min(1.0, seconds / 0.08);
    const double efficiency = std::clamp(1.0 - 0.25 * std::pow((m_rpm - 4500.0) / 4000.0, 2.0), 0.6, 1.0);
    const double targetLoad = IdleLoad + (1.0 - IdleLoad) * m_throttle * efficiency;
    m_load += (targetLoad - m_load) * std::min(1.0, seconds / 0.12);
    m_rpm = std::max(m_rpm, 0.0);
}

double EngineModel::AirflowVoltage() const
{
    // The meter's curve: volts = 0.16 x airflow^(1/3.2), airflow in the
    // units the load calculation expects, about 6.6 x RPM x load. This puts
    // idle near 1.4 V and full load at 7000 RPM near 4.6 V.
    const double airflow = 6.63 * m_rpm * m_load;
    return airflow > 0.0 ? std::min(5.12, 0.16 * std::pow(airflow, 1.0 / 3.2)) : 0.0;
}

double EngineModel::ChannelVoltage(int channel)
{
    const double warm = std::min(1.0, m_time / 300000.0); // warmed up after five minutes
    switch (channel) {
    case 0:
        return AirflowVoltage() + noise(0.004);
    case 1:
        return 0.5 + 4.0 * m_throttle + noise(0.002);
    case 2: {
        // Rich under load, lean on lift-off, switching around stoichiometric
        // otherwise.
        if (m_load > 0.6)
            return 0.86 + noise(0.02);
        if (m_throttle < 0.05 && m_phase != Phase::Idle)
            return 0.06 + noise(0.01);
        return (std::fmod(m_time, 1000.0) < 500.0 ? 0.8 : 0.15) + noise(0.03);
    }
    case 3:
        return 3.6 - 2.4 * warm + noise(0.003);
    case 4:
        return 1.0 + 3.0 * m_load * std::min(1.0, m_rpm / 7000.0) + noise(0.01);
    case 5:
        return 13.8 / 4.0 + noise(0.01);
    case 6:
        return 1.0 + 3.5 * m_load + noise(0.005);
    case 7:
        return 2.5 + 0.3 * m_load + noise(0.005);
    default:
        return 0.0;
    }
}
