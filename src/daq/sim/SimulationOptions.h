#pragma once

#include <QString>
#include <QtGlobal>

// How the simulated engine runs, as both programs' command lines set it
// (--sim-fuel-error, --sim-seed, --sim-o2-delay, --sim-drive,
// --sim-daq-latency, each only meaningful with --sim-daq).
struct EngineSimulation
{
    enum class Drive { Road, Dyno };

    static constexpr double MaxFuelErrorPercent = 50.0;
    static constexpr int MaxO2DelayMs = 5000;
    static constexpr int MaxDaqLatencyMs = 1000;

    Drive drive = Drive::Road;
    // The engine's true fuel need differs from the stock tune's by a smooth
    // field within +- this many percent; 0: the stock tune is exactly right.
    double fuelErrorPercent = 0.0;
    // Seeds the planted field and the sensors' noise.
    quint32 seed = 1;
    // Time the exhaust takes from the cylinders to the wideband sensor.
    int o2DelayMs = 0;
    // How long each call to the unit blocks its caller, as a real U12's USB
    // round trip does (up to about 20 ms); 0 answers at once.
    int daqLatencyMs = 0;
};

namespace SimulationOptions {

// The option names, as typed: "--sim-fuel-error" and so on.
bool IsSimulationOption(const QString &name);
// Takes one option's value into sim: empty when taken, else the message
// that says what the option accepts.
QString Apply(EngineSimulation &sim, const QString &name, const QString &value);

} // namespace SimulationOptions
