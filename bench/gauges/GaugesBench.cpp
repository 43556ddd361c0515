// The gauges' cost per acquisition tick on the interface thread, offscreen:
// handing over a sample, applying it to every gauge and painting every gauge
// whose reading changed (here all of them: worst case). The 25 ms period
// leaves the rest for the tick itself and the strip. For reference, the same
// paints with the cached faces thrown away (what a resize costs).

#include "daq/CVDAQInput.h"
#include "gauges/ui/GaugesWindow.h"
#include "gauges/ui/GaugeWidget.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Board
{
    Board() : store(dir.filePath(QStringLiteral("bench.ini"))), prefs(store), wnd(state, prefs)
    {
        state.tune.general().SetRevLimiter(150);
        for (int i = 0; i < 8; ++i)
            prefs.AddDAQInput(DAQInputRecord{.name = QStringLiteral("A%1").arg(i),
                                             .channel = i,
                                             .thresholdsEnabled = true,
                                             .warningThreshold = 3.0f,
                                             .criticalThreshold = 4.0f});
        wnd.resize(900, 700);
        wnd.show();
        QCoreApplication::processEvents();
    }

    AcquisitionSample sample(int n) const
    {
        AcquisitionSample s;
        s.acquired = true;
        s.status = QStringLiteral("Receiving data.");
        s.rpm = 800 + (n * 37) % 7000;
        s.tp = static_cast<float>((n * 7) % 120);
        s.tpInt = static_cast<int>(s.tp);
        s.masVoltage = static_cast<float>((n % 50) / 10.0);
        s.injectorDuty = static_cast<float>((n * 3) % 100);
        for (int i = 0; i < 8; ++i) {
            AcquisitionSample::Input in;
            in.name = QStringLiteral("A%1").arg(i);
            in.value = static_cast<float>(((n + i * 5) % 50) / 10.0);
            in.thresholdColor = in.value > 4 ? CVDAQInput::DefaultCriticalColor
                                             : (in.value > 3 ? CVDAQInput::DefaultWarningColor
                                                             : CVDAQInput::DefaultNormalColor);
            s.inputs.append(in);
        }
        for (int i = 0; i < 12; ++i) {
            AcquisitionSample::Input in;
            in.name = QStringLiteral("D%1").arg(i);
            in.digital = true;
            in.value = ((n + i) % 2) ? 1.0f : 0.0f;
            s.inputs.append(in);
        }
        return s;
    }

    // One frame: everything that asked for a paint is painted once (in the
    // program the event loop does this when it next gets a turn).
    void paintAll(bool dropFaces)
    {
        if (dropFaces)
            for (const QString &key : wnd.GaugeKeys())
                wnd.Gauge(key)->setZones({}); // throws the cached face away
        wnd.repaint();
    }

    double paints() const
    {
        double n = 0;
        for (const QString &key : wnd.GaugeKeys())
            n += wnd.Gauge(key)->paintCount();
        return n;
    }
    double faces() const
    {
        double n = 0;
        for (const QString &key : wnd.GaugeKeys())
            n += wnd.Gauge(key)->faceBuilds();
        return n;
    }

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    ProgramState state;
    GaugesWindow wnd;
};

void BM_GaugesTick(benchmark::State &st)
{
    Board b;
    int n = 0;
    for (auto _ : st) {
        b.wnd.TakeSample(b.sample(++n));
        b.wnd.ApplyPending();
        b.paintAll(false);
    }
    st.counters["gauges"] = static_cast<double>(b.wnd.GaugeKeys().size());
    st.counters["paints/tick"] = benchmark::Counter(b.paints(), benchmark::Counter::kAvgIterations);
    st.counters["faces/tick"] = benchmark::Counter(b.faces(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GaugesTick)->Unit(benchmark::kMicrosecond);

void BM_GaugesTickFacesRebuilt(benchmark::State &st)
{
    Board b;
    int n = 0;
    for (auto _ : st) {
        b.wnd.TakeSample(b.sample(++n));
        b.wnd.ApplyPending();
        b.paintAll(true);
    }
    st.counters["paints/tick"] = benchmark::Counter(b.paints(), benchmark::Counter::kAvgIterations);
    st.counters["faces/tick"] = benchmark::Counter(b.faces(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GaugesTickFacesRebuilt)->Unit(benchmark::kMicrosecond);

void BM_GaugesHandOver(benchmark::State &st)
{
    // What the acquisition tick itself pays: keeping the sample.
    Board b;
    const AcquisitionSample s = b.sample(1);
    for (auto _ : st)
        b.wnd.TakeSample(s);
}
BENCHMARK(BM_GaugesHandOver)->Unit(benchmark::kMicrosecond);

} // namespace
