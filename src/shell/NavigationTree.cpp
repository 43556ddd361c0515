#include "shell/NavigationTree.h"

const std::array<NavigationNode, NavigationNodeCount> &NavigationNodes()
{
    static const std::array<NavigationNode, NavigationNodeCount> nodes{{
        {"GLOBAL", "Global Settings", nullptr, "Global", 1, "picGlobalNone"},
        {"GENERAL", "General Settings", "GLOBAL", nullptr, 2, "picGlobalGeneral"},
        {"INJSIZING", "Injector Sizing", "GLOBAL", nullptr, 3, "picGlobalInjector"},
        {"TTPMAPS", "TTP Maps", "GLOBAL", nullptr, 4, "picGlobalTTP"},
        {"IGNITIONDUTY", "Ignition Dwell Duty", "GLOBAL", nullptr, 5, "picGlobalInjDwellDuty"},
        {"HOFM", "High Octane Fuel Map", nullptr, "Fuel", 7, "picFuelTimingGrid"},
        {"HOHGFM", "High Octane High Gear Fuel Map", nullptr, "Fuel", 8, "picFuelTimingGrid"},
        {"LOFM", "Low Octane Fuel Map", nullptr, "Fuel", 9, "picFuelTimingGrid"},
        {"LOHGFM", "Low Octane High Gear Fuel Map", nullptr, "Fuel", 10, "picFuelTimingGrid"},
        {"HOTM", "High Octane Timing Map", nullptr, "Spark", 11, "picFuelTimingGrid"},
        {"LOTM", "Low Octane Timing Map", nullptr, "Spark", 12, "picFuelTimingGrid"},
        {"VQ", "VQ Table", nullptr, "Voltage", 13, "picVQTable"},
        {"DAQ", "Data Acquisition Setup", nullptr, "RealTimeSetup", 14, "picDAQConfig"},
    }};
    return nodes;
}
