// The fuel and timing map grid: what it shows, what typing, stepping and
// loop switching store, the messages, the cell menu, real-time writes and the
// flags, driven the way the user drives it.

#include "EditorTestSupport.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/GridRules.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/MapGridView.h"
#include "platform/ui/ScreenUnits.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>

namespace {

void setAxis(CVMapInfo &axis, int first, int step)
{
    for (int i = 0; i < 16; ++i)
        axis.SetMapValue(i, first + i * step);
}

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

} // namespace

class GridTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Tune &t = state.tune;
        setAxis(t.map(MapKey::FUELRPM), 10, 10);
        setAxis(t.map(MapKey::FUELTP), 0, 16);
        setAxis(t.map(MapKey::TIMINGRPM), 20, 10);
        setAxis(t.map(MapKey::TIMINGTP), 5, 15);
        for (MapKey k : {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM, MapKey::LOHGFM, MapKey::HOTM, MapKey::LOTM})
            for (int i = 0; i < 256; ++i)
                t.map(k).SetMapValue(i, (i * 7 + static_cast<int>(k) * 13) % 256);
        panel = std::make_unique<CVFuelTimingDlg>(state, *prefs, sender, messages);
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
    void showActive(int panelIndex)
    {
        show(panelIndex);
        EditorTest::showActive(panel.get());
    }
    void setRaw(MapKey key, int row, int col, int raw)
    {
        state.tune.map(key).SetMapValue(GridRules::EntryIndexOf(row, col), raw);
    }
    int raw(MapKey key, int row, int col) const
    {
        return state.tune.map(key).MapValue(GridRules::EntryIndexOf(row, col));
    }
    QString text(int row, int col) const { return panel->gridModel()->text(row, col); }
    QColor back(int row, int col) const { return panel->gridModel()->background(row, col); }
    void typeChar(char c) { QTest::keyClicks(panel->grid(), QString(QLatin1Char(c))); }
    void enterInEditor(const QString &text)
    {
        FieldEdit *ed = panel->cellEditor();
        ASSERT_TRUE(panel->IsEditingMap());
        // The editor opens with its whole text selected: typing replaces it.
        if (text.isEmpty())
            QTest::keyClick(ed, Qt::Key_Delete);
        else
            QTest::keyClicks(ed, text);
        QTest::keyClick(ed, Qt::Key_Return);
    }
    // Opens the editor on a cell with Enter and types text into it.
    void typeIntoCell(int row, int col, const QString &text)
    {
        panel->setCurrentCell(row, col);
        QTest::keyClick(panel->grid(), Qt::Key_Return);
        enterInEditor(text);
    }
    QPoint cellCentre(int row, int col) const
    {
        return panel->grid()->visualRect(panel->gridModel()->index(row, col)).center();
    }

    std::unique_ptr<CVFuelTimingDlg> panel;
};

TEST_F(GridTest, ShowsAxesDisplayValuesAndScaleColours)
{
    setRaw(MapKey::HOFM, 3, 4, 200);
    setRaw(MapKey::HOFM, 3, 5, 40);
    show(7);

    EXPECT_EQ(text(0, 0), "");
    EXPECT_EQ(text(1, 0), "500");    // raw 10 x 50
    EXPECT_EQ(text(16, 0), "8000");
    EXPECT_EQ(text(0, 1), "0");
    EXPECT_EQ(text(0, 16), "240");
    EXPECT_EQ(text(3, 4), "8");      // closed-loop fuel 200 - 192
    EXPECT_EQ(text(3, 5), "40");
    EXPECT_EQ(back(3, 4), rgb(200, 0, 0));
    EXPECT_EQ(back(3, 5), rgb(40, 40, 255));

    const QPalette pal = panel->grid()->palette();
    EXPECT_EQ(back(0, 0), pal.color(QPalette::Button));
    EXPECT_EQ(back(0, 7), pal.color(QPalette::Button));
    EXPECT_EQ(back(9, 0), pal.color(QPalette::Button));
    EXPECT_EQ(panel->gridModel()->foreground(0, 7), pal.color(QPalette::ButtonText));
    EXPECT_EQ(panel->gridModel()->foreground(3, 4), pal.color(QPalette::HighlightedText));
    const QModelIndex body = panel->gridModel()->index(3, 4);
    EXPECT_EQ(body.data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);

    EXPECT_EQ(panel->labelX()->text(), "Load - High Octane Fuel Map (1st, 2nd Gear)");
    EXPECT_EQ(panel->labelY()->text(), "R P M");

    // Every raw byte shows its scale colour.
    for (int i = 0; i < 256; ++i)
        setRaw(MapKey::LOFM, 1 + i / 16, 1 + i % 16, i);
    show(9);
    for (int i = 0; i < 256; ++i) {
        const QColor expected = i < 128 ? rgb(i, i, 255) : rgb(i, 0, 0);
        ASSERT_EQ(back(1 + i / 16, 1 + i % 16), expected) << i;
    }
}

