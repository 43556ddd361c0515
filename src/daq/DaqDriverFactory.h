#pragma once

#include "platform/DaqDriver.h"

#include <memory>

class DaqSettings;

// The driver the preferences ask for: the simulated U12 when `simulated` is
// set (the --sim-daq option) or the SimulatedDAQ preference is on, else the
// vendor's library named by DAQDriverLibrary (its default when empty).
std::unique_ptr<DaqDriver> CreateDaqDriver(const DaqSettings &prefs, bool simulated);
