#pragma once

#include "gauges/GaugeScale.h"

class CVDAQInput;
class CVScalingCalculator;
class Tune;

// The scale each gauge shows, from what the tune and the inputs are set up
// to read, never from the readings: a stray sample past the end pegs the
// needle and shows its figure, it does not stretch the scale for the rest of
// the session.
namespace GaugeRanges {

// The sensor voltages an analog input is scaled over (the U12's inputs read
// sensors of 0 to 5 V).
inline constexpr float LowVolts = 0.0f;
inline constexpr float HighVolts = 5.0f;

// RPM: up to the rev limit, at least 8000.
GaugeScale::Range Rpm(const Tune &tune);
// TP: up to the top of the fuel map's load axis; a tune not loaded yet has
// none and gets the whole load byte.
GaugeScale::Range Tp(const Tune &tune);
// An analog input: its formula over the sensor's voltages, widened to hold
// its thresholds (and a quarter past the critical one) when it has them; 0
// to 5 when the formula cannot be worked out at either end.
GaugeScale::Range Input(const CVDAQInput &input, CVScalingCalculator &calculator);

} // namespace GaugeRanges
