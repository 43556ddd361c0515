#include "model/CVMapInfo.h"

#include <algorithm>

void CVMapInfo::Initialize(int startOffset, int endOffset)
{
    m_startOffset = startOffset;
    m_endOffset = endOffset;
    m_numCols = 16;
    m_numRows = 16;
    const int count = std::max(0, endOffset - startOffset + 1);
    m_values.assign(count, 0);
}

int CVMapInfo::MapValue(int index) const
{
    return inRange(index) ? m_values[index] : -1;
}

bool CVMapInfo::SetMapValue(int index, int value)
{
    if (!inRange(index) || value < 0 || value > 255)
        return false;
    m_values[index] = static_cast<std::uint8_t>(value);
    return true;
}

void CVMapInfo::SetMap(const QByteArray &block)
{
    const int n = std::min<int>(static_cast<int>(block.size()) - 1, EntryCount());
    for (int i = 0; i < n; ++i)
        m_values[i] = static_cast<std::uint8_t>(block[i]);
}

int CVMapInfo::FindClosestMapIndex(int value) const
{
    const int last = EntryCount() - 1;
    int low = 0;
    int high = 1;
    for (int i = 0; i <= last; ++i) {
        if (i == 0 && value <= m_values[0])
            return 0;
        if (high > last)
            return i;
        if (m_values[low] <= value && value <= m_values[high]) {
            const int below = value - m_values[low];
            const int above = m_values[high] - value;
            return below > above ? high : low;
        }
        ++low;
        ++high;
    }
    return std::max(last, 0);
}

QByteArray CVMapInfo::Bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_values.data()),
                      static_cast<qsizetype>(m_values.size()));
}
