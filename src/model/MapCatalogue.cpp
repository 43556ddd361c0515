#include "model/MapCatalogue.h"

const std::array<MapCatalogueEntry, MapCount> &MapCatalogue()
{
    static const std::array<MapCatalogueEntry, MapCount> catalogue{{
        {MapKey::HOFM, "HOFM", "High Octane Fuel Map", 7, 0x7D00, 0x7DFF},
        {MapKey::HOHGFM, "HOHGFM", "High Octane High Gear Fuel Map", 8, 0x7000, 0x70FF},
        {MapKey::LOFM, "LOFM", "Low Octane Fuel Map", 9, 0x7100, 0x71FF},
        {MapKey::LOHGFM, "LOHGFM", "Low Octane High Gear Fuel Map", 10, 0x7200, 0x72FF},
        {MapKey::HOTM, "HOTM", "High Octane Timing Map", 11, 0x7800, 0x78FF},
        {MapKey::LOTM, "LOTM", "Low Octane Timing Map", 12, 0x7C00, 0x7CFF},
        {MapKey::FUELRPM, "FUELRPM", "Fuel RPM Map", -1, 0x7B00, 0x7B0F},
        {MapKey::FUELTP, "FUELTP", "Fuel TP Map", -1, 0x7AF0, 0x7AFF},
        {MapKey::TIMINGRPM, "TIMINGRPM", "Timing RPM Map", -1, 0x7B20, 0x7B2F},
        {MapKey::TIMINGTP, "TIMINGTP", "Timing TP Map", -1, 0x7B10, 0x7B1F},
    }};
    return catalogue;
}

const MapCatalogueEntry &CatalogueEntry(MapKey key)
{
    return MapCatalogue()[static_cast<int>(key)];
}

std::optional<MapKey> MapKeyFromText(const QString &keyText)
{
    for (const auto &e : MapCatalogue())
        if (keyText == QLatin1String(e.keyText))
            return e.key;
    return std::nullopt;
}

std::optional<MapKey> MapKeyFromPanel(int panel)
{
    for (const auto &e : MapCatalogue())
        if (e.panel >= 0 && e.panel == panel)
            return e.key;
    return std::nullopt;
}

MapKey RpmAxisOf(MapKey body)
{
    return IsTimingMap(body) ? MapKey::TIMINGRPM : MapKey::FUELRPM;
}

MapKey TpAxisOf(MapKey body)
{
    return IsTimingMap(body) ? MapKey::TIMINGTP : MapKey::FUELTP;
}

int BodyDisplayValue(int raw, bool timing)
{
    if (raw < 128)
        return raw;
    return timing ? raw - 128 : raw - 192;
}
