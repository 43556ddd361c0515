// The live trace in the map grid: the grid paints the cell a sample traced
// in the tune, in the two highlight modes, keeps trace points across panel
// switches and refills, loses them on clearing; and the panel table's typed
// dispatch.

#include "EditorTestSupport.h"

#include "daq/AcquisitionSample.h"
#include "daq/EngineTrace.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CVTTPDlg.h"
#include "editors/GridRules.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "shell/Panels.h"

namespace {

void setAxis(CVMapInfo &axis, int first, int step)
{
    for (int i = 0; i < 16; ++i)
        axis.SetMapValue(i, first + i * step);
}

const QColor Green(0, 192, 0);

} // namespace

class TraceTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Tune &t = state.tune;
        setAxis(t.map(MapKey::FUELRPM), 10, 10);   // 500, 1000, ... 8000 RPM
        setAxis(t.map(MapKey::FUELTP), 0, 16);
        setAxis(t.map(MapKey::TIMINGRPM), 20, 10); // 1000, 1500, ... RPM
        setAxis(t.map(MapKey::TIMINGTP), 0, 10);
        for (MapKey k : {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM, MapKey::HOTM})
            for (int i = 0; i < 256; ++i)
                t.map(k).SetMapValue(i, i);
        panel = std::make_unique<CVFuelTimingDlg>(edits, *prefs, messages);
    }
    void TearDown() override
    {
        panel.reset();
        EditorTest::TearDown();
    }
    void show(int panelIndex)
    {
        state.CurrentPanel = panelIndex;
        panel->UpdateData();
    }
    // One acquisition sample: traced in the tune as the tick does, then
    // handed to the grid.
    void trace(int rpm, int tp, bool allCells)
    {
        AcquisitionSample sample;
        sample.acquired = true;
        sample.rpm = rpm;
        sample.tpInt = tp;
        EngineTrace::Trace(state.tune, sample, allCells);
        panel->ShowTrace(sample);
    }
    QColor back(int row, int col) const { return panel->gridModel()->background(row, col); }
    // Every green cell of the grid, as (row, column).
    std::vector<std::pair<int, int>> greenCells() const
    {
        std::vector<std::pair<int, int>> out;
        for (int r = 0; r < GridRules::GridRows; ++r)
            for (int c = 0; c < GridRules::GridCols; ++c)
                if (back(r, c) == Green)
                    out.emplace_back(r, c);
        return out;
    }
    using Cells = std::vector<std::pair<int, int>>;

    std::unique_ptr<CVFuelTimingDlg> panel;
};

TEST_F(TraceTest, CurrentCellModeKeepsOnlyTheLastCellGreen)
{
    show(7);
    // 1000 RPM -> axis value 20 -> row index 1; TP 33 -> nearest 32 -> column index 2.
    trace(1000, 33, false);
    EXPECT_EQ(greenCells(), (Cells{{2, 3}}));

    trace(3000, 100, false); // row index 5, column index 6
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));
    EXPECT_EQ(back(2, 3), QColor(18, 18, 255)); // the first cell has its scale colour back
    EXPECT_FALSE(state.tune.map(MapKey::HOFM).IsRTMapPointSet(18));

    // The same cell twice stays green; a failed tick changes nothing.
    trace(3000, 100, false);
    AcquisitionSample failed;
    panel->ShowTrace(failed);
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));

    // A refill in this mode leaves only scale colours.
    panel->PopGrid();
    EXPECT_TRUE(greenCells().empty());
}

TEST_F(TraceTest, AllCellsModeKeepsTheTrailAcrossPanelSwitches)
{
    show(7);
    trace(1000, 33, true);
    trace(3000, 100, true);
    trace(8000, 240, true);
    const Cells trail{{2, 3}, {6, 7}, {16, 16}};
    EXPECT_EQ(greenCells(), trail);

    show(9);
    EXPECT_TRUE(greenCells().empty());
    show(7);
    EXPECT_EQ(greenCells(), trail);

    // Switching the mode leaves existing points; a new sample in mode 0 turns
    // the previous cell back to its scale colour.
    trace(500, 0, false);
    EXPECT_EQ(greenCells(), (Cells{{1, 1}, {2, 3}, {6, 7}}));

    // "Clear Real-Time Data Points": the traced maps lose their points and
    // the grid its green.
    panel->ClearRTState();
    EXPECT_TRUE(greenCells().empty());
    for (int i = 0; i < 256; ++i)
        ASSERT_FALSE(state.tune.map(MapKey::HOFM).IsRTMapPointSet(i));
    show(7);
    EXPECT_TRUE(greenCells().empty());
}

TEST_F(TraceTest, AnEditReplacesTheGreenButKeepsTheTracePoint)
{
    show(7);
    trace(1000, 33, true);
    panel->setCurrentCell(2, 3);
    QTest::keyClicks(panel->grid(), QStringLiteral("+"));
    EXPECT_EQ(back(2, 3), QColor(19, 19, 255));
    EXPECT_TRUE(state.tune.map(MapKey::HOFM).IsRTMapPointSet(18));
    panel->ClearDataPoints();
    EXPECT_EQ(back(2, 3), Green);
}

TEST_F(TraceTest, OnlyTheTracedMapOnScreenIsPainted)
{
    // A low octane map on screen: traced maps change no colours.
    show(9);
    const std::vector<QColor> before = [&] {
        std::vector<QColor> v;
        for (int i = 0; i < 289; ++i)
            v.push_back(back(i / 17, i % 17));
        return v;
    }();
    trace(3000, 100, false);
    trace(1000, 33, false);
    for (int i = 0; i < 289; ++i)
        ASSERT_EQ(back(i / 17, i % 17), before[i]) << i;

    // The timing map on screen: its own cell on the timing axes.
    show(11);
    trace(3500, 60, false); // 70 -> index 5; TP 60 -> index 6
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));
}

TEST_F(TraceTest, PanelTableDispatchesByIndex)
{
    CVTTPDlg ttp(edits, messages);
    PanelTable table;
    table.Set(PanelIndex::TTPMaps, &ttp);
    for (int i = PanelIndex::HOFM; i <= PanelIndex::LOTM; ++i)
        table.Set(i, panel.get());

    EXPECT_EQ(table.At(0), nullptr);
    EXPECT_EQ(table.At(15), nullptr);
    EXPECT_EQ(table.Grid(9), panel.get());
    EXPECT_EQ(table.Grid(4), nullptr);
    EXPECT_EQ(table.Tracing(4), &ttp);

    AcquisitionSample sample;
    sample.acquired = true;
    sample.ttpMinIndex = 15;
    table.Tracing(4)->ShowTrace(sample);
    EXPECT_TRUE(TablePanel::IsMarked(ttp.ttpMinBox(15)));
    table.ClearRTState(4);
    table.ClearRTState(1); // empty: nothing happens
    EXPECT_FALSE(TablePanel::IsMarked(ttp.ttpMinBox(15)));
}
