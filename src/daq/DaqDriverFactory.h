#pragma once

#include "daq/sim/SimulationOptions.h"
#include "platform/DaqDriver.h"

#include <memory>

class DaqSettings;
class Tune;

// The stock program the simulated engine came with: its fuel map is what the
// engine needs, but for the planted error.
inline constexpr int SimulatedEngineStockProgram = 105;

// The driver the preferences ask for: the simulated U12 when `simulated` is
// set (the --sim-daq option) or the SimulatedDAQ preference is on, else the
// vendor's library named by DAQDriverLibrary (its default when empty).
//
// The simulated unit runs the engine sim describes, fuelled by the box
// running tune (the program's tune, read as it changes; nullptr: a box that
// holds stoichiometric everywhere). Its need comes from the stock program,
// or from tune as it is now when the stock images cannot be read.
std::unique_ptr<DaqDriver> CreateDaqDriver(const DaqSettings &prefs, bool simulated, const EngineSimulation &sim = {},
                                           const Tune *tune = nullptr);
