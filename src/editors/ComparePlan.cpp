#include "editors/ComparePlan.h"

#include "model/Tune.h"
#include "model/TuneItems.h"

using namespace GridRules;

namespace ComparePlan {

QString CellNote(const Tune &mine, const Tune &theirs, MapKey body, int row, int col, const QString &name)
{
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(body, place);
    if (!key)
        return QString();
    const int entry = EntryIndexOf(row, col);
    const int other = theirs.map(*key).MapValue(entry);
    if (mine.map(*key).MapValue(entry) == other)
        return QString();
    return QStringLiteral("%1: %2").arg(name.isEmpty() ? QStringLiteral("Compared tune") : name,
                                        CellText(place, other, IsTimingMap(body)));
}

BlockOps::Plan TakeCells(const Tune &mine, const Tune &theirs, MapKey body, const BlockOps::Rect &rect,
                         const QString &name)
{
    BlockOps::Plan plan;
    int count = 0;
    for (int r = rect.top; r <= rect.bottom; ++r) {
        for (int c = rect.left; c <= rect.right; ++c) {
            const std::optional<MapKey> key = CellMap(body, PlaceOf(r, c));
            if (!key)
                continue;
            ++count;
            const int entry = EntryIndexOf(r, c);
            const int raw = mine.map(*key).MapValue(entry);
            const int other = theirs.map(*key).MapValue(entry);
            if (raw != other)
                plan.writes.push_back({r, c, raw, other});
        }
    }
    plan.ok = true;
    plan.label = QStringLiteral("Take %1 %2 from %3")
                     .arg(count)
                     .arg(count == 1 ? QStringLiteral("cell") : QStringLiteral("cells"))
                     .arg(name.isEmpty() ? QStringLiteral("the compared tune") : name);
    return plan;
}

ItemTake TakeItems(const Tune &mine, const Tune &theirs, int item, const QString &name)
{
    ItemTake take;
    for (ItemChange &c : TuneHistory::Differences(mine, theirs))
        if (item == 0 || c.item == item)
            take.changes.push_back(std::move(c));
    if (take.changes.empty())
        return take;
    if (item == 0) {
        take.label = QStringLiteral("Take every difference from %1").arg(name);
    } else {
        const TuneItem *info = FindTuneItem(item);
        take.label = QStringLiteral("Take %1 from %2").arg(info ? QLatin1String(info->name) : QString(), name);
    }
    return take;
}

} // namespace ComparePlan
