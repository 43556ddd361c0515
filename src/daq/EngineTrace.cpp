#include "daq/EngineTrace.h"

#include "daq/AcquisitionSample.h"
#include "model/TraceMarks.h"
#include "model/Tune.h"
#include "model/Units.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace EngineTrace {

namespace {
constexpr int TTPMinBoxes = 16;
constexpr int VQBoxes = 64;
constexpr int MapSide = 16;
} // namespace

int RpmAxisValue(int rpm)
{
    return Units::RawFromRpm(rpm);
}

CellIndex FindCell(const Tune &tune, MapKey map, int rpm, int tp)
{
    return {tune.map(RpmAxisOf(map)).FindClosestMapIndex(RpmAxisValue(rpm)),
            tune.map(TpAxisOf(map)).FindClosestMapIndex(tp)};
}

int TTPMinIndex(int rpm)
{
    const long long i = vnt::RoundHalfEven(rpm / 175.0 - 1.0);
    return static_cast<int>(std::clamp<long long>(i, 0, TTPMinBoxes - 1));
}

int RpmColumnIndex(const CVMapInfo &fuelRpmAxis, int rpm)
{
    return fuelRpmAxis.FindClosestMapIndex(RpmAxisValue(rpm));
}

int VQIndex(float voltage)
{
    if (std::isnan(voltage))
        voltage = 0.0f;
    const float position = voltage / 0.08f - 1.0f;
    if (!(position < static_cast<float>(VQBoxes)))
        return VQBoxes - 1;
    if (!(position > -1.0f))
        return 0;
    const long long i = vnt::RoundHalfEven(position);
    return static_cast<int>(std::clamp<long long>(i, 0, VQBoxes - 1));
}

void Trace(const Tune &tune, TraceMarks &marks, AcquisitionSample &sample, bool keepVisitedCells)
{
    sample.cells.clear();
    sample.visitedCellsKept = keepVisitedCells;
    for (const MapKey key : TracedMaps) {
        MapTrace &map = marks.Of(key);
        AcquisitionSample::TracedCell cell;
        cell.map = key;
        cell.previousRpmIndex = map.LastRPMIndex();
        cell.previousTpIndex = map.LastTPIndex();
        const CellIndex at = FindCell(tune, key, sample.rpm, sample.tpInt);
        map.SetLastRPMIndex(at.rpmIndex);
        map.SetLastTPIndex(at.tpIndex);
        cell.rpmIndex = at.rpmIndex;
        cell.tpIndex = at.tpIndex;
        // Axes that are not 16 entries long (never in a loaded tune) reach no
        // cell: the value stays as the last cell left it.
        if (at.rpmIndex >= 0 && at.rpmIndex < MapSide && at.tpIndex >= 0 && at.tpIndex < MapSide) {
            const int entry = at.rpmIndex * MapSide + at.tpIndex;
            map.SetLastAccessedValue(BodyDisplayValue(tune.map(key).MapValue(entry), IsTimingMap(key)));
            if (keepVisitedCells)
                map.AddRTMapPoint(entry);
        }
        cell.value = map.LastAccessedValue();
        sample.cells.push_back(cell);
    }
    sample.ttpMinIndex = TTPMinIndex(sample.rpm);
    sample.rpmColumn = RpmColumnIndex(tune.map(MapKey::FUELRPM), sample.rpm);
    sample.vqIndex = VQIndex(sample.masVoltage);
}

} // namespace EngineTrace
