// Main-thread time of one acquisition tick of the main window, including
// painting the real-time strip and the trace on the visible map grid: the
// simulated DAQ unit at the shortest sample period (25 ms) with 8 analog and
// 12 digital inputs. The target is well inside the period: under 2 ms.
//
// Runs offscreen with private settings; reports the mean time per tick and
// its ratio to the 2 ms target (counter "of_target").

#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/StockPrograms.h"
#include "platform/FileDialogService.h"
#include "support/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/ui/AcquisitionCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

void BM_AcquisitionTickWithPainting(benchmark::State &bench)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    CVUserPrefs prefs(store);
    prefs.daq.SetDAQSampleRate(25);
    const char *formulas[] = {"V*250", "(V-0.5)*25", "125-V*29.2", "V*4", "V*20+1", "V^2", "V/2+0.1"};
    for (int c = 1; c <= 7; ++c)
        prefs.daq.AddDAQInput(DAQInputRecord{.name = QStringLiteral("A%1").arg(c),
                                             .channel = c,
                                             .scalingFormula = formulas[c - 1],
                                             .thresholdsEnabled = c % 2 == 1,
                                             .warningThreshold = 1.0f,
                                             .criticalThreshold = 3.0f});
    for (int d = 0; d < 12; ++d)
        prefs.daq.AddDAQInput(DAQInputRecord{.name = QStringLiteral("D%1in").arg(d), .channel = d, .inputType = 2});

    StartOptions options;
    options.simulatedDaq = true;
    MainApplication app(prefs, messages, files, options);
    frmMain &w = app.window();
    const StockImageResult stock = LoadStockImage(105);
    TuneFromImage(stock.image, app.state().tune);
    w.resize(1280, 900);
    w.show();
    w.BuildTree();
    w.ShowPanel(app.state().CurrentPanel, false);
    w.ShowPanel(7, true);
    // The link as real-time mode has it, without a box on the line.
    app.link().BeginConnect();
    app.link().HandshakeAnswered();
    app.link().StartRealTime();
    QApplication::processEvents();

    AcquisitionCommands &acq = app.acquisitionCommands();
    for (int i = 0; i < 50; ++i) { // into the drive cycle, caches warm
        acq.Tick();
        QApplication::processEvents();
    }
    for (auto _ : bench) {
        acq.Tick();
        // Paints what the tick changed: strip labels and the grid's cells.
        QApplication::processEvents();
    }
    app.link().StopRealTime(app.state().tune.general().RevLimiter());
    // Time per tick over the 2 ms target: (seconds / iterations) x 500.
    bench.counters["of_target"] = benchmark::Counter(static_cast<double>(bench.iterations()) / 500.0,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_AcquisitionTickWithPainting)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