TEST_F(GridTest, TimingPanelsUseTheTimingAxesAndRules)
{
    setRaw(MapKey::HOTM, 2, 2, 130);
    show(11);
    EXPECT_EQ(panel->labelX()->text(), "Load - High Octane Timing Map");
    EXPECT_EQ(text(1, 0), "1000");   // timing RPM axis raw 20
    EXPECT_EQ(text(0, 2), "20");     // timing TP axis 5 + 15
    EXPECT_EQ(text(2, 2), "2");
    show(12);
    EXPECT_EQ(panel->labelX()->text(), "Load - Low Octane Timing Map");
    // A panel without a map leaves the caption as it was.
    show(2);
    EXPECT_EQ(panel->labelX()->text(), "Load - Low Octane Timing Map");
}

TEST_F(GridTest, TypingIntoAClosedLoopFuelCell)
{
    setRaw(MapKey::HOFM, 3, 4, 200);
    show(7);

    // A refused value: message, editor stays open with its text selected,
    // tune and flags unchanged.
    typeIntoCell(3, 4, QStringLiteral("64"));
    EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between -64 and 63"});
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
    EXPECT_TRUE(panel->IsEditingMap());
    EXPECT_EQ(panel->cellEditor()->selectedText(), "64");
    EXPECT_EQ(raw(MapKey::HOFM, 3, 4), 200);
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);

    enterInEditor(QStringLiteral("-64"));
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_EQ(raw(MapKey::HOFM, 3, 4), 128);
    EXPECT_EQ(text(3, 4), "-64");
    EXPECT_EQ(back(3, 4), rgb(128, 0, 0));
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);

    typeIntoCell(3, 4, QStringLiteral("63"));
    EXPECT_EQ(raw(MapKey::HOFM, 3, 4), 255);
    EXPECT_EQ(text(3, 4), "63");
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(sender.values.empty());
}

TEST_F(GridTest, EditorStartsWithTheShownValueAndItsLengthLimit)
{
    setRaw(MapKey::HOFM, 3, 4, 150);
    show(7);
    panel->setCurrentCell(3, 4);
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    ASSERT_TRUE(panel->IsEditingMap());
    EXPECT_EQ(panel->cellEditor()->text(), "-42");
    EXPECT_EQ(panel->cellEditor()->selectedText(), "-42");
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);
    EXPECT_FALSE(panel->IsEditingMap());

    panel->setCurrentCell(4, 0);
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    EXPECT_EQ(panel->cellEditor()->text(), "2000");
    EXPECT_EQ(panel->cellEditor()->maxLength(), 5);
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);

    panel->setCurrentCell(0, 3);
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    EXPECT_EQ(panel->cellEditor()->text(), "32");
    EXPECT_EQ(panel->cellEditor()->maxLength(), 3);
    // The editor lies over its cell, as wide as the cell.
    const QRect cell = panel->grid()->visualRect(panel->gridModel()->index(0, 3));
    EXPECT_EQ(panel->cellEditor()->geometry().topLeft(), cell.topLeft());
    EXPECT_EQ(panel->cellEditor()->width(), panel->grid()->columnWidth(3));
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);
    EXPECT_EQ(panel->gridModel()->text(0, 3), "32");
    EXPECT_FALSE(state.Modified);
}

