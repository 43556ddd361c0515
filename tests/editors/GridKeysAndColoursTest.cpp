// The map grid: typing a number or F2 starts the in-place editor, and the
// colour scale by value (kept in the preferences, followed by the legend).

#include "support/AppOnBoxTest.h"

#include "editors/CellColours.h"
#include "editors/EditorSettings.h"
#include "editors/GridRules.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"

#include <QLabel>
#include <QPixmap>

namespace {

class GridKeysTest : public AppOnBoxTest
{
protected:
    void SetUp() override
    {
        start();
        for (int i = 0; i < 16; ++i) {
            state().tune.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
            state().tune.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        }
        showGrid();
    }
    // The High Octane Fuel Map on screen, as a click in the tree shows it.
    void showGrid()
    {
        w().BuildTree();
        w().ShowPanel(state().CurrentPanel, false);
        w().ShowPanel(7, true);
        panel = &app->grid();
    }
    void setRaw(int row, int col, int raw)
    {
        state().tune.map(MapKey::HOFM).SetMapValue(GridRules::EntryIndexOf(row, col), raw);
    }
    int raw(int row, int col)
    {
        return state().tune.map(MapKey::HOFM).MapValue(GridRules::EntryIndexOf(row, col));
    }
    CVFuelTimingDlg *panel = nullptr;
};

} // namespace

TEST_F(GridKeysTest, TypingANumberStartsTheEditorWithIt)
{
    setRaw(2, 3, 40);
    panel->PopGrid();
    panel->setCurrentCell(2, 3);
    QTest::keyClicks(panel->grid(), "7");
    ASSERT_TRUE(panel->IsEditingMap());
    EXPECT_EQ(panel->cellEditor()->text(), "7");
    QTest::keyClicks(panel->cellEditor(), "2");
    QTest::keyClick(panel->cellEditor(), Qt::Key_Return);
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_EQ(raw(2, 3), 72) << "the typed digit is not lost";

    // A decimal point starts it too: ".6" rounds to 1.
    QTest::keyClicks(panel->grid(), ".");
    ASSERT_TRUE(panel->IsEditingMap());
    QTest::keyClicks(panel->cellEditor(), "6");
    QTest::keyClick(panel->cellEditor(), Qt::Key_Return);
    EXPECT_EQ(raw(2, 3), 1);

    // F2 keeps the value, the cursor behind it: typing appends.
    QTest::keyClick(panel->grid(), Qt::Key_F2);
    ASSERT_TRUE(panel->IsEditingMap());
    QTest::keyClicks(panel->cellEditor(), "5");
    QTest::keyClick(panel->cellEditor(), Qt::Key_Return);
    EXPECT_EQ(raw(2, 3), 15);

    // "-" keeps its step.
    QTest::keyClicks(panel->grid(), "-");
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_EQ(raw(2, 3), 14);

    // In real-time mode neither key opens the editor.
    state().RealTimeEnabled = true;
    QTest::keyClicks(panel->grid(), "3");
    QTest::keyClick(panel->grid(), Qt::Key_F2);
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_EQ(raw(2, 3), 14);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(GridKeysTest, TheValueScaleIsAPreferenceTheGridAndLegendFollow)
{
    // Low to high open-loop fuel, then closed loop from -64 to 63.
    const int open[] = {0, 30, 60, 90, 127};
    const int closed[] = {128, 160, 192, 224, 255};
    for (int i = 0; i < 5; ++i) {
        setRaw(1, i + 1, open[i]);
        setRaw(2, i + 1, closed[i]);
    }
    panel->PopGrid();
    const QColor loopBlue = panel->gridModel()->background(1, 1);

    panel->SetValueColours(true);
    auto lightness = [&](int row, int col) {
        const QColor c = panel->gridModel()->background(row, col);
        return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    };
    for (int i = 1; i < 5; ++i) {
        EXPECT_GT(lightness(1, i + 1), lightness(1, i)) << "open loop grows lighter with the value";
        EXPECT_GT(lightness(2, i + 1), lightness(2, i)) << "closed loop grows lighter with the value";
    }
    for (int i = 1; i <= 5; ++i) {
        // Closed loop is grey, open loop coloured: told apart at any value.
        EXPECT_EQ(panel->gridModel()->background(2, i).hsvSaturation(), 0);
        EXPECT_GT(panel->gridModel()->background(1, i).hsvSaturation(), 100);
    }
    // The trace colour is none of the scale's.
    const std::uint32_t trace = CellColours::TraceColour(CellColours::Scheme::ValueScale);
    for (int r = 0; r < 256; ++r)
        for (bool timing : {false, true})
            ASSERT_NE(CellColours::Background(CellColours::Scheme::ValueScale, r, timing), trace);

    auto legend = [&](const char *name) {
        return panel->legend()->findChild<QLabel *>(name)->pixmap().toImage();
    };
    const QImage ramp = legend("legendOpenLoop");
    EXPECT_NE(ramp.pixelColor(2, 7), ramp.pixelColor(ramp.width() - 3, 7)) << "the legend shows the ramp";

    // Kept in the preferences file: the next run's grid starts with it.
    start();
    EXPECT_EQ(prefs->editor.GridColourScheme(), 1);
    showGrid();
    setRaw(1, 1, open[0]);
    panel->PopGrid();
    EXPECT_TRUE(panel->ValueColours());
    panel->SetValueColours(false);
    EXPECT_EQ(panel->gridModel()->background(1, 1), loopBlue);
    const QImage solid = legend("legendOpenLoop");
    EXPECT_EQ(solid.pixelColor(2, 7), solid.pixelColor(solid.width() - 3, 7));
}
