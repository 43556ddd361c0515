#pragma once

#include "model/MapCatalogue.h"

#include <array>

class CVMapInfo;
class TraceMarks;
class Tune;
struct AcquisitionSample;

// Where in the tune the running engine is: the cell of each traced map and
// the table entries it uses, found from engine speed, load and the "MAS"
// voltage. The trace marks keep each map's current cell and, in highlight
// mode "All cells", every cell visited since they were last cleared.
namespace EngineTrace {

// The traced maps, in the order of a tick: both high octane fuel maps on the
// fuel axes, the high octane timing map on the timing axes.
inline constexpr std::array<MapKey, 3> TracedMaps{MapKey::HOFM, MapKey::HOHGFM, MapKey::HOTM};

// R(rpm / 50), the RPM axes' raw unit (R: nearest integer, halves to even).
int RpmAxisValue(int rpm);

// The body cell of a map at an engine speed and an integer load in the raw
// units of the TP axis: the nearest entry of each of the map's axes.
struct CellIndex
{
    int rpmIndex = 0;
    int tpIndex = 0;
};
CellIndex FindCell(const Tune &tune, MapKey map, int rpm, int tp);

// TTP Min box of an engine speed: R(rpm / 175 - 1), limited to 0..15.
int TTPMinIndex(int rpm);
// Fuel RPM Map column of an engine speed: the entry nearest R(rpm / 50).
int RpmColumnIndex(const CVMapInfo &fuelRpmAxis, int rpm);
// VQ box of a voltage: R(v / 0.08 - 1) in single precision, limited to
// 0..63; a voltage that is not a number counts as 0.
int VQIndex(float voltage);

// Traces one sample (its rpm, tpInt and masVoltage) in the tune: each traced
// map's current cell (LastRPMIndex, LastTPIndex) moves to the engine's cell
// and LastAccessedValue becomes that cell's display value; with
// keepVisitedCells the cell also becomes a trace point of the map. The
// sample gets the traced cells and the table entries.
void Trace(const Tune &tune, TraceMarks &marks, AcquisitionSample &sample, bool keepVisitedCells);

} // namespace EngineTrace
