#pragma once

#include "model/Tune.h"

#include <QByteArray>
#include <array>

// The 23 tune items in transfer order. Every item but 21 is one contiguous
// block of the box's memory at the same offset as in the tune image; the item
// numbers are also how editors name what they change in a real-time write.
struct TuneItem
{
    int number;        // 1..23
    const char *name;  // as in the transfer status texts
    int address;       // image address, -1 for item 21
    int size;          // data bytes on the wire
};

inline constexpr int TuneItemCount = 23;
inline constexpr int AccelEnrichItem = 21;

const std::array<TuneItem, TuneItemCount> &TuneItems();
// The item with that number, or nullptr outside 1..23.
const TuneItem *FindTuneItem(int number);
// True for the items that live in the box's memory (all but item 21).
inline bool IsTransferredItem(int number) { return number >= 1 && number <= TuneItemCount && number != AccelEnrichItem; }

// The item's data bytes as they go on the wire, from the tune.
QByteArray ItemBytes(const Tune &tune, int number);
// Stores an item's data bytes (exactly item.size of them) into the tune;
// false when the number or the length is wrong.
bool StoreItemBytes(Tune &tune, int number, const QByteArray &data);
