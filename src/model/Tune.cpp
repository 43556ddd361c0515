#include "model/Tune.h"

Tune::Tune()
{
    for (const auto &e : MapCatalogue())
        m_maps[static_cast<int>(e.key)].Initialize(e.startOffset, e.endOffset);
}

CVMapInfo *Tune::mapAt(int startOffset)
{
    for (auto &m : m_maps)
        if (m.StartOffset() == startOffset)
            return &m;
    return nullptr;
}

const CVMapInfo *Tune::mapAt(int startOffset) const
{
    return const_cast<Tune *>(this)->mapAt(startOffset);
}

bool Tune::sameContents(const Tune &other) const
{
    for (int i = 0; i < MapCount; ++i)
        if (m_maps[i].Bytes() != other.m_maps[i].Bytes())
            return false;
    return m_general == other.m_general;
}
