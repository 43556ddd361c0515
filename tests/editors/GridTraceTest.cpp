// The live trace in the map grid: which cell a sample reaches, the two
// highlight modes, trace points across panel switches and refills, clearing,
// and the panel table's typed dispatch.

#include "EditorTestSupport.h"

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
    prefs->SetHighlightMode(0);
    show(7);
    // 1000 RPM -> axis value 20 -> row index 1; TP 33 -> nearest 32 -> column index 2.
    panel->TraceCell(7, 1000, 33);
    EXPECT_EQ(greenCells(), (Cells{{2, 3}}));
    const CVMapInfo &hofm = state.tune.map(MapKey::HOFM);
    EXPECT_EQ(hofm.LastRPMIndex(), 1);
    EXPECT_EQ(hofm.LastTPIndex(), 2);
    EXPECT_EQ(hofm.LastAccessedValue(), GridRules::DisplayValue(1 * 16 + 2, false));

    panel->TraceCell(7, 3000, 100); // row index 5, column index 6
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));
    EXPECT_EQ(back(2, 3), QColor(18, 18, 255)); // the first cell has its scale colour back
    EXPECT_FALSE(hofm.IsRTMapPointSet(18));

    // The same cell twice stays green.
    panel->TraceCell(7, 3000, 100);
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));

    // A refill in this mode leaves only scale colours.
    panel->PopGrid();
    EXPECT_TRUE(greenCells().empty());
}

TEST_F(TraceTest, AllCellsModeKeepsTheTrailAcrossPanelSwitches)
{
    prefs->SetHighlightMode(1);
    show(7);
    panel->TraceCell(7, 1000, 33);
    panel->TraceCell(7, 3000, 100);
    panel->TraceCell(7, 8000, 240);
    const Cells trail{{2, 3}, {6, 7}, {16, 16}};
    EXPECT_EQ(greenCells(), trail);

    show(9);
    EXPECT_TRUE(greenCells().empty());
    show(7);
    EXPECT_EQ(greenCells(), trail);

    // Switching the mode leaves existing points; a new sample in mode 0 turns
    // the previous cell back to its scale colour.
    prefs->SetHighlightMode(0);
    panel->TraceCell(7, 500, 0);
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
    prefs->SetHighlightMode(1);
    show(7);
    panel->TraceCell(7, 1000, 33);
    panel->setCurrentCell(2, 3);
    QTest::keyClicks(panel->grid(), QStringLiteral("+"));
    EXPECT_EQ(back(2, 3), QColor(19, 19, 255));
    EXPECT_TRUE(state.tune.map(MapKey::HOFM).IsRTMapPointSet(18));
    panel->ClearDataPoints();
    EXPECT_EQ(back(2, 3), Green);
}

TEST_F(TraceTest, MapsOffScreenAreTracedWithoutColouring)
{
    prefs->SetHighlightMode(0);
    show(9);
    const std::vector<QColor> before = [&] {
        std::vector<QColor> v;
        for (int i = 0; i < 289; ++i)
            v.push_back(back(i / 17, i % 17));
        return v;
    }();
    panel->TraceCell(7, 3000, 100);
    panel->TraceCell(8, 1000, 33);
    panel->TraceCell(11, 1500, 40);
    for (int i = 0; i < 289; ++i)
        ASSERT_EQ(back(i / 17, i % 17), before[i]) << i;

    EXPECT_EQ(state.tune.map(MapKey::HOFM).LastRPMIndex(), 5);
    EXPECT_EQ(state.tune.map(MapKey::HOHGFM).LastRPMIndex(), 1);
    EXPECT_EQ(state.tune.map(MapKey::HOHGFM).LastTPIndex(), 2);
    // Panel 11 uses the timing axes: 1500 RPM -> 30 -> index 1; TP 40 -> index 4.
    const CVMapInfo &hotm = state.tune.map(MapKey::HOTM);
    EXPECT_EQ(hotm.LastRPMIndex(), 1);
    EXPECT_EQ(hotm.LastTPIndex(), 4);
    EXPECT_EQ(hotm.LastAccessedValue(), 20); // raw 20, open loop
    // The low octane map was not traced.
    EXPECT_EQ(state.tune.map(MapKey::LOFM).LastRPMIndex(), 1);
    EXPECT_EQ(state.tune.map(MapKey::LOFM).LastTPIndex(), 1);
}

TEST_F(TraceTest, TimingTraceShowsTimingValues)
{
    prefs->SetHighlightMode(0);
    state.tune.map(MapKey::HOTM).SetMapValue(5 * 16 + 6, 140);
    show(11);
    panel->TraceCell(11, 3500, 60); // 70 -> index 5; TP 60 -> index 6
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));
    EXPECT_EQ(state.tune.map(MapKey::HOTM).LastAccessedValue(), 12);
    // 1275 RPM is looked up as axis value 26.
    panel->TraceCell(11, 1275, 0);
    EXPECT_EQ(state.tune.map(MapKey::HOTM).LastRPMIndex(), 1);
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

    prefs->SetHighlightMode(1);
    state.CurrentPanel = 7;
    table.UpdateData(7);
    table.TraceCell(7, TraceSample{3000, 100, 1.0f});
    table.TraceCell(4, TraceSample{3000, 100, 1.0f});
    table.TraceCell(1, TraceSample{3000, 100, 1.0f}); // empty: nothing happens
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));
    EXPECT_TRUE(TablePanel::IsMarked(ttp.ttpMinBox(15)));
    table.ClearRTState(4);
    EXPECT_FALSE(TablePanel::IsMarked(ttp.ttpMinBox(15)));
}
