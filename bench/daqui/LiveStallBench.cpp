// How long the user-interface thread is held at a stretch while real-time
// mode runs on a slow unit: the simulated U12 blocking 20 ms in every call
// (as a real one does), eight analog inputs (a counter call and two sample
// calls a tick: 60 ms of every 100 ms period) and the default period, with
// the main window showing the strip and the traced grid. The longest event
// the thread handles at once (a timer's tick, a posted call, a repaint) is
// the stall a tuner feels: nothing typed or clicked is seen before it ends.
// The target is under 5 ms, from half a second after real-time mode came on
// (the strip appearing and the window's new layout before that are reported
// apart as start_ms). The log must hold one line per completed tick.
//
// Arg 0 runs the ticks as the window does (device calls on the acquisition
// thread); arg 1 calls every tick whole on this thread, for comparison.
// Counters: longest_stall_ms, start_ms, ticks (completed), skipped,
// log_lines, samples_per_s. STALL_DEBUG=1 names every event over 3 ms.

#include "../support/BenchMain.h"
#include "app/CVUserPrefs.h"
#include "app/MainApplication.h"
#include "daq/CVRTLogger.h"
#include "daq/ui/AcquisitionCommands.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/StockPrograms.h"
#include "platform/SettingsStore.h"
#include "shell/frmMain.h"
#include "support/ScriptedFileDialogService.h"
#include "support/ScriptedMessageBoxService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

constexpr int RunMs = 6000;
constexpr int SettleMs = 500;

// Times every event the thread handles from the event loop itself (not those
// sent from inside another's handling, which are part of it).
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        // Only this thread's: the acquisition thread's calls hold no one up.
        if (m_depth > 0 || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        ++m_depth;
        const qint64 start = m_clock.nsecsElapsed();
        const bool done = QApplication::notify(receiver, event);
        m_longestNs = std::max(m_longestNs, m_clock.nsecsElapsed() - start);
        if (m_debug && m_clock.nsecsElapsed() - start > 3'000'000)
            qWarning("%lld us: %s, event %d", (m_clock.nsecsElapsed() - start) / 1000,
                     receiver->metaObject()->className(), static_cast<int>(event->type()));
        --m_depth;
        return done;
    }
    void ResetLongest() { m_longestNs = 0; }
    qint64 LongestNs() const { return m_longestNs; }

    static TimedApplication *Instance() { return static_cast<TimedApplication *>(QCoreApplication::instance()); }

private:
    QElapsedTimer m_clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    const bool m_debug = qEnvironmentVariableIsSet("STALL_DEBUG");
    int m_depth = 0;
    qint64 m_longestNs = 0;
};

void BM_LiveStallOnASlowUnit(benchmark::State &bench)
{
    const bool wholeTickHere = bench.range(0) == 1;
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    CVUserPrefs prefs(store);
    for (int c = 1; c <= 7; ++c) // with MAS: eight analog inputs
        prefs.daq.AddDAQInput(DAQInputRecord{.name = QStringLiteral("A%1").arg(c), .channel = c,
                                             .scalingFormula = QStringLiteral("V*%1").arg(c)});
    StartOptions options;
    options.simulatedDaq = true;
    options.simulation.daqLatencyMs = 20;
    MainApplication app(prefs, messages, files, options);
    frmMain &w = app.window();
    TuneFromImage(LoadStockImage(105).image, app.state().tune);
    w.resize(1280, 900);
    w.show();
    w.BuildTree();
    w.ShowPanel(app.state().CurrentPanel, false);
    w.ShowPanel(7, true);
    QApplication::processEvents();

    AcquisitionCommands &acq = app.acquisitionCommands();
    int ticks = 0;
    QObject::connect(&acq, &AcquisitionCommands::sampleTaken, [&](const AcquisitionSample &s) { ticks += s.acquired; });
    QTimer wholeTicks;
    QObject::connect(&wholeTicks, &QTimer::timeout, &acq, &AcquisitionCommands::Tick);

    TimedApplication &timed = *TimedApplication::Instance();
    qint64 longest = 0;
    qint64 startNs = 0;

    for (auto _ : bench) {
        // The link as real-time mode has it, without a box on the line.
        app.link().BeginConnect();
        app.link().HandshakeAnswered();
        app.link().StartRealTime();
        if (wholeTickHere) {
            acq.timer()->stop();
            wholeTicks.start(prefs.daq.SamplePeriodMs());
        }
        timed.ResetLongest();
        QEventLoop loop;
        // The strip appearing and the window laying itself out again are
        // part of switching real-time mode on: counted apart.
        QTimer::singleShot(SettleMs, &loop, [&] {
            startNs = timed.LongestNs();
            timed.ResetLongest();
        });
        QTimer::singleShot(RunMs, &loop, &QEventLoop::quit);
        loop.exec();
        wholeTicks.stop();
        longest = timed.LongestNs();
        app.link().StopRealTime(app.state().tune.general().RevLimiter());
        // The tick in flight at the stop is dropped; let it come back.
        while (acq.Acquiring())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        bench.SetIterationTime(static_cast<double>(longest) / 1e9);
    }
    bench.counters["longest_stall_ms"] = static_cast<double>(longest) / 1e6;
    bench.counters["start_ms"] = static_cast<double>(startNs) / 1e6;
    bench.counters["ticks"] = ticks;
    bench.counters["skipped"] = acq.health().Skipped();
    bench.counters["log_lines"] = static_cast<double>(acq.logger().Samples());
    bench.counters["samples_per_s"] = ticks * 1000.0 / RunMs;
}

} // namespace

BENCHMARK(BM_LiveStallOnASlowUnit)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // As every widget benchmark: offscreen unless a display is asked for,
    // private settings and runtime folders.
    QTemporaryDir isolated;
    IsolateWidgetBench(isolated);
    TimedApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
