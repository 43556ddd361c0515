#include "analysis/ApplyCorrection.h"

#include "editors/GridRules.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"

int ApplyCorrection::Apply(ProgramState &state, RealTimeSender *sender, MapKey map,
                           const std::vector<CellChange> &changes)
{
    if (!IsFuelMap(map))
        return 0;
    CVMapInfo &body = state.tune.map(map);
    const int item = GridRules::ItemNumber(CatalogueEntry(map).panel, GridRules::CellPlace::Body);
    int changed = 0;
    for (const CellChange &c : changes) {
        const int old = body.MapValue(c.entry);
        if (old < 0 || old >= 128 || c.newRaw < 0 || c.newRaw > 127 || old == c.newRaw)
            continue;
        body.SetMapValue(c.entry, c.newRaw);
        ++changed;
        if (state.RealTimeEnabled && sender)
            sender->SendRealTimeValue(item, c.entry, c.newRaw);
    }
    // One noted edit for all cells: the undo history makes it one step.
    if (changed > 0)
        state.NoteEdit(QStringLiteral("Fuel Correction: %1 cells in %2").arg(changed).arg(QLatin1String(CatalogueEntry(map).name)));
    return changed;
}