TEST_F(GridTest, MalformedTextIsNotANumber)
{
    setRaw(MapKey::HOFM, 2, 2, 30);
    show(7);
    for (const QString &bad : {QStringLiteral("1e3"), QStringLiteral(" 5"), QStringLiteral("5 "), QStringLiteral("--5"),
                               QStringLiteral("abc"), QString()}) {
        messages.clear();
        typeIntoCell(2, 2, bad);
        EXPECT_EQ(shownTexts(), QStringList{"Please enter a numeric value"}) << bad.toStdString();
        EXPECT_TRUE(panel->IsEditingMap());
        QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);
    }
    EXPECT_EQ(raw(MapKey::HOFM, 2, 2), 30);
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);
}

TEST_F(GridTest, AxisCellsTakeRpmAndTpValues)
{
    show(8);
    typeIntoCell(5, 0, QStringLiteral("1275"));
    EXPECT_EQ(state.tune.map(MapKey::FUELRPM).MapValue(4), 26);
    EXPECT_EQ(text(5, 0), "1300");
    EXPECT_EQ(back(5, 0), panel->grid()->palette().color(QPalette::Button)); // headers keep their colour

    typeIntoCell(5, 0, QStringLiteral("12750"));
    EXPECT_EQ(state.tune.map(MapKey::FUELRPM).MapValue(4), 255);
    EXPECT_EQ(text(5, 0), "12750");

    typeIntoCell(5, 0, QStringLiteral("49"));
    EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between 50 and 12750"});
    EXPECT_EQ(state.tune.map(MapKey::FUELRPM).MapValue(4), 255);
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);

    typeIntoCell(0, 2, QStringLiteral("256"));
    EXPECT_EQ(shownTexts().back(), "Please enter a valid value between 0 and 255");
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);
    typeIntoCell(0, 2, QStringLiteral("2.5"));
    EXPECT_EQ(state.tune.map(MapKey::FUELTP).MapValue(1), 2);
}

TEST_F(GridTest, TimingCellsRoundAndStopAtTheirLimits)
{
    setRaw(MapKey::HOTM, 2, 3, 130);
    setRaw(MapKey::HOTM, 4, 4, 173);
    setRaw(MapKey::HOTM, 5, 5, 10);
    show(11);
    EXPECT_EQ(text(2, 3), "2");

    panel->setCurrentCell(2, 3);
    typeChar('+');
    EXPECT_EQ(raw(MapKey::HOTM, 2, 3), 131);
    EXPECT_EQ(text(2, 3), "3");

    state.Modified = false;
    state.ChangesNotSent = false;
    panel->setCurrentCell(4, 4);
    EXPECT_EQ(text(4, 4), "45");
    typeChar('+');
    EXPECT_EQ(raw(MapKey::HOTM, 4, 4), 173);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);

    typeIntoCell(5, 5, QStringLiteral("2.5"));
    EXPECT_EQ(raw(MapKey::HOTM, 5, 5), 2);
    typeIntoCell(5, 5, QStringLiteral("3.5"));
    EXPECT_EQ(raw(MapKey::HOTM, 5, 5), 4);
    typeIntoCell(5, 5, QStringLiteral("46"));
    EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between 0 and 45"});
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);
    // Typing 128..173 into an open cell closes it.
    typeIntoCell(5, 5, QStringLiteral("140"));
    EXPECT_EQ(raw(MapKey::HOTM, 5, 5), 140);
    EXPECT_EQ(text(5, 5), "12");
}

