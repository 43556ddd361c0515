#pragma once

#include <QString>

class CVMapInfo;

// The rules of the small table panels (TTP, ignition dwell, VQ) apart from
// any widget: their fixed labels.
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

} // namespace TableRules
