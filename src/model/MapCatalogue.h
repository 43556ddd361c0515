#pragma once

#include <QString>
#include <array>
#include <optional>

// The ten maps of the tune, in the order they are created at start-up.
enum class MapKey {
    HOFM, HOHGFM, LOFM, LOHGFM, HOTM, LOTM, FUELRPM, FUELTP, TIMINGRPM, TIMINGTP
};

inline constexpr int MapCount = 10;

struct MapCatalogueEntry
{
    MapKey key;
    const char *keyText;  // tree and catalogue key, e.g. "HOFM"
    const char *name;     // tree caption or transfer name
    int panel;            // panel index showing the map, -1 for the axes
    int startOffset;      // first image address
    int endOffset;        // last image address, inclusive
};

// The catalogue in creation order: index i describes MapKey(i).
const std::array<MapCatalogueEntry, MapCount> &MapCatalogue();
const MapCatalogueEntry &CatalogueEntry(MapKey key);
std::optional<MapKey> MapKeyFromText(const QString &keyText);
std::optional<MapKey> MapKeyFromPanel(int panel);

inline bool IsBodyMap(MapKey key) { return static_cast<int>(key) <= static_cast<int>(MapKey::LOTM); }
inline bool IsTimingMap(MapKey key) { return key == MapKey::HOTM || key == MapKey::LOTM; }
inline bool IsFuelMap(MapKey key) { return IsBodyMap(key) && !IsTimingMap(key); }
// The RPM and TP axes a body map is shown and traced against.
MapKey RpmAxisOf(MapKey body);
MapKey TpAxisOf(MapKey body);

// The number a body map's raw byte stands for: an open-loop entry (a byte
// below 128) its raw byte; a closed-loop one raw - 192 on a fuel map
// (-64..63), raw - 128 on a timing map (0..127).
int BodyDisplayValue(int raw, bool timing);
