#include "link/BoxContents.h"

#include "link/RealTimeWrite.h"

void BoxContents::Forget()
{
    m_items.fill(std::nullopt);
}

void BoxContents::ForgetItem(int item)
{
    if (item >= 1 && item <= TuneItemCount)
        m_items[item - 1].reset();
}

void BoxContents::RecordItem(const Tune &tune, int item)
{
    if (IsTransferredItem(item))
        m_items[item - 1] = ItemBytes(tune, item);
}

void BoxContents::RecordAll(const Tune &tune)
{
    for (int item = 1; item <= TuneItemCount; ++item)
        RecordItem(tune, item);
}

int BoxContents::RecordRealTimeWrite(const QByteArray &frame, bool acknowledged)
{
    const RealTimeTarget target = RealTimeFrameTarget(frame);
    if (target.item == 0)
        return 0;
    std::optional<QByteArray> &known = m_items[target.item - 1];
    if (!acknowledged)
        known.reset();
    else if (known && target.offset + target.data.size() <= known->size())
        known->replace(target.offset, target.data.size(), target.data);
    return target.item;
}

bool BoxContents::Knows(int item) const
{
    return item >= 1 && item <= TuneItemCount && m_items[item - 1].has_value();
}

std::optional<QByteArray> BoxContents::Held(int item) const
{
    if (item < 1 || item > TuneItemCount)
        return std::nullopt;
    return m_items[item - 1];
}

std::vector<int> BoxContents::ItemsToWrite(const Tune &tune) const
{
    std::vector<int> items;
    for (int item = 1; item <= TuneItemCount; ++item) {
        if (!IsTransferredItem(item))
            continue;
        if (!m_items[item - 1] || *m_items[item - 1] != ItemBytes(tune, item))
            items.push_back(item);
    }
    return items;
}

void BoxContents::RecordTransfer(const Tune &tune, const std::vector<int> &walk, int done, bool writing)
{
    const int count = static_cast<int>(walk.size());
    for (int i = 0; i < done && i < count; ++i)
        RecordItem(tune, walk[i]);
    if (writing && done >= 0 && done < count)
        ForgetItem(walk[done]);
}

std::vector<int> BoxContents::FullWalk()
{
    std::vector<int> walk;
    for (int item = 1; item <= TuneItemCount; ++item)
        if (IsTransferredItem(item))
            walk.push_back(item);
    return walk;
}
