#pragma once

#include "shell/Panels.h"
#include "model/MapCatalogue.h"

#include <array>
#include <optional>

// Which of the main window's panel indexes shows which body map: 7..12, all
// served by the one map grid panel. The editors' rules speak of maps; the
// panel indexes stop here.
namespace MapPanels {

inline constexpr std::array<MapKey, 6> PanelMaps = {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM,
                                                    MapKey::LOHGFM, MapKey::HOTM, MapKey::LOTM};

inline bool IsMapPanel(int panel)
{
    return panel >= PanelIndex::HOFM && panel <= PanelIndex::LOTM;
}

// The body map of a map panel; nothing for any other panel index.
inline std::optional<MapKey> PanelMap(int panel)
{
    if (!IsMapPanel(panel))
        return std::nullopt;
    return PanelMaps[panel - PanelIndex::HOFM];
}

// The panel index that shows a body map; -1 for an axis map.
inline int PanelOfMap(MapKey map)
{
    for (int i = 0; i < static_cast<int>(PanelMaps.size()); ++i)
        if (PanelMaps[i] == map)
            return PanelIndex::HOFM + i;
    return -1;
}

inline bool IsTimingPanel(int panel)
{
    const std::optional<MapKey> map = PanelMap(panel);
    return map && IsTimingMap(*map);
}

} // namespace MapPanels
