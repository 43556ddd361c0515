#pragma once

#include "model/MapCatalogue.h"
#include "model/Tune.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The 23 tune items in transfer order, numbered 1..23 as the box's item table
// numbers them. Every item but the acceleration enrichment table is one
// contiguous block of the box's memory at the same offset as in the tune
// image.
enum class TuneItem : std::uint8_t {
    HOFM = 1,
    LOFM,
    HOHGFM,
    LOHGFM,
    FUELRPM,
    FUELTP,
    LOTM,
    HOTM,
    TIMINGRPM,
    TIMINGTP,
    RevLimiter,
    SpeedLimiter,
    InjectorK,
    InjectorBlast,
    InjectorVoid,
    VTCRelease,
    Version,
    TTPMin,
    TTPMax,
    TPLimit,
    AccelEnrich,
    IgnitionDuty,
    VQ,
};

inline constexpr int TuneItemCount = 23;

// How a real-time write reaches an item's values in the box.
enum class RealTimeReach : std::uint8_t {
    EntryAtIndex, // one byte at the item's address + index (maps, axes, tables)
    FixedAddress, // one byte at the item's address, the index ignored (one-value items)
    VersionText,  // the five version bytes at once
    WordAtIndex,  // a 16-bit value, high byte first, at the address + 2 x index
    Never,        // in the box, but only the bulk write sends it (the injector values)
    NotInBox,     // kept in project files only
};

// What one raw value of an item stands for, as the panels show it.
enum class ItemUnit : std::uint8_t {
    Raw,  // the raw number itself
    Rpm,  // raw x 50 revolutions per minute
    Mph,  // raw x 1.24 miles per hour
    Text, // a character of the version text
};

// What an item holds, as the editors and their messages speak of it.
enum class ItemShape : std::uint8_t {
    MapBody, // a 16 x 16 map: "cells"
    Axis,    // a map's axis: "entries"
    Scalar,  // one value
    Table,   // a small table: "entries" ("values" for 16-bit ones)
    Text,    // the version text
};

// One row of the item table: everything the layers need to know about an
// item, so that a rule about items is written once against these columns.
struct TuneItemInfo
{
    TuneItem item;
    const char *name;    // as in the transfer status texts
    int address;         // image address; -1 for the item that is not in the box
    int size;            // data bytes on the wire
    int valueWidth;      // bytes per value (2 for injector K and the VQ table), high byte first
    RealTimeReach reach;
    ItemUnit unit;
    ItemShape shape;
    std::optional<MapKey> map; // the map an item 1..10 is
    // One value of the item as the tune holds it; -1 for an index the item
    // has no value at.
    int (*get)(const Tune &tune, int index);
    // Stores one value; false (and nothing stored) for an index the item has
    // no value at or a value it cannot hold.
    bool (*set)(Tune &tune, int index, int value);

    int ValueCount() const { return size / valueWidth; }
    int MaxValue() const { return valueWidth == 2 ? 0xFFFF : 0xFF; }
    bool InBox() const { return address >= 0; }
    bool RealTimeWritable() const { return reach != RealTimeReach::Never && reach != RealTimeReach::NotInBox; }
};

// The table, in transfer order.
const std::array<TuneItemInfo, TuneItemCount> &TuneItems();
const TuneItemInfo &Info(TuneItem item);

constexpr int Number(TuneItem item) { return static_cast<int>(item); }
// The item numbered n; nothing outside 1..23.
std::optional<TuneItem> ItemFromNumber(int number);
// The item a map is.
TuneItem ItemOfMap(MapKey map);

// The items that live in the box's memory, in transfer order: what a whole
// transfer walks (every item but the acceleration enrichment table).
const std::vector<TuneItem> &TransferWalk();

// The item's data bytes as they go on the wire, from the tune.
QByteArray ItemBytes(const Tune &tune, TuneItem item);
// Stores an item's data bytes (exactly its size of them) into the tune; false
// when the length is wrong.
bool StoreItemBytes(Tune &tune, TuneItem item, const QByteArray &data);

// One value of an item as the tune holds it; nothing for an index the item
// has no value at.
std::optional<int> ItemValue(const Tune &tune, TuneItem item, int index);
// Stores one value of an item into the tune; false (and nothing stored) for
// an index the item has no value at, or a value it cannot hold.
bool StoreItemValue(Tune &tune, TuneItem item, int index, int value);
// The value at index of an item's bytes (width bytes, high byte first);
// nothing when the bytes end before it.
std::optional<int> ValueInBytes(TuneItem item, const QByteArray &bytes, int index);
