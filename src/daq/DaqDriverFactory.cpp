#include "daq/DaqDriverFactory.h"

#include "daq/sim/SimulatedU12Driver.h"
#include "platform/LabJackU12Driver.h"
#include "daq/DaqSettings.h"

std::unique_ptr<DaqDriver> CreateDaqDriver(const DaqSettings &prefs, bool simulated)
{
    if (simulated || prefs.SimulatedDAQ())
        return std::make_unique<SimulatedU12Driver>(&prefs);
    const QString library = prefs.DAQDriverLibrary().trimmed();
    return std::make_unique<LabJackU12Driver>(library.isEmpty() ? LabJackU12Driver::DefaultLibraryName() : library);
}
