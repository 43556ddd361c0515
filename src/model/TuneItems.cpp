#include "model/TuneItems.h"

namespace {

using G = CVGeneralInfo;

// Accessors of the item table, one per kind of value the tune holds.
template <MapKey Key>
int mapGet(const Tune &tune, int index)
{
    return tune.map(Key).MapValue(index);
}
template <MapKey Key>
bool mapSet(Tune &tune, int index, int value)
{
    return tune.map(Key).SetMapValue(index, value);
}

template <int (G::*Get)() const>
int scalarGet(const Tune &tune, int index)
{
    return index == 0 ? (tune.general().*Get)() : -1;
}
template <bool (G::*Set)(int)>
bool scalarSet(Tune &tune, int index, int value)
{
    return index == 0 && (tune.general().*Set)(value);
}

template <int (G::*Get)(int) const>
int tableGet(const Tune &tune, int index)
{
    return (tune.general().*Get)(index);
}
template <bool (G::*Set)(int, int)>
bool tableSet(Tune &tune, int index, int value)
{
    return (tune.general().*Set)(index, value);
}

// The version as its five bytes, one character each.
int versionGet(const Tune &tune, int index)
{
    if (index < 0 || index >= G::VersionLength)
        return -1;
    return static_cast<unsigned char>(tune.general().VersionBytes()[index]);
}
bool versionSet(Tune &tune, int index, int value)
{
    if (index < 0 || index >= G::VersionLength || value < 0 || value > 255)
        return false;
    QByteArray bytes = tune.general().VersionBytes();
    bytes[index] = static_cast<char>(value);
    tune.general().SetVersion(G::VersionFromBytes(bytes));
    return true;
}

using R = RealTimeReach;
using U = ItemUnit;
using S = ItemShape;

template <MapKey Key>
TuneItemInfo mapRow(TuneItem item, S shape)
{
    const MapCatalogueEntry &entry = CatalogueEntry(Key);
    return {item, entry.name, entry.startOffset, entry.endOffset - entry.startOffset + 1, 1, R::EntryAtIndex,
            Key == MapKey::FUELRPM || Key == MapKey::TIMINGRPM ? U::Rpm : U::Raw, shape, Key,
            &mapGet<Key>, &mapSet<Key>};
}

} // namespace

const std::array<TuneItemInfo, TuneItemCount> &TuneItems()
{
    using T = TuneItem;
    static const std::array<TuneItemInfo, TuneItemCount> items{{
        mapRow<MapKey::HOFM>(T::HOFM, S::MapBody),
        mapRow<MapKey::LOFM>(T::LOFM, S::MapBody),
        mapRow<MapKey::HOHGFM>(T::HOHGFM, S::MapBody),
        mapRow<MapKey::LOHGFM>(T::LOHGFM, S::MapBody),
        mapRow<MapKey::FUELRPM>(T::FUELRPM, S::Axis),
        mapRow<MapKey::FUELTP>(T::FUELTP, S::Axis),
        mapRow<MapKey::LOTM>(T::LOTM, S::MapBody),
        mapRow<MapKey::HOTM>(T::HOTM, S::MapBody),
        mapRow<MapKey::TIMINGRPM>(T::TIMINGRPM, S::Axis),
        mapRow<MapKey::TIMINGTP>(T::TIMINGTP, S::Axis),
        {T::RevLimiter, "Rev Limiter", 0x7FB4, 1, 1, R::FixedAddress, U::Rpm, S::Scalar, {},
         &scalarGet<&G::RevLimiter>, &scalarSet<&G::SetRevLimiter>},
        {T::SpeedLimiter, "Speed Limiter", 0x7FA5, 1, 1, R::FixedAddress, U::Mph, S::Scalar, {},
         &scalarGet<&G::SpeedLimiter>, &scalarSet<&G::SetSpeedLimiter>},
        {T::InjectorK, "Injector K", 0x7F2B, 2, 2, R::Never, U::Raw, S::Scalar, {},
         &scalarGet<&G::InjectorK>, &scalarSet<&G::SetInjectorK>},
        {T::InjectorBlast, "Injector Blast", 0x7F91, 1, 1, R::Never, U::Raw, S::Scalar, {},
         &scalarGet<&G::InjectorBlast>, &scalarSet<&G::SetInjectorBlast>},
        {T::InjectorVoid, "Injector Void", 0x7F88, 1, 1, R::Never, U::Raw, S::Scalar, {},
         &scalarGet<&G::InjectorVoid>, &scalarSet<&G::SetInjectorVoid>},
        {T::VTCRelease, "VTC Release", 0x79F6, 1, 1, R::FixedAddress, U::Rpm, S::Scalar, {},
         &scalarGet<&G::VTCRelease>, &scalarSet<&G::SetVTCRelease>},
        {T::Version, "Version", 0x6AD1, 5, 1, R::VersionText, U::Text, S::Text, {}, &versionGet, &versionSet},
        {T::TTPMin, "TTP Min Map", 0x7E80, 16, 1, R::EntryAtIndex, U::Raw, S::Table, {},
         &tableGet<&G::TTPMin>, &tableSet<&G::SetTTPMin>},
        {T::TTPMax, "TTP Max Map", 0x7E90, 16, 1, R::EntryAtIndex, U::Raw, S::Table, {},
         &tableGet<&G::TTPMax>, &tableSet<&G::SetTTPMax>},
        {T::TPLimit, "TP Limit Map", 0x7960, 16, 1, R::EntryAtIndex, U::Raw, S::Table, {},
         &tableGet<&G::TPLimit>, &tableSet<&G::SetTPLimit>},
        {T::AccelEnrich, "Acceleration Enrichment Map", -1, 16, 1, R::NotInBox, U::Raw, S::Table, {},
         &tableGet<&G::AccelEnrich>, &tableSet<&G::SetAccelEnrich>},
        {T::IgnitionDuty, "Ignition Dwell Duty Map", 0x7B60, 32, 1, R::EntryAtIndex, U::Raw, S::Table, {},
         &tableGet<&G::IgnitionDuty>, &tableSet<&G::SetIgnitionDuty>},
        {T::VQ, "VQ Table", 0x7A70, 128, 2, R::WordAtIndex, U::Raw, S::Table, {}, &tableGet<&G::VQ>,
         &tableSet<&G::SetVQ>},
    }};
    return items;
}

