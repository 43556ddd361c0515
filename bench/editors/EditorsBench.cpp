// The map grid's refill and one live-trace step (the trace in the tune and
// the grid painting it), offscreen. Targets: PopGrid under 2 ms and a trace
// step under 0.2 ms, so that a 25 ms acquisition period
// leaves the interface idle nearly all the time. The QTableWidget fill is the
// reference the grid's own model was chosen against.

#include "daq/AcquisitionSample.h"
#include "daq/EngineTrace.h"
#include "editors/EditorSettings.h"
#include "editors/EditSession.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapGridView.h"
#include "link/LinkSession.h"
#include "model/TraceMarks.h"
#include "support/NullSender.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct GridSetup
{
    GridSetup(bool allCells)
        : store(dir.filePath(QStringLiteral("bench.ini")))
        , prefs(store)
        , keepVisitedCells(allCells)
    {
        Tune &t = state.tune;
        for (int i = 0; i < 16; ++i) {
            t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
            t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        }
        for (int i = 0; i < 256; ++i)
            t.map(MapKey::HOFM).SetMapValue(i, (i * 37) % 256);
        for (int i = 0; i < 256; i += 3)
            marks.Of(MapKey::HOFM).AddRTMapPoint(i);
        panel = std::make_unique<CVFuelTimingDlg>(edits, marks, prefs, messages);
        state.CurrentPanel = 7;
        panel->resize(900, 600);
        panel->show();
        panel->UpdateData();
        QCoreApplication::processEvents();
    }
    // One acquisition sample traced in the tune and painted by the grid.
    void trace(int rpm, int tp)
    {
        AcquisitionSample sample;
        sample.acquired = true;
        sample.rpm = rpm;
        sample.tpInt = tp;
        EngineTrace::Trace(state.tune, marks, sample, keepVisitedCells);
        panel->ShowTrace(sample);
    }

    QTemporaryDir dir;
    SettingsStore store;
    EditorSettings prefs;
    bool keepVisitedCells;
    ProgramState state;
    TraceMarks marks;
    LinkSession link;
    NullSender sender;
    EditSession edits{state, link, sender};
    ScriptedMessageBoxService messages;
    std::unique_ptr<CVFuelTimingDlg> panel;
};

void BM_PopGrid(benchmark::State &st)
{
    GridSetup g(false);
    for (auto _ : st)
        g.panel->PopGrid();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_PopGrid)->Unit(benchmark::kMicrosecond);

// PopGrid followed by the repaint it causes (not part of PopGrid itself: the
// view repaints once the event loop runs).
void BM_PopGridAndRepaint(benchmark::State &st)
{
    GridSetup g(false);
    for (auto _ : st) {
        g.panel->PopGrid();
        g.panel->grid()->viewport()->repaint();
    }
}
BENCHMARK(BM_PopGridAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_TraceCellCurrentCellMode(benchmark::State &st)
{
    GridSetup g(false);
    int n = 0;
    for (auto _ : st) {
        g.trace((n & 1) ? 3000 : 1000, (n & 2) ? 100 : 33);
        ++n;
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_TraceCellCurrentCellMode)->Unit(benchmark::kMicrosecond);

void BM_TraceCellAllCellsMode(benchmark::State &st)
{
    GridSetup g(true);
    int n = 0;
    for (auto _ : st) {
        g.trace(500 + (n % 16) * 500, (n % 15) * 16);
        ++n;
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_TraceCellAllCellsMode)->Unit(benchmark::kMicrosecond);

void BM_ReferenceQTableWidgetFill(benchmark::State &st)
{
    QTableWidget table(17, 17);
    table.resize(900, 600);
    table.show();
    QCoreApplication::processEvents();
    int round = 0;
    for (auto _ : st) {
        for (int r = 0; r < 17; ++r) {
            for (int c = 0; c < 17; ++c) {
                QTableWidgetItem *item = table.item(r, c);
                if (!item) {
                    item = new QTableWidgetItem;
                    table.setItem(r, c, item);
                }
                const int v = (r * 17 + c + round) % 256;
                item->setText(QString::number(v));
                item->setBackground(QColor(v, v, 255));
            }
        }
        ++round;
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ReferenceQTableWidgetFill)->Unit(benchmark::kMicrosecond);

} // namespace
