#pragma once

#include <QString>

class CVMapInfo;

// The rules of the small table panels (TTP, ignition dwell, VQ) apart from
// any widget: their fixed labels and the entry the live trace marks.
namespace TableRules {

inline constexpr int TTPBoxes = 16;
inline constexpr int DwellColumns = 16;
inline constexpr int VQBoxes = 64;

// Fixed label under TTP Min box i: 175 x (i + 1).
QString TTPMinLabel(int index);
// Fixed label under VQ box i: the voltage (i + 1) x 0.08, two decimals, "v".
QString VQLabel(int index);
// Label under a box that follows the Fuel RPM Map: entry i x 50.
QString RpmLabel(const CVMapInfo &fuelRpmAxis, int index);

// TTP Min box of an RPM: R(RPM / 175 - 1) limited to 0..15.
int TTPMinTraceIndex(int rpm);
// Fuel RPM Map column of an RPM: FindClosestMapIndex(R(RPM / 50)).
int RpmColumnTraceIndex(const CVMapInfo &fuelRpmAxis, int rpm);
// VQ box of a voltage: R(v / 0.08 - 1), in single precision, limited to
// 0..63; a voltage that is not a number counts as 0.
int VQTraceIndex(float voltage);

} // namespace TableRules