TEST_F(GridTest, StepsWorkOnRawBytes)
{
    setRaw(MapKey::LOFM, 2, 2, 200);
    setRaw(MapKey::LOFM, 3, 3, 127);
    setRaw(MapKey::LOFM, 4, 4, 128);
    show(9);

    panel->setCurrentCell(2, 2);
    typeChar('+');
    EXPECT_EQ(raw(MapKey::LOFM, 2, 2), 201);
    typeChar('-');
    typeChar('-');
    EXPECT_EQ(raw(MapKey::LOFM, 2, 2), 199);
    EXPECT_EQ(text(2, 2), "7");

    // Open 127 cannot step into closed loop, closed 128 not into open loop.
    panel->setCurrentCell(3, 3);
    typeChar('+');
    EXPECT_EQ(raw(MapKey::LOFM, 3, 3), 127);
    panel->setCurrentCell(4, 4);
    typeChar('-');
    EXPECT_EQ(raw(MapKey::LOFM, 4, 4), 128);

    // The RPM axis steps by 50 RPM.
    panel->setCurrentCell(3, 0);
    typeChar('+');
    EXPECT_EQ(state.tune.map(MapKey::FUELRPM).MapValue(2), 31);
    EXPECT_EQ(text(3, 0), "1550");
    panel->setCurrentCell(0, 1);
    typeChar('-');
    EXPECT_EQ(state.tune.map(MapKey::FUELTP).MapValue(0), 0); // 0 - 1 is refused
    EXPECT_TRUE(messages.shown().empty());

    // Other keys do nothing.
    panel->setCurrentCell(2, 2);
    typeChar('x');
    typeChar('5');
    EXPECT_EQ(raw(MapKey::LOFM, 2, 2), 199);
    EXPECT_FALSE(panel->IsEditingMap());
}

TEST_F(GridTest, LoopSwitching)
{
    setRaw(MapKey::HOFM, 2, 2, 40);
    setRaw(MapKey::HOFM, 2, 3, 100);
    setRaw(MapKey::HOFM, 2, 4, 150);
    setRaw(MapKey::HOTM, 2, 2, 30);
    show(7);

    panel->setCurrentCell(2, 2);
    EXPECT_EQ(panel->loopAction()->text(), "Switch to closed loop");
    panel->loopAction()->trigger();
    EXPECT_EQ(raw(MapKey::HOFM, 2, 2), 232);
    EXPECT_EQ(text(2, 2), "40");
    EXPECT_EQ(back(2, 2), rgb(232, 0, 0));
    EXPECT_EQ(panel->loopAction()->text(), "Switch to open loop");
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
    panel->loopAction()->trigger();
    EXPECT_EQ(raw(MapKey::HOFM, 2, 2), 40);
    EXPECT_EQ(panel->loopAction()->text(), "Switch to closed loop");

    panel->setCurrentCell(2, 3);
    panel->CellLoop();
    EXPECT_EQ(raw(MapKey::HOFM, 2, 3), 255);
    EXPECT_EQ(text(2, 3), "63");

    panel->setCurrentCell(2, 4);
    EXPECT_EQ(text(2, 4), "-42");
    panel->CellLoop();
    EXPECT_EQ(raw(MapKey::HOFM, 2, 4), 0);

    show(11);
    panel->setCurrentCell(2, 2);
    panel->CellLoop();
    EXPECT_EQ(raw(MapKey::HOTM, 2, 2), 158);
    EXPECT_EQ(text(2, 2), "30");
    panel->CellLoop();
    EXPECT_EQ(raw(MapKey::HOTM, 2, 2), 30);
}

