// Undo of a whole-map step and of a block operation on 256 cells, alone and as
// the user sees it (with the grid refilled), offscreen. Target: each under
// 5 ms. Each iteration undoes and redoes once, so one undo is half the time
// reported.

#include "editors/EditSession.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridBlockCommands.h"
#include "link/LinkSession.h"
#include "model/TraceMarks.h"
#include "editors/ui/MapGridView.h"
#include "support/NullSender.h"
#include "model/ProgramState.h"
#include "model/TuneHistory.h"
#include "platform/MessageBoxService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "editors/EditorSettings.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

void fillTune(Tune &t)
{
    for (int i = 0; i < 16; ++i) {
        t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
        t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
    }
    for (int i = 0; i < 256; ++i) {
        t.map(MapKey::HOFM).SetMapValue(i, (i * 37) % 256);
        t.map(MapKey::LOFM).SetMapValue(i, (i * 11) % 256);
    }
}

// The history alone: a map copy (256 entries) undone and redone.
void BM_UndoRedoFullMapCopy(benchmark::State &st)
{
    Tune tune;
    fillTune(tune);
    TuneHistory history(tune);
    for (int i = 0; i < 256; ++i)
        tune.map(MapKey::HOFM).SetMapValue(i, tune.map(MapKey::LOFM).MapValue(i));
    history.Record(QStringLiteral("Copy Low Octane Fuel Map"));
    for (auto _ : st) {
        history.Undo();
        history.Redo();
    }
    st.SetItemsProcessed(st.iterations() * 2);
}
BENCHMARK(BM_UndoRedoFullMapCopy)->Unit(benchmark::kMicrosecond);

struct GridSetup
{
    GridSetup()
        : store(dir.filePath(QStringLiteral("bench.ini"))), prefs(store), history(state.tune)
    {
        fillTune(state.tune);
        history.Reset(true);
        QObject::connect(&state, &ProgramState::editNoted, [this](const QString &label) { history.Record(label); });
        panel = std::make_unique<CVFuelTimingDlg>(edits, marks, prefs, messages);
        state.CurrentPanel = 7;
        panel->resize(900, 600);
        panel->show();
        panel->UpdateData();
        QAbstractItemModel *m = panel->grid()->model();
        panel->grid()->selectionModel()->select(QItemSelection(m->index(1, 1), m->index(16, 16)),
                                                QItemSelectionModel::ClearAndSelect);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    SettingsStore store;
    EditorSettings prefs;
    ProgramState state;
    TraceMarks marks;
    LinkSession link;
    TuneHistory history;
    NullSender sender;
    EditSession edits{state, link, sender};
    ScriptedMessageBoxService messages;
    std::unique_ptr<CVFuelTimingDlg> panel;
};

// A block operation on all 256 body cells, then undo and redo with the grid
// refilled each time, as the Edit menu does.
void BM_UndoRedoBlockOperationWithGrid(benchmark::State &st)
{
    GridSetup s;
    s.panel->blocks().RunBlock(BlockOps::Op::Scale, 90);
    for (auto _ : st) {
        s.history.Undo();
        s.panel->PopGrid();
        s.history.Redo();
        s.panel->PopGrid();
    }
    st.SetItemsProcessed(st.iterations() * 2);
}
BENCHMARK(BM_UndoRedoBlockOperationWithGrid)->Unit(benchmark::kMicrosecond);

// The block operation itself on 256 cells (planning, storing, refreshing the
// cells, recording the step), alternating so that every run changes them.
void BM_BlockOperation256Cells(benchmark::State &st)
{
    GridSetup s;
    bool up = true;
    for (auto _ : st) {
        s.panel->blocks().RunBlock(up ? BlockOps::Op::Add : BlockOps::Op::Subtract, 1);
        up = !up;
    }
}
BENCHMARK(BM_BlockOperation256Cells)->Unit(benchmark::kMicrosecond);

} // namespace
