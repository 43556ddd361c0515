// The fuel correction following the running log, as a tuner leaves it while
// driving: how long the user-interface thread (which also runs the
// acquisition's ticks) is held at a stretch. The log is an hour of driving
// at the default 100 ms period, 36,000 lines from the simulated engine
// (`vantrelle-cli --sim-daq --sim-fuel-error 15 --sim-o2-delay 900 log
// --count 36000 --no-wait`), the delay estimated from it, followed for
// 10 s (five refreshes). A 1 ms timer on the thread measures the longest
// gap between its ticks. Target: under 25 ms, a quarter of the acquisition's
// period (what is left is the start of each job's thread; with nothing
// followed the timer's own gaps here are 4 to 6 ms).
//
// Arg 0: the dialog as it follows (each refresh on a job's thread); arg 1:
// each refresh read and computed on this thread, for comparison; arg 2:
// nothing followed, the timer's own gaps on this machine.
// Counters: longest_gap_ms, refreshes, refresh_ms (one read and compute).

#include "../support/BenchMain.h"
#include "../support/SimulatedLog.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/FuelCorrectionDialog.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/StockPrograms.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"
#include "support/ScriptedFileDialogService.h"
#include "support/ScriptedMessageBoxService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

constexpr int FollowForMs = 10000;

QString hourLog(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("hour.csv"));
    const QStringList engine{QStringLiteral("--sim-fuel-error"), QStringLiteral("15"), QStringLiteral("--sim-o2-delay"),
                             QStringLiteral("900")};
    return WriteSimulatedLog(path, 36000, engine) ? path : QString();
}

void BM_FollowAnHourLog(benchmark::State &bench)
{
    const bool onThisThread = bench.range(0) == 1;
    const bool idle = bench.range(0) == 2;
    QTemporaryDir dir;
    const QString path = hourLog(dir);
    if (path.isEmpty()) {
        bench.SkipWithError("no log");
        return;
    }
    SettingsStore store(dir.filePath(QStringLiteral("Vantrelle.ini")));
    FuelCorrection::Settings settings;
    settings.afrColumn = QStringLiteral("AFR");
    settings.delayMs = -1; // estimated
    FuelCorrection::SaveSettings(store, settings);
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    UiServices ui{messages, files};
    DatalogViewer viewer(ui, {});
    files.queue(path);
    viewer.chooseAndOpenLog();
    ProgramState state;
    TuneFromImage(LoadStockImage(105).image, state.tune);
    FuelCorrection::AppliedCells applied;
    FuelCorrectionDialog dialog(state, store, viewer, applied, {}, [path] { return path; });

    QElapsedTimer refresh;
    refresh.start();
    FuelCorrection::Proposal proposal =
        FuelCorrection::Compute(ReadDataLog(path), state.tune, dialog.settings(), &applied, path);
    const double refreshMs = static_cast<double>(refresh.nsecsElapsed()) / 1e6;

    qint64 longestNs = 0;
    int refreshes = 0;
    for (auto _ : bench) {
        QTimer oneMs;
        oneMs.setTimerType(Qt::PreciseTimer);
        oneMs.setInterval(1);
        QElapsedTimer since;
        QObject::connect(&oneMs, &QTimer::timeout, [&] {
            longestNs = std::max(longestNs, since.nsecsElapsed());
            since.restart();
        });
        QTimer onThread;
        onThread.setInterval(FuelCorrectionDialog::FollowMs);
        QObject::connect(&onThread, &QTimer::timeout, [&] {
            proposal = FuelCorrection::Compute(ReadDataLog(path), state.tune, dialog.settings(), &applied, path);
            ++refreshes;
        });
        QObject::connect(&dialog, &FuelCorrectionDialog::followedComputed, [&] { ++refreshes; });
        QEventLoop loop;
        QTimer::singleShot(FollowForMs, &loop, &QEventLoop::quit);
        since.start();
        oneMs.start();
        if (onThisThread)
            onThread.start();
        else if (!idle)
            dialog.followRunningLog(true);
        loop.exec();
        dialog.followRunningLog(false);
        if (!onThisThread && !idle)
            proposal = dialog.proposal();
        bench.SetIterationTime(static_cast<double>(longestNs) / 1e9);
    }
    bench.counters["longest_gap_ms"] = static_cast<double>(longestNs) / 1e6;
    bench.counters["refreshes"] = refreshes;
    bench.counters["refresh_ms"] = refreshMs;
    bench.counters["cells_proposed"] = static_cast<double>(std::count_if(
        proposal.cells.begin(), proposal.cells.end(), [](const auto &c) { return c.changes(); }));
}

} // namespace

BENCHMARK(BM_FollowAnHourLog)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
