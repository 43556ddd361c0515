#pragma once

class DaqSettings;

// The inputs of the simulated engine's bench wiring (throttle, narrow-band
// oxygen, coolant, exhaust gas temperature, battery, the wideband
// controller's air-fuel ratio "AFR", launch switch, brake light),
// added when the simulated DAQ unit runs and the user has defined nothing
// beyond "MAS", so that live data shows at once. Existing inputs are never
// touched. Returns the number of inputs added.
int AddBenchInputs(DaqSettings &prefs);
