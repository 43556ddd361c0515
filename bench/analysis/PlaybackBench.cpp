// Playback of a 1,000,000-line log through the whole main window (offscreen):
//
// - BM_PlaybackCursorStep: one Right key in the viewer with playback on, and
//   everything it drives painted: the viewer's plots and readout, the trace
//   on the visible map grid, the real-time strip and the gauges. Target: one
//   frame, 16 ms (counter of_frame: time per step over 16 ms).
// - BM_PlaybackAt16x: plays at 16x for 3 s of wall time and reports how far
//   the cursor was behind the clock when play stopped, in wall-clock ms
//   (behind_ms: within one frame, 16 ms, plus one sample, when it keeps up;
//   it does not grow with the time played) and the frames shown per second.
// - BM_ScatterOpen: the X-Y scatter of the whole log opened and painted.
//   Target: under 1 s.
//
// The log is made once by `vantrelle-cli --sim-daq log ... --count 1000000
// --no-wait` into the temporary folder and kept there for the next run
// (VANTRELLE_PLAYBACK_LOG names another one).

#include "../support/SimulatedLog.h"
#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/LogScatterWindow.h"
#include "analysis/ui/PlaybackBar.h"
#include "analysis/ui/PlaybackCommands.h"
#include "app/CVUserPrefs.h"
#include "app/MainApplication.h"
#include "gauges/ui/GaugesWindow.h"
#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "platform/SettingsStore.h"
#include "shell/frmMain.h"
#include "support/ScriptedFileDialogService.h"
#include "support/ScriptedMessageBoxService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr long Lines = 1'000'000;

QString bigLog()
{
    const QString named = qEnvironmentVariable("VANTRELLE_PLAYBACK_LOG");
    const QString path =
        named.isEmpty() ? QDir::temp().filePath(QStringLiteral("vantrelle-playback-1000000.csv")) : named;
    if (QFileInfo(path).size() > 50'000'000)
        return path;
    std::fprintf(stderr, "Writing %s with vantrelle-cli (a few minutes)...\n", qPrintable(path));
    return WriteSimulatedLog(path, Lines) ? path : QString();
}

// The application with the log open in the viewer and playback on, shared
// by the benchmarks (opening the log takes seconds).
struct PlaybackWorld
{
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("Vantrelle.ini"))};
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    CVUserPrefs prefs{store};
    std::unique_ptr<MainApplication> app;
    DatalogViewer *viewer = nullptr;

    bool open()
    {
        const QString path = bigLog();
        if (path.isEmpty())
            return false;
        StartOptions options;
        options.simulatedDaq = true;
        options.journalFolder = dir.filePath(QStringLiteral("journal"));
        options.historyFolder = dir.filePath(QStringLiteral("history"));
        app = std::make_unique<MainApplication>(prefs, messages, files, options);
        TuneFromImage(LoadStockImage(105).image, app->state().tune);
        frmMain &w = app->window();
        w.resize(1280, 900);
        w.show();
        w.BuildTree();
        w.ShowPanel(7, true);
        app->gauges().show();
        viewer = &app->analysisCommands().ShowViewer();
        if (!viewer->openLog(path) || viewer->log().rowCount() < static_cast<std::size_t>(Lines))
            return false;
        viewer->playbackBar()->playbackAction()->trigger();
        QApplication::processEvents();
        return app->playback().Active();
    }
};

PlaybackWorld *world()
{
    static std::unique_ptr<PlaybackWorld> made;
    if (!made) {
        made = std::make_unique<PlaybackWorld>();
        if (!made->open())
            return nullptr;
    }
    return made->app ? made.get() : nullptr;
}

void BM_PlaybackCursorStep(benchmark::State &bench)
{
    PlaybackWorld *pw = world();
    if (!pw) {
        bench.SkipWithError("no log");
        return;
    }
    pw->viewer->setCursorRow(Lines / 2);
    QApplication::processEvents();
    for (auto _ : bench) {
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(pw->viewer, &right);
        pw->app->gauges().ApplyPending(); // the gauges' own frame, not waited for
        QApplication::processEvents();    // paints the plots, the grid and the strip
    }
    bench.counters["of_frame"] = benchmark::Counter(static_cast<double>(bench.iterations()) * 0.016,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PlaybackAt16x(benchmark::State &bench)
{
    PlaybackWorld *pw = world();
    if (!pw) {
        bench.SkipWithError("no log");
        return;
    }
    const DataLog &log = pw->viewer->log();
    for (auto _ : bench) {
        pw->viewer->setCursorRow(0);
        auto *speed = pw->viewer->playbackBar()->speedCombo();
        speed->setCurrentIndex(speed->findData(16.0));
        int frames = 0;
        const auto counter = QObject::connect(pw->viewer, &DatalogViewer::cursorRowMoved, [&frames] { ++frames; });
        QElapsedTimer clock;
        clock.start();
        pw->app->playback().Play(true);
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const double shown = log.time[static_cast<std::size_t>(pw->viewer->cursorRow())];
        pw->app->playback().Play(false);
        QObject::disconnect(counter);
        bench.counters["behind_ms"] = (16.0 * wall - shown) / 16.0 * 1000.0;
        bench.counters["frames_per_s"] = frames / wall;
    }
}

void BM_ScatterOpen(benchmark::State &bench)
{
    PlaybackWorld *pw = world();
    if (!pw) {
        bench.SkipWithError("no log");
        return;
    }
    pw->viewer->setMarks(-1, -1); // the whole log
    for (auto _ : bench) {
        LogScatterWindow *scatter = pw->app->analysisCommands().ShowScatter();
        QApplication::processEvents();
        benchmark::DoNotOptimize(scatter->canvas()->image().points);
        bench.PauseTiming();
        delete scatter;
        QApplication::processEvents();
        bench.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_PlaybackCursorStep)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlaybackAt16x)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ScatterOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
