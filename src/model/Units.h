#pragma once

#include "model/TuneItems.h"

#include <QString>

// The units the tune's raw values stand for. RPM values (axis entries, rev
// limits, the VTC release point) are stored as RPM / 50 in one byte, so rev
// limits go in steps of 50 RPM; the speed limiter as MPH / 1.24.
namespace Units {

inline constexpr int RpmPerStep = 50;
inline constexpr double MphPerStep = 1.24;

constexpr int RpmOf(int raw) { return raw * RpmPerStep; }
// The raw value nearest to an engine speed: R(rpm / 50).
int RawFromRpm(double rpm);
double MphOf(int raw);
// The raw value nearest to a speed: R(mph / 1.24).
int RawFromMph(double mph);

// One raw value as the panels show it in the item's unit: RPM and MPH figures
// for those units, the number itself otherwise (a character for the version).
double Shown(ItemUnit unit, int raw);
// The same as text: the plain number without trailing zeros ("316.2").
QString ShownText(ItemUnit unit, int raw);
// The unit's name after a figure (" RPM", " MPH"; empty for raw values).
QString Suffix(ItemUnit unit);

} // namespace Units
