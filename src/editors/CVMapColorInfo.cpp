#include "editors/CVMapColorInfo.h"

#include <algorithm>

CVMapColorInfo::CVMapColorInfo()
{
    for (int i = 0; i < 128; ++i)
        m_colors[i] = VntRGB(i, i, 255);
    for (int i = 128; i < 256; ++i)
        m_colors[i] = VntRGB(i, 0, 0);
}

std::uint32_t CVMapColorInfo::GetBackColor(int index) const
{
    return m_colors[std::clamp(index, 0, 255)];
}

const CVMapColorInfo &CVMapColorInfo::Shared()
{
    static const CVMapColorInfo scale;
    return scale;
}
