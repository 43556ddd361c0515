#include "link/BoxContents.h"

#include "link/RealTimeWrite.h"

void BoxContents::Forget()
{
    m_items.fill(std::nullopt);
}

void BoxContents::ForgetItem(TuneItem item)
{
    slot(item).reset();
}

void BoxContents::RecordItem(const Tune &tune, TuneItem item)
{
    if (Info(item).InBox())
        slot(item) = ItemBytes(tune, item);
}

void BoxContents::RecordAll(const Tune &tune)
{
    for (TuneItem item : TransferWalk())
        RecordItem(tune, item);
}

std::optional<TuneItem> BoxContents::RecordRealTimeWrite(const QByteArray &frame, bool acknowledged)
{
    const RealTimeTarget target = RealTimeFrameTarget(frame);
    if (!target.item)
        return std::nullopt;
    std::optional<QByteArray> &known = slot(*target.item);
    if (!acknowledged)
        known.reset();
    else if (known && target.offset + target.data.size() <= known->size())
        known->replace(target.offset, target.data.size(), target.data);
    return target.item;
}

bool BoxContents::Knows(TuneItem item) const
{
    return slot(item).has_value();
}

bool BoxContents::KnowsNothing() const
{
    for (TuneItem item : TransferWalk())
        if (Knows(item))
            return false;
    return true;
}

std::optional<QByteArray> BoxContents::Held(TuneItem item) const
{
    return slot(item);
}

std::vector<TuneItem> BoxContents::ItemsToWrite(const Tune &tune) const
{
    std::vector<TuneItem> items;
    for (TuneItem item : TransferWalk())
        if (!slot(item) || *slot(item) != ItemBytes(tune, item))
            items.push_back(item);
    return items;
}

void BoxContents::RecordTransfer(const Tune &tune, const std::vector<TuneItem> &walk, int done, bool writing)
{
    const int count = static_cast<int>(walk.size());
    for (int i = 0; i < done && i < count; ++i)
        RecordItem(tune, walk[static_cast<std::size_t>(i)]);
    if (writing && done >= 0 && done < count)
        ForgetItem(walk[static_cast<std::size_t>(done)]);
}
