#pragma once

#include "model/CVGeneralInfo.h"
#include "model/CVMapInfo.h"
#include "model/MapCatalogue.h"

#include <array>

// One tune: the ten maps, initialised with their catalogue ranges, and the
// general parameters. Every part of the program works on the same Tune,
// reached through the ProgramState it is handed.
class Tune
{
public:
    Tune();

    CVMapInfo &map(MapKey key) { return m_maps[static_cast<int>(key)]; }
    const CVMapInfo &map(MapKey key) const { return m_maps[static_cast<int>(key)]; }
    // The map whose first image address is startOffset, or nullptr.
    CVMapInfo *mapAt(int startOffset);
    const CVMapInfo *mapAt(int startOffset) const;

    CVGeneralInfo &general() { return m_general; }
    const CVGeneralInfo &general() const { return m_general; }

    // Same entries and parameters (trace bookkeeping is not part of a tune).
    bool sameContents(const Tune &other) const;

private:
    std::array<CVMapInfo, MapCount> m_maps;
    CVGeneralInfo m_general;
};
