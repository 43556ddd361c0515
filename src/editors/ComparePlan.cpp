#include "editors/ComparePlan.h"

#include "model/Tune.h"
#include "model/Units.h"

#include <optional>

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

ItemTake TakeItems(const Tune &mine, const Tune &theirs, std::optional<TuneItem> item, const QString &name)
{
    ItemTake take;
    for (ItemChange &c : TuneHistory::Differences(mine, theirs))
        if (!item || c.item == *item)
            take.changes.push_back(std::move(c));
    if (take.changes.empty())
        return take;
    if (!item)
        take.label = QStringLiteral("Take every difference from %1").arg(name);
    else
        take.label = QStringLiteral("Take %1 from %2").arg(QLatin1String(Info(*item).name), name);
    return take;
}

std::vector<ValueDifference> ValueDifferences(const Tune &mine, const Tune &theirs)
{
    std::vector<ValueDifference> out;
    for (const ItemChange &c : TuneHistory::Differences(mine, theirs)) {
        const TuneItemInfo &info = Info(c.item);
        const QString name = QLatin1String(info.name);
        if (info.shape == ItemShape::Text) {
            out.push_back({c.item, name, {}, {}, {}, c.versionBefore.trimmed(), c.versionAfter.trimmed()});
            continue;
        }
        const std::optional<MapKey> map = info.map;
        const bool body = map && IsBodyMap(*map);
        const bool timing = map && (IsTimingMap(*map) || *map == MapKey::TIMINGRPM || *map == MapKey::TIMINGTP);
        const MapKey rpmAxis = timing ? MapKey::TIMINGRPM : MapKey::FUELRPM;
        const MapKey tpAxis = timing ? MapKey::TIMINGTP : MapKey::FUELTP;
        const int count = static_cast<int>(std::min(c.before.size(), c.after.size())) / info.valueWidth;
        for (int i = 0; i < count; ++i) {
            const QVariant a = ValueInBytes(c.item, c.before, i).value_or(0);
            const QVariant b = ValueInBytes(c.item, c.after, i).value_or(0);
            if (a == b)
                continue;
            ValueDifference d{c.item, name, count > 1 ? QVariant(i + 1) : QVariant(), {}, {}, a, b};
            if (body) {
                const int row = i / 16 + 1;
                const int col = i % 16 + 1;
                d.rpm = Units::RpmOf(mine.map(rpmAxis).MapValue(row - 1));
                d.load = mine.map(tpAxis).MapValue(col - 1);
                d.mine = DisplayValue(a.toInt(), timing);
                d.theirs = DisplayValue(b.toInt(), timing);
            } else if (map == rpmAxis) {
                d.rpm = Units::RpmOf(a.toInt()); // the axis entry itself
                d.mine = Units::RpmOf(a.toInt());
                d.theirs = Units::RpmOf(b.toInt());
            } else if (map == tpAxis) {
                d.load = a; // the axis entry itself
            } else if (!map && info.unit != ItemUnit::Raw) {
                // The limiters and the VTC release point in RPM and MPH.
                d.mine = Units::Shown(info.unit, a.toInt());
                d.theirs = Units::Shown(info.unit, b.toInt());
            }
            out.push_back(std::move(d));
        }
    }
    return out;
}

} // namespace ComparePlan