const TuneItemInfo &Info(TuneItem item)
{
    return TuneItems()[static_cast<std::size_t>(Number(item) - 1)];
}

std::optional<TuneItem> ItemFromNumber(int number)
{
    if (number < 1 || number > TuneItemCount)
        return std::nullopt;
    return static_cast<TuneItem>(number);
}

TuneItem ItemOfMap(MapKey map)
{
    for (const TuneItemInfo &info : TuneItems())
        if (info.map == map)
            return info.item;
    return TuneItem::HOFM; // every map is an item
}

const std::vector<TuneItem> &TransferWalk()
{
    static const std::vector<TuneItem> walk = [] {
        std::vector<TuneItem> items;
        for (const TuneItemInfo &info : TuneItems())
            if (info.InBox())
                items.push_back(info.item);
        return items;
    }();
    return walk;
}

QByteArray ItemBytes(const Tune &tune, TuneItem item)
{
    const TuneItemInfo &info = Info(item);
    if (info.map)
        return tune.map(*info.map).Bytes();
    QByteArray out(info.size, '\0');
    for (int i = 0; i < info.ValueCount(); ++i) {
        const int value = info.get(tune, i);
        for (int k = 0; k < info.valueWidth; ++k)
            out[i * info.valueWidth + k] = static_cast<char>((value >> (8 * (info.valueWidth - 1 - k))) & 0xFF);
    }
    return out;
}

bool StoreItemBytes(Tune &tune, TuneItem item, const QByteArray &data)
{
    const TuneItemInfo &info = Info(item);
    if (data.size() != info.size)
        return false;
    for (int i = 0; i < info.ValueCount(); ++i)
        info.set(tune, i, *ValueInBytes(item, data, i));
    return true;
}

std::optional<int> ItemValue(const Tune &tune, TuneItem item, int index)
{
    const int value = Info(item).get(tune, index);
    if (value < 0)
        return std::nullopt;
    return value;
}

bool StoreItemValue(Tune &tune, TuneItem item, int index, int value)
{
    return Info(item).set(tune, index, value);
}

std::optional<int> ValueInBytes(TuneItem item, const QByteArray &bytes, int index)
{
    const int width = Info(item).valueWidth;
    if (index < 0 || (index + 1) * width > bytes.size())
        return std::nullopt;
    int value = 0;
    for (int k = 0; k < width; ++k)
        value = value * 256 + static_cast<unsigned char>(bytes[index * width + k]);
    return value;
}
