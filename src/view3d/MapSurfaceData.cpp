#include "view3d/MapSurfaceData.h"

#include "editors/CVMapColorInfo.h"
#include "editors/GridRules.h"
#include "model/Tune.h"
#include "model/TraceMarks.h"
#include "model/Units.h"

QString MapSurfaceData::rpmTitle() const
{
    return rpmByIndex ? QStringLiteral("RPM (entry)") : QStringLiteral("RPM");
}

QString MapSurfaceData::tpTitle() const
{
    return tpByIndex ? QStringLiteral("Load (entry)") : QStringLiteral("Load");
}

QString MapSurfaceData::heightTitle() const
{
    return timing ? QStringLiteral("Timing") : QStringLiteral("Enrichment");
}

std::array<double, MapSurfaceData::Size> AxisPositions(const CVMapInfo &axis, double scale, bool &byIndex)
{
    std::array<double, MapSurfaceData::Size> out{};
    byIndex = false;
    for (int i = 0; i < MapSurfaceData::Size; ++i) {
        out[i] = axis.MapValue(i) * scale;
        if (i > 0 && out[i] <= out[i - 1])
            byIndex = true;
    }
    if (byIndex)
        for (int i = 0; i < MapSurfaceData::Size; ++i)
            out[i] = i;
    return out;
}

std::optional<MapSurfaceData> BuildMapSurface(const Tune &tune, const TraceMarks &marks, int panel,
                                              std::optional<LiveCell> live, const CellColours::ColourScale &scale)
{
    const std::optional<MapKey> body = MapKeyFromPanel(panel);
    if (!body || !IsBodyMap(*body))
        return std::nullopt;
    MapSurfaceData d;
    d.panel = panel;
    d.timing = IsTimingMap(*body);
    d.rpmPositions = AxisPositions(tune.map(RpmAxisOf(*body)), Units::RpmPerStep, d.rpmByIndex);
    d.tpPositions = AxisPositions(tune.map(TpAxisOf(*body)), 1.0, d.tpByIndex);

    const CVMapInfo &map = tune.map(*body);
    const MapTrace &trace = marks.Of(*body);
    const std::uint32_t traced = CellColours::TraceColour(scale.scheme);
    for (int entry = 0; entry < MapSurfaceData::Size * MapSurfaceData::Size; ++entry) {
        const int raw = map.MapValue(entry);
        d.heights[entry] = GridRules::DisplayValue(raw, d.timing);
        d.colors[entry] = trace.IsRTMapPointSet(entry) ? traced : CellColours::Background(scale, raw, d.timing);
    }
    if (live && live->rpmIndex >= 0 && live->rpmIndex < MapSurfaceData::Size && live->tpIndex >= 0
        && live->tpIndex < MapSurfaceData::Size) {
        d.liveEntry = live->rpmIndex * MapSurfaceData::Size + live->tpIndex;
        d.colors[*d.liveEntry] = traced;
    }
    return d;
}
