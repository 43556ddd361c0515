#include "daq/sim/SimulationOptions.h"

#include <cmath>

namespace SimulationOptions {

namespace {
const char *const FuelError = "--sim-fuel-error";
const char *const Seed = "--sim-seed";
const char *const O2Delay = "--sim-o2-delay";
const char *const DriveOption = "--sim-drive";
const char *const DaqLatency = "--sim-daq-latency";

// A whole number of milliseconds from 0 to max, or the message saying so.
QString takeMs(int &into, const QString &name, const QString &value, int max)
{
    bool ok = false;
    const int ms = value.toInt(&ok);
    if (!ok || ms < 0 || ms > max)
        return QStringLiteral("%1 takes milliseconds from 0 to %2, not '%3'").arg(name).arg(max).arg(value);
    into = ms;
    return {};
}
} // namespace

bool IsSimulationOption(const QString &name)
{
    for (const char *known : {FuelError, Seed, O2Delay, DriveOption, DaqLatency})
        if (name == QLatin1String(known))
            return true;
    return false;
}

QString Apply(EngineSimulation &sim, const QString &name, const QString &value)
{
    bool ok = false;
    if (name == QLatin1String(FuelError)) {
        const double pct = value.toDouble(&ok);
        // A negative spread means nothing more than its positive one; refused
        // rather than silently folded.
        if (!ok || !std::isfinite(pct) || pct < 0.0 || pct > EngineSimulation::MaxFuelErrorPercent)
            return QStringLiteral("%1 takes a percentage from 0 to %2, not '%3'")
                .arg(name)
                .arg(EngineSimulation::MaxFuelErrorPercent)
                .arg(value);
        sim.fuelErrorPercent = pct;
        return {};
    }
    if (name == QLatin1String(Seed)) {
        const qulonglong seed = value.toULongLong(&ok);
        if (!ok || value.startsWith(QLatin1Char('+')) || seed > 0xFFFFFFFFull)
            return QStringLiteral("%1 takes a whole number from 0 to 4294967295, not '%2'").arg(name, value);
        sim.seed = static_cast<quint32>(seed);
        return {};
    }
    if (name == QLatin1String(O2Delay))
        return takeMs(sim.o2DelayMs, name, value, EngineSimulation::MaxO2DelayMs);
    if (name == QLatin1String(DaqLatency))
        return takeMs(sim.daqLatencyMs, name, value, EngineSimulation::MaxDaqLatencyMs);
    if (name == QLatin1String(DriveOption)) {
        if (value == QLatin1String("road"))
            sim.drive = EngineSimulation::Drive::Road;
        else if (value == QLatin1String("dyno"))
            sim.drive = EngineSimulation::Drive::Dyno;
        else
            return QStringLiteral("%1 takes road or dyno, not '%2'").arg(name, value);
        return {};
    }
    return QStringLiteral("unknown option %1").arg(name);
}

} // namespace SimulationOptions
