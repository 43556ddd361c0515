#pragma once

#include "model/Tune.h"
#include "model/TuneItems.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <vector>

// What the box is known to hold, item by item: the bytes last read from it or
// written to it. An item whose contents are not known for sure (never read or
// written, a real-time write that may have failed, an image loaded behind the
// tune's back) counts as differing, so a write of the changes never leaves
// the box with a stale value.
class BoxContents
{
public:
    // Nothing is known.
    void Forget();
    void ForgetItem(int item);
    // The box now holds the tune's item (or every item).
    void RecordItem(const Tune &tune, int item);
    void RecordAll(const Tune &tune);

    // After a real-time write (its frame): acknowledged, the bytes it carried
    // are now in the box, and the item stays known when it was; otherwise the
    // write may or may not have landed and the item is no longer known.
    // Returns the item the frame wrote to (0 for none).
    int RecordRealTimeWrite(const QByteArray &frame, bool acknowledged);

    // After a bulk transfer over walk that got through its first done items:
    // those are now known; a write's item in flight may or may not have landed.
    void RecordTransfer(const Tune &tune, const std::vector<int> &walk, int done, bool writing);
    // The items a whole transfer walks: 1 to 23 without 21.
    static std::vector<int> FullWalk();

    bool Knows(int item) const;
    // The item's bytes as the box holds them, when known.
    std::optional<QByteArray> Held(int item) const;
    // The transferred items, in transfer order, that the box does not hold as
    // the tune has them.
    std::vector<int> ItemsToWrite(const Tune &tune) const;

private:
    std::array<std::optional<QByteArray>, TuneItemCount> m_items;
};
