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
    void ForgetItem(TuneItem item);
    // The box now holds the tune's item (or every item).
    void RecordItem(const Tune &tune, TuneItem item);
    void RecordAll(const Tune &tune);

    // After a real-time write (its frame): acknowledged, the bytes it carried
    // are now in the box, and the item stays known when it was; otherwise the
    // write may or may not have landed and the item is no longer known.
    // Returns the item the frame wrote to (none for a frame that is no
    // real-time write into one item).
    std::optional<TuneItem> RecordRealTimeWrite(const QByteArray &frame, bool acknowledged);

    // After a bulk transfer over walk that got through its first done items:
    // those are now known; a write's item in flight may or may not have landed.
    void RecordTransfer(const Tune &tune, const std::vector<TuneItem> &walk, int done, bool writing);

    bool Knows(TuneItem item) const;
    // True when nothing at all is known of the box.
    bool KnowsNothing() const;
    // The item's bytes as the box holds them, when known.
    std::optional<QByteArray> Held(TuneItem item) const;
    // The transferred items, in transfer order, that the box does not hold as
    // the tune has them.
    std::vector<TuneItem> ItemsToWrite(const Tune &tune) const;

private:
    std::optional<QByteArray> &slot(TuneItem item) { return m_items[static_cast<std::size_t>(Number(item) - 1)]; }
    const std::optional<QByteArray> &slot(TuneItem item) const
    {
        return m_items[static_cast<std::size_t>(Number(item) - 1)];
    }

    std::array<std::optional<QByteArray>, TuneItemCount> m_items;
};
