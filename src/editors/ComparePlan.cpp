#include "editors/ComparePlan.h"

#include "model/Tune.h"
#include "model/TuneItems.h"

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

namespace {

constexpr int InjectorKItem = 13;
constexpr int VersionItem = 17;
constexpr int VQItem = 23;

// The body map an item number stands for, if it is one.
std::optional<MapKey> bodyMapOfItem(int item)
{
    for (MapKey key : {MapKey::HOFM, MapKey::LOFM, MapKey::HOHGFM, MapKey::LOHGFM, MapKey::LOTM, MapKey::HOTM})
        if (ItemNumber(key) == item)
            return key;
    return std::nullopt;
}

int valueWidth(int item)
{
    return item == VQItem || item == InjectorKItem ? 2 : 1;
}

QVariant valueAt(const QByteArray &bytes, int at, int width)
{
    if (at + width > bytes.size())
        return {};
    int v = 0;
    for (int k = 0; k < width; ++k)
        v = v * 256 + static_cast<unsigned char>(bytes[at + k]);
    return v;
}

} // namespace

std::vector<ValueDifference> ValueDifferences(const Tune &mine, const Tune &theirs)
{
    std::vector<ValueDifference> out;
    for (const ItemChange &c : TuneHistory::Differences(mine, theirs)) {
        const TuneItem *info = FindTuneItem(c.item);
        const QString name = info ? QLatin1String(info->name) : QStringLiteral("Item %1").arg(c.item);
        if (c.item == VersionItem) {
            out.push_back({c.item, name, {}, {}, {}, c.versionBefore.trimmed(), c.versionAfter.trimmed()});
            continue;
        }
        const std::optional<MapKey> body = bodyMapOfItem(c.item);
        const bool timing = body ? IsTimingMap(*body) : c.item == ItemNumber(MapKey::TIMINGRPM)
                                                        || c.item == ItemNumber(MapKey::TIMINGTP);
        const MapKey rpmAxis = timing ? MapKey::TIMINGRPM : MapKey::FUELRPM;
        const MapKey tpAxis = timing ? MapKey::TIMINGTP : MapKey::FUELTP;
        const int width = valueWidth(c.item);
        const int count = static_cast<int>(std::min(c.before.size(), c.after.size())) / width;
        for (int i = 0; i < count; ++i) {
            const QVariant a = valueAt(c.before, i * width, width);
            const QVariant b = valueAt(c.after, i * width, width);
            if (a == b)
                continue;
            ValueDifference d{c.item, name, count > 1 ? QVariant(i + 1) : QVariant(), {}, {}, a, b};
            if (body) {
                const int row = i / 16 + 1;
                const int col = i % 16 + 1;
                d.rpm = mine.map(rpmAxis).MapValue(row - 1) * 50;
                d.load = mine.map(tpAxis).MapValue(col - 1);
                d.mine = DisplayValue(a.toInt(), timing);
                d.theirs = DisplayValue(b.toInt(), timing);
            } else if (c.item == ItemNumber(rpmAxis)) {
                d.rpm = a.toInt() * 50; // the axis entry itself
                d.mine = a.toInt() * 50;
                d.theirs = b.toInt() * 50;
            } else if (c.item == ItemNumber(tpAxis)) {
                d.load = a; // the axis entry itself
            }
            out.push_back(std::move(d));
        }
    }
    return out;
}

} // namespace ComparePlan
