// The fuel and timing map grid in the main window, driven the way the user
// drives it: what typing, stepping and loop switching store, the refusals
// and their messages, the cell menu, typing and F2, and the live trace.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "daq/AcquisitionSample.h"
#include "daq/EngineTrace.h"
#include "editors/GridRules.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridCellEditing.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"

#include <QStatusBar>


namespace {

QColor scale(int raw)
{
    return raw < 128 ? QColor(raw, raw, 255) : QColor(raw, 0, 0);
}

class GridTest : public AppOnBoxTest
{
protected:
    void SetUp() override
    {
        start();
        Tune &t = state().tune;
        testenv::risingAxes(t, 20, 10, 5, 15);
        for (MapKey k : {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM, MapKey::LOHGFM, MapKey::HOTM, MapKey::LOTM})
            for (int i = 0; i < 256; ++i)
                t.map(k).SetMapValue(i, (i * 7 + static_cast<int>(k) * 13) % 256);
    }
    CVFuelTimingDlg &grid() { return app->grid(); }
    // Shows a map panel as a click in the tree does (the tree is built for
    // the tune first, as opening a tune does).
    void show(int panelIndex)
    {
        if (!w().TuneShown())
            w().BuildTree();
        w().ShowPanel(state().CurrentPanel, false);
        w().ShowPanel(panelIndex, true);
    }
    void setRaw(MapKey key, int row, int col, int raw)
    {
        state().tune.map(key).SetMapValue(GridRules::EntryIndexOf(row, col), raw);
    }
    int raw(MapKey key, int row, int col) { return state().tune.map(key).MapValue(GridRules::EntryIndexOf(row, col)); }
    QString text(int row, int col) { return grid().gridModel()->text(row, col); }
    QColor back(int row, int col) { return grid().gridModel()->background(row, col); }
    // Opens the editor on a cell with Enter; its whole text is selected, so
    // typing replaces it.
    void typeIntoCell(int row, int col, const QString &typed)
    {
        grid().setCurrentCell(row, col);
        QTest::keyClick(grid().grid(), Qt::Key_Return);
        ASSERT_TRUE(grid().IsEditingMap());
        if (typed.isEmpty())
            QTest::keyClick(grid().cellEditor(), Qt::Key_Delete);
        else
            QTest::keyClicks(grid().cellEditor(), typed);
        QTest::keyClick(grid().cellEditor(), Qt::Key_Return);
    }
    std::vector<std::pair<int, int>> greenCells()
    {
        std::vector<std::pair<int, int>> out;
        for (int r = 0; r < GridRules::GridRows; ++r)
            for (int c = 0; c < GridRules::GridCols; ++c)
                if (back(r, c) == QColor(0, 192, 0))
                    out.emplace_back(r, c);
        return out;
    }
    // One acquisition sample, traced in the tune as the tick does, then
    // handed to the grid.
    void trace(int rpm, int tp, bool allCells)
    {
        AcquisitionSample sample;
        sample.acquired = true;
        sample.rpm = rpm;
        sample.tpInt = tp;
        EngineTrace::Trace(state().tune, app->marks(), sample, allCells);
        grid().ShowTrace(sample);
    }
};

} // namespace

