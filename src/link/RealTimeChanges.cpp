#include "link/RealTimeChanges.h"

#include "link/Frames.h"
#include "link/RealTimeSender.h"

#include <algorithm>

std::vector<ByteRun> ChangedRuns(TuneItem item, const QByteArray &before, const QByteArray &after)
{
    std::vector<ByteRun> runs;
    const int size = static_cast<int>(std::min(before.size(), after.size()));
    const int width = Info(item).valueWidth;
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

bool SendItemChange(RealTimeSender &sender, TuneItem item, const QByteArray &before, const QByteArray &after,
                    const QString &versionAfter)
{
    const TuneItemInfo &info = Info(item);
    if (!info.RealTimeWritable())
        return false;
    if (info.reach == RealTimeReach::VersionText) {
        sender.SendRealTimeVersion(versionAfter);
        return true;
    }
    for (const ByteRun &run : ChangedRuns(item, before, after))
        sender.SendRealTimeBytes(item, run.offset, run.data);
    return true;
}
