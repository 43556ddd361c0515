#include "daq/DaqDriverFactory.h"

#include "daq/DaqSettings.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/Tune.h"
#include "platform/LabJackU12Driver.h"

std::unique_ptr<DaqDriver> CreateDaqDriver(const DaqSettings &prefs, bool simulated, const EngineSimulation &sim,
                                           const Tune *tune)
{
    if (simulated || prefs.SimulatedDAQ()) {
        Tune reference;
        if (!tune) {
            // No box to fuel the engine: nothing to compare it with.
        } else if (const StockImageResult stock = LoadStockImage(SimulatedEngineStockProgram);
                   stock.status == StockImageResult::Ok) {
            TuneFromImage(stock.image, reference);
        } else {
            reference = *tune;
        }
        return std::make_unique<SimulatedU12Driver>(&prefs, sim, tune, reference);
    }
    const QString library = prefs.DAQDriverLibrary().trimmed();
    return std::make_unique<LabJackU12Driver>(library.isEmpty() ? LabJackU12Driver::DefaultLibraryName() : library);
}