// Each kind of cell, stepped, typed into or switched between open and closed
// loop: the map and entry it changes, what it shows in which colour, and that
// a refused change touches nothing.
TEST_F(GridTest, EveryKindOfCellCommitsToItsMap)
{
    struct Case
    {
        int panel;
        int row, col;
        int before; // the raw value set first; -1 keeps the axis as set up
        const char *action; // "+", "-", "dec" (the menu), "loop", another key, "=text" typed in the
                            // editor, or "~text" typed on the grid and ended with Enter
        MapKey map;
        int after;
        const char *shown;
    };
    // The rules themselves (what a typed or stepped value stores, the loop
    // switch) have their tables in RulesTest; here, the ways in.
    const Case cases[] = {
        {8, 5, 0, -1, "=1275", MapKey::FUELRPM, 26, "1300"}, // the RPM axis works in RPM
        {9, 0, 1, -1, "-", MapKey::FUELTP, 0, "0"},          // 0 - 1 is refused
        {9, 2, 2, 200, "+", MapKey::LOFM, 201, "9"},
        {9, 4, 4, 128, "dec", MapKey::LOFM, 128, "-64"}, // closed cannot step into open
        // A sign typed on a cell that takes negative numbers starts the number;
        // elsewhere it steps, and the digits after it are a new number.
        {9, 4, 5, 200, "~-5", MapKey::LOFM, 187, "-5"},
        {9, 4, 6, 60, "~-5", MapKey::LOFM, 5, "5"},
        {9, 5, 5, 60, "x", MapKey::LOFM, 60, "60"},      // other keys do nothing
        {11, 5, 7, 10, "=140", MapKey::HOTM, 140, "12"}, // 128..173 typed into an open timing cell closes it
        {7, 2, 2, 40, "loop", MapKey::HOFM, 232, "40"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.panel) + " (" + std::to_string(c.row) + ", " + std::to_string(c.col) + ") "
                     + c.action);
        const int entry = GridRules::EntryIndexOf(c.row, c.col);
        if (c.before >= 0)
            state().tune.map(c.map).SetMapValue(entry, c.before);
        const int before = state().tune.map(c.map).MapValue(entry);
        state().NoteAtSavePoint(true);
        state().NoteSent();
        w().statusBar()->clearMessage();
        show(c.panel);
        if (c.action[0] == '=') {
            typeIntoCell(c.row, c.col, QString::fromLatin1(c.action + 1));
        } else {
            grid().setCurrentCell(c.row, c.col);
            const QByteArray action(c.action);
            if (action == "loop" || action == "dec")
                (action == "dec" ? grid().editing().decrementAction() : grid().editing().loopAction())->trigger();
            else // each key where the keyboard is: the grid, or the editor once open
                for (char key : action.startsWith('~') ? action.mid(1) : action)
                    QTest::keyClick(grid().IsEditingMap() ? static_cast<QWidget *>(grid().cellEditor()) : grid().grid(),
                                    key);
            if (action.startsWith('~'))
                QTest::keyClick(grid().cellEditor(), Qt::Key_Return);
        }
        const bool changed = c.after != before;
        EXPECT_EQ(std::pair(state().tune.map(c.map).MapValue(entry), text(c.row, c.col)),
                  std::pair(c.after, QString(c.shown)));
        EXPECT_EQ(std::tuple(state().Modified(), state().ChangesNotSent(), grid().IsEditingMap()),
                  std::tuple(changed, changed, false));
        EXPECT_EQ(w().statusBar()->currentMessage().contains("takes no negative numbers"), c.after == 5)
            << "a sign that became a step is told";
    }
    EXPECT_TRUE(messages.shown().empty()) << messages.texts().join(" | ").toStdString();
}

// A refused value: the message, the editor stays open with its text
// selected, the tune and the flags untouched.
TEST_F(GridTest, RefusedTextKeepsTheEditorOpen)
{
    setRaw(MapKey::HOFM, 3, 4, 200);
    show(7);
    for (const auto &[typed, message] : {std::pair{"64", "Please enter a valid value between -64 and 63"},
                                         std::pair{"", "Please enter a numeric value"}}) {
        SCOPED_TRACE(typed);
        messages.clear();
        typeIntoCell(3, 4, typed);
        EXPECT_EQ(messages.texts(), QStringList{message});
        EXPECT_TRUE(grid().IsEditingMap() && grid().cellEditor()->selectedText() == grid().cellEditor()->text());
        QTest::keyClick(grid().cellEditor(), Qt::Key_Escape);
    }
    EXPECT_EQ(std::tuple(raw(MapKey::HOFM, 3, 4), state().Modified(), state().ChangesNotSent()),
              std::tuple(200, false, false));

    // Leaving the editor for another widget checks it too; the editor takes
    // the focus back.
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    show(7);
    ASSERT_TRUE(grid().isVisible());
    QWidget other(&grid());
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    setRaw(MapKey::HOFM, 2, 2, 40);
    grid().PopGrid();
    grid().setCurrentCell(2, 2);
    QTest::keyClick(grid().grid(), Qt::Key_Return);
    ASSERT_TRUE(grid().cellEditor()->hasFocus());
    messages.clear();
    QTest::keyClicks(grid().cellEditor(), "300");
    other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 127"});
    EXPECT_TRUE(waitFor([&] { return grid().cellEditor()->hasFocus(); }));
}