TEST_F(GridTest, CellMenuFollowsTheCurrentCell)
{
    setRaw(MapKey::HOFM, 2, 2, 40);
    setRaw(MapKey::HOFM, 3, 3, 200);
    show(7);
    QAction *inc = panel->incrementAction();
    QAction *dec = panel->decrementAction();
    QAction *edit = panel->editAction();
    QAction *loop = panel->loopAction();
    EXPECT_EQ(panel->cellMenu()->title(), "&Cell");
    EXPECT_EQ(inc->text(), "&Increment");
    EXPECT_EQ(dec->text(), "&Decrement");
    EXPECT_EQ(edit->text(), "&Edit Value...");

    panel->setCurrentCell(0, 0);
    EXPECT_FALSE(inc->isEnabled());
    EXPECT_FALSE(dec->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(loop->isEnabled());

    panel->setCurrentCell(4, 0);
    EXPECT_TRUE(inc->isEnabled());
    EXPECT_TRUE(dec->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(loop->isEnabled());

    panel->setCurrentCell(2, 2);
    EXPECT_TRUE(loop->isEnabled());
    EXPECT_EQ(loop->text(), "Switch to closed loop");
    panel->setCurrentCell(3, 3);
    EXPECT_EQ(loop->text(), "Switch to open loop");

    // The menu items act like the keys.
    inc->trigger();
    EXPECT_EQ(raw(MapKey::HOFM, 3, 3), 201);
    dec->trigger();
    dec->trigger();
    EXPECT_EQ(raw(MapKey::HOFM, 3, 3), 199);
    edit->trigger();
    EXPECT_TRUE(panel->IsEditingMap());
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);

    state.RealTimeEnabled = true;
    show(7);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_TRUE(inc->isEnabled());
}

TEST_F(GridTest, TheCornerTakesNoCommand)
{
    show(7);
    panel->setCurrentCell(0, 0);
    typeChar('+');
    typeChar('-');
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    EXPECT_FALSE(panel->IsEditingMap());
    QTest::mouseDClick(panel->grid()->viewport(), Qt::LeftButton, {}, cellCentre(0, 0));
    EXPECT_FALSE(panel->IsEditingMap());
    panel->incrementAction()->trigger();
    panel->loopAction()->trigger();
    EXPECT_FALSE(state.Modified);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(text(0, 0), "");
}

TEST_F(GridTest, SeveralSelectedCellsRefuseKeysAndMenuSteps)
{
    setRaw(MapKey::HOFM, 2, 2, 40);
    show(7);
    panel->setCurrentCell(2, 2);
    QTest::keyClick(panel->grid(), Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(panel->grid()->hasMultiCellSelection());

    typeChar('+');
    EXPECT_EQ(shownTexts(), QStringList{"Please select a single cell for this operation."});
    EXPECT_EQ(messages.shown().back().icon, MsgIcon::Exclamation);
    typeChar('a'); // every character key
    panel->decrementAction()->trigger();
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    EXPECT_EQ(messages.shown().size(), 4u);
    EXPECT_EQ(raw(MapKey::HOFM, 2, 2), 40);
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_FALSE(state.Modified);
}

TEST_F(GridTest, DoubleClickOpensTheEditorOutsideRealTimeMode)
{
    show(7);
    QTest::mouseClick(panel->grid()->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
    QTest::mouseDClick(panel->grid()->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
    EXPECT_TRUE(panel->IsEditingMap());
    EXPECT_EQ(panel->currentRow(), 3);
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);

    state.RealTimeEnabled = true;
    show(7);
    QTest::mouseDClick(panel->grid()->viewport(), Qt::LeftButton, {}, cellCentre(3, 3));
    EXPECT_FALSE(panel->IsEditingMap());
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    EXPECT_FALSE(panel->IsEditingMap());
}

TEST_F(GridTest, RealTimeModeSendsEveryAcceptedChange)
{
    state.RealTimeEnabled = true;
    setRaw(MapKey::LOFM, 3, 6, 200);
    show(9);
    panel->setCurrentCell(3, 6);
    typeChar('+');
    ASSERT_EQ(sender.values.size(), 1u);
    EXPECT_EQ(sender.values[0], (SentValue{2, 2 * 16 + 5, 201}));
    EXPECT_TRUE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);

    panel->CellLoop();
    EXPECT_EQ(sender.values.back(), (SentValue{2, 37, 9}));

    // Axis cells go out as the axis items; a refused step sends nothing.
    panel->setCurrentCell(4, 0);
    typeChar('+');
    EXPECT_EQ(sender.values.back(), (SentValue{5, 3, 41}));
    panel->setCurrentCell(0, 2);
    typeChar('-');
    EXPECT_EQ(sender.values.back(), (SentValue{6, 1, 15}));
    panel->setCurrentCell(0, 1);
    typeChar('-');
    EXPECT_EQ(sender.values.size(), 4u);

    show(11);
    panel->setCurrentCell(1, 0);
    typeChar('+');
    EXPECT_EQ(sender.values.back(), (SentValue{9, 0, 21}));
    panel->setCurrentCell(16, 16);
    setRaw(MapKey::HOTM, 16, 16, 10);
    typeChar('+');
    EXPECT_EQ(sender.values.back(), (SentValue{8, 255, 11}));
    show(12);
    panel->setCurrentCell(0, 16);
    typeChar('+');
    EXPECT_EQ(sender.values.back(), (SentValue{10, 15, 231}));
    EXPECT_FALSE(state.ChangesNotSent);
}

TEST_F(GridTest, OutsideRealTimeModeNothingIsSent)
{
    show(8);
    panel->setCurrentCell(2, 2);
    typeChar('+');
    typeIntoCell(2, 3, QStringLiteral("5"));
    panel->setCurrentCell(2, 4);
    panel->CellLoop();
    EXPECT_TRUE(sender.values.empty());
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
}

TEST_F(GridTest, RightButtonPopsUpTheCellMenu)
{
    show(7);
    EditorTest::showActive(panel.get());
    QTest::mouseClick(panel->grid()->viewport(), Qt::RightButton, {}, cellCentre(4, 4));
    EXPECT_TRUE(panel->cellMenu()->isVisible());
    panel->cellMenu()->hide();

    panel->setCurrentCell(0, 0);
    QTest::mouseRelease(panel->grid()->viewport(), Qt::RightButton, {}, cellCentre(0, 0));
    EXPECT_FALSE(panel->cellMenu()->isVisible());
}

TEST_F(GridTest, LeavingTheEditorChecksIt)
{
    showActive(7);
    QWidget other(panel.get());
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();

    setRaw(MapKey::HOFM, 2, 2, 40);
    panel->PopGrid();
    panel->setCurrentCell(2, 2);
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    ASSERT_TRUE(panel->cellEditor()->hasFocus());
    QTest::keyClicks(panel->cellEditor(), QStringLiteral("300"));
    other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between 0 and 127"});
    EXPECT_TRUE(panel->IsEditingMap());
    // The editor takes the focus back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->cellEditor()->hasFocus(); }, 5000));

    QTest::keyClick(panel->cellEditor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(panel->cellEditor(), QStringLiteral("77"));
    other.setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_EQ(raw(MapKey::HOFM, 2, 2), 77);
    EXPECT_EQ(messages.shown().size(), 1u);

    // Escape hands the focus back to the grid.
    panel->setCurrentCell(3, 3);
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    QTest::keyClick(panel->cellEditor(), Qt::Key_Escape);
    EXPECT_TRUE(panel->grid()->hasFocus());
}

TEST_F(GridTest, RefillingDropsAnOpenEdit)
{
    show(7);
    panel->setCurrentCell(2, 2);
    QTest::keyClick(panel->grid(), Qt::Key_Return);
    QTest::keyClicks(panel->cellEditor(), QStringLiteral("99"));
    show(8);
    EXPECT_FALSE(panel->IsEditingMap());
    EXPECT_FALSE(state.Modified);
}

TEST_F(GridTest, CellWidthFollowsThePanelWidth)
{
    show(7);
    panel->show();
    panel->resize(800, 500);
    const double widthTwips = ScreenUnits::PixelsToTwipsX(800, panel.get());
    const double labelTwips = ScreenUnits::PixelsToTwipsX(panel->labelY()->width(), panel.get());
    const int w = GridRules::CellWidthTwips(widthTwips, labelTwips);
    EXPECT_EQ(panel->cellWidthTwips(), w);
    EXPECT_EQ(panel->grid()->columnWidth(1), ScreenUnits::TwipsToPixelsX(w, panel.get()));
    EXPECT_EQ(panel->grid()->columnWidth(16), ScreenUnits::TwipsToPixelsX(w, panel.get()));
    EXPECT_EQ(panel->grid()->columnWidth(0), ScreenUnits::TwipsToPixelsX(w + 100, panel.get()));

    panel->resize(200, 500);
    EXPECT_EQ(panel->cellWidthTwips(), 350);
    EXPECT_EQ(panel->grid()->columnWidth(5), ScreenUnits::TwipsToPixelsX(350, panel.get()));
}

TEST_F(GridTest, GridFontFromThePreferencesAndTheFontDialog)
{
    prefs->SetGridFontName(QStringLiteral("DejaVu Sans"));
    prefs->SetGridFontSize(14);
    prefs->SetGridFontBold(true);
    show(7);
    EXPECT_EQ(panel->grid()->font().family(), "DejaVu Sans");
    EXPECT_EQ(panel->grid()->font().pointSize(), 14);
    EXPECT_TRUE(panel->grid()->font().bold());
    EXPECT_EQ(panel->cellEditor()->font().pointSize(), 14);

    QFont offered;
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSizeF(11.6);
    chosen.setItalic(true);
    panel->SetGridFontFromDialog([&](QWidget *, const QFont &initial) -> std::optional<QFont> {
        offered = initial;
        return chosen;
    });
    EXPECT_EQ(offered.family(), "DejaVu Sans");
    EXPECT_EQ(offered.pointSize(), 14);
    EXPECT_EQ(prefs->GridFontName(), "DejaVu Serif");
    EXPECT_EQ(prefs->GridFontSize(), 12);
    EXPECT_FALSE(prefs->GridFontBold());
    EXPECT_TRUE(prefs->GridFontItalic());
    EXPECT_EQ(panel->grid()->font().family(), "DejaVu Serif");
    EXPECT_TRUE(panel->grid()->font().italic());

    // Cancel changes nothing.
    panel->SetGridFontFromDialog([](QWidget *, const QFont &) -> std::optional<QFont> { return std::nullopt; });
    EXPECT_EQ(prefs->GridFontSize(), 12);

    // Away from the map panels the choice is stored but not applied.
    state.CurrentPanel = 2;
    chosen.setPointSize(20);
    panel->SetGridFontFromDialog([&](QWidget *, const QFont &) -> std::optional<QFont> { return chosen; });
    EXPECT_EQ(prefs->GridFontSize(), 20);
    EXPECT_EQ(panel->grid()->font().pointSize(), 12);

    // An unusable stored size falls back to 8 points.
    prefs->SetGridFontSize(0);
    panel->UpdateGridFont();
    EXPECT_EQ(panel->grid()->font().pointSize(), 8);
}

TEST_F(GridTest, LegendShowsTheThreeColours)
{
    show(7);
    const auto boxColour = [&](const char *name) {
        auto *box = panel->legend()->findChild<QWidget *>(QLatin1String(name));
        return box ? box->palette().color(QPalette::Window) : QColor();
    };
    EXPECT_EQ(boxColour("legendOpenLoop"), rgb(0, 0, 255));
    EXPECT_EQ(boxColour("legendClosedLoop"), rgb(255, 0, 0));
    EXPECT_EQ(boxColour("legendRealTime"), rgb(0, 192, 0));
    QStringList captions;
    for (QLabel *l : panel->legend()->findChildren<QLabel *>())
        captions << l->text();
    EXPECT_EQ(captions, (QStringList{"Open Loop", "Closed Loop", "Real-Time Access"}));
}
