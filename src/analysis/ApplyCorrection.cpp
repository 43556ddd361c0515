#include "analysis/ApplyCorrection.h"

#include "editors/EditSession.h"
#include "editors/GridRules.h"
#include "model/Tune.h"

int ApplyCorrection::Apply(EditSession &edits, MapKey map, const std::vector<CellChange> &changes)
{
    if (!IsFuelMap(map))
        return 0;
    // The map as the writes so far leave it, so that each change is judged
    // against the value it replaces.
    CVMapInfo body = edits.tune().map(map);
    const TuneItem item = ItemOfMap(map);
    std::vector<ValueWrite> writes;
    for (const CellChange &c : changes) {
        const int old = body.MapValue(c.entry);
        if (old < 0 || old >= 128 || c.newRaw < 0 || c.newRaw > 127 || old == c.newRaw || !IsCurrent(body, c))
            continue;
        body.SetMapValue(c.entry, c.newRaw);
        writes.push_back({item, c.entry, c.newRaw});
    }
    edits.CommitValues(writes, QStringLiteral("Fuel Correction: %1 cells in %2")
                                   .arg(writes.size())
                                   .arg(QLatin1String(CatalogueEntry(map).name)));
    return static_cast<int>(writes.size());
}

bool ApplyCorrection::IsCurrent(const CVMapInfo &body, const CellChange &change)
{
    return change.fromRaw < 0 || body.MapValue(change.entry) == change.fromRaw;
}