TEST_F(GridTest, TheCellMenuFollowsTheCurrentCellAndSelection)
{
    setRaw(MapKey::HOFM, 2, 2, 40);
    setRaw(MapKey::HOFM, 3, 3, 200);
    show(7);
    QAction *inc = grid().editing().incrementAction();
    grid().setCurrentCell(4, 0);
    EXPECT_FALSE(grid().editing().loopAction()->isEnabled()) << "an axis has no loop";
    // The corner takes no command at all.
    grid().setCurrentCell(0, 0);
    QTest::keyClicks(grid().grid(), "+-");
    QTest::keyClick(grid().grid(), Qt::Key_Return);
    inc->trigger();
    EXPECT_FALSE(grid().IsEditingMap() || state().Modified());

    // Several selected cells: keys and steps ask for a single cell.
    grid().setCurrentCell(2, 2);
    QTest::keyClick(grid().grid(), Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(grid().grid()->hasMultiCellSelection());
    QTest::keyClicks(grid().grid(), "+");
    grid().editing().decrementAction()->trigger();
    QTest::keyClick(grid().grid(), Qt::Key_Return);
    EXPECT_EQ(messages.texts(), QStringList(3, "Please select a single cell for this operation."));
    EXPECT_EQ(std::pair(raw(MapKey::HOFM, 2, 2), grid().IsEditingMap()), std::pair(40, false));
}

// The two highlight modes: the current cell only, or the whole trail, kept
// across panel switches until the points are cleared.
TEST_F(GridTest, TheTraceMarksTheCellOfTheMapOnShow)
{
    using Cells = std::vector<std::pair<int, int>>;
    for (int i = 0; i < 256; ++i)
        state().tune.map(MapKey::HOFM).SetMapValue(i, i);
    show(7);
    // 1000 RPM -> axis value 20 -> row 2; TP 33 -> nearest 32 -> column 3.
    trace(1000, 33, false);
    EXPECT_EQ(greenCells(), (Cells{{2, 3}}));
    trace(3000, 100, false);
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));
    EXPECT_EQ(back(2, 3), scale(18));
    grid().ShowTrace(AcquisitionSample()); // a failed tick changes nothing
    EXPECT_EQ(greenCells(), (Cells{{6, 7}}));

    app->marks().Clear(); // a trail starts from cleared points
    trace(8000, 240, true);
    trace(1000, 33, true);
    const Cells trail{{2, 3}, {16, 16}};
    EXPECT_EQ(greenCells(), trail);
    show(9);
    EXPECT_TRUE(greenCells().empty()) << "another map traces nothing on show";
    show(7);
    EXPECT_EQ(greenCells(), trail);

    // An edit shows the new value's colour but keeps the point.
    grid().setCurrentCell(2, 3);
    QTest::keyClicks(grid().grid(), "+");
    EXPECT_TRUE(back(2, 3) == scale(19) && app->marks().Of(MapKey::HOFM).IsRTMapPointSet(18));

    app->marks().Clear();
    EXPECT_TRUE(greenCells().empty() && !app->marks().Of(MapKey::HOFM).IsRTMapPointSet(18));
}

// Typing a number or F2 starts the in-place editor, and Enter or Escape give
// the keyboard back to the grid; in real-time mode no key opens it.
TEST_F(GridTest, TypingANumberStartsTheEditorWithIt)
{
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    setRaw(MapKey::HOFM, 2, 3, 40);
    show(7);
    grid().setCurrentCell(2, 3);
    grid().grid()->setFocus();
    QTest::keyClicks(grid().grid(), "7");
    ASSERT_TRUE(grid().IsEditingMap());
    EXPECT_EQ(grid().cellEditor()->text(), "7");
    QTest::keyClicks(grid().cellEditor(), "2");
    QTest::keyClick(grid().cellEditor(), Qt::Key_Return);
    EXPECT_EQ(std::pair(grid().IsEditingMap(), raw(MapKey::HOFM, 2, 3)), std::pair(false, 72))
        << "the typed digit is not lost";
    EXPECT_EQ(QApplication::focusWidget(), grid().grid());

    // A decimal point starts it too: ".6" rounds to 1.
    QTest::keyClicks(grid().grid(), ".");
    ASSERT_TRUE(grid().IsEditingMap());
    QTest::keyClicks(grid().cellEditor(), "6");
    QTest::keyClick(grid().cellEditor(), Qt::Key_Return);
    EXPECT_EQ(raw(MapKey::HOFM, 2, 3), 1);

    // F2 keeps the value, the cursor behind it: typing appends.
    QTest::keyClick(grid().grid(), Qt::Key_F2);
    ASSERT_TRUE(grid().IsEditingMap());
    QTest::keyClicks(grid().cellEditor(), "5");
    QTest::keyClick(grid().cellEditor(), Qt::Key_Return);
    EXPECT_EQ(raw(MapKey::HOFM, 2, 3), 15);

    // Escape changes nothing; "-" keeps its step.
    QTest::keyClick(grid().grid(), Qt::Key_F2);
    QTest::keyClicks(grid().cellEditor(), "9");
    QTest::keyClick(grid().cellEditor(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), grid().grid());
    QTest::keyClicks(grid().grid(), "-");
    EXPECT_EQ(std::pair(grid().IsEditingMap(), raw(MapKey::HOFM, 2, 3)), std::pair(false, 14));

    // In real-time mode no key opens the editor; a typed number is told why.
    testlink::GoLive(link());
    QTest::keyClicks(grid().grid(), "3");
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith("Real-time mode is on"));
    QTest::keyClick(grid().grid(), Qt::Key_F2);
    QTest::keyClick(grid().grid(), Qt::Key_Return);
    EXPECT_EQ(std::pair(grid().IsEditingMap(), raw(MapKey::HOFM, 2, 3)), std::pair(false, 14));
    EXPECT_TRUE(messages.shown().empty());
}
