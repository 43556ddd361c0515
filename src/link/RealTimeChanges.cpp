#include "link/RealTimeChanges.h"

#include "link/Frames.h"
#include "link/RealTimeSender.h"
#include "model/TuneItems.h"

#include <algorithm>

bool IsRealTimeItem(int item)
{
    return IsTransferredItem(item) && item != 13 && item != 14 && item != 15;
}

std::vector<ByteRun> ChangedRuns(int item, const QByteArray &before, const QByteArray &after)
{
    std::vector<ByteRun> runs;
    const int size = static_cast<int>(std::min(before.size(), after.size()));
    const int width = item == 23 ? 2 : 1;
    int i = 0;
    while (i < size) {
        if (before[i] == after[i]) {
            ++i;
            continue;
        }
        int start = i - i % width;
        int end = i + 1;
        while (end < size && before[end] != after[end])
            ++end;
        end = std::min(size, (end + width - 1) / width * width);
        while (start < end) {
            const int length = std::min(end - start, Frames::MaxData);
            runs.push_back({start, after.mid(start, length)});
            start += length;
        }
        i = end;
    }
    return runs;
}

bool SendItemChange(RealTimeSender &sender, int item, const QByteArray &before, const QByteArray &after,
                    const QString &versionAfter)
{
    if (!IsRealTimeItem(item))
        return false;
    if (item == 17) {
        sender.SendRealTimeVersion(versionAfter);
        return true;
    }
    for (const ByteRun &run : ChangedRuns(item, before, after))
        sender.SendRealTimeBytes(item, run.offset, run.data);
    return true;
}
