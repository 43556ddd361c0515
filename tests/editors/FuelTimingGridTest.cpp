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

// Each kind of cell, stepped, typed into or switched between open and closed
// loop: the map and entry it changes, what it shows, what goes out in real
// time, and that a refused change touches nothing.
TEST_F(GridTest, EveryKindOfCellCommitsToItsMapAndItem)
{
    struct Case
    {
        int panel;
        int row, col;
        int before; // the raw value set first; -1 keeps the axis as set up
        const char *action; // "+", "-", "loop", another key, or "=text" typed in the editor
        MapKey map;
        int after;
        const char *shown;
        int item; // the real-time item (real-time mode for every action but typing); 0: nothing goes out
    };
    const Case cases[] = {
        // Axes: the RPM axis works in RPM (steps of 50, R(rpm / 50)), the TP axis in raw units.
        {8, 5, 0, -1, "=1275", MapKey::FUELRPM, 26, "1300", 0},
        {8, 4, 0, -1, "=12750", MapKey::FUELRPM, 255, "12750", 0},
        {9, 3, 0, -1, "+", MapKey::FUELRPM, 31, "1550", 5},
        {9, 0, 2, -1, "-", MapKey::FUELTP, 15, "15", 6},
        {9, 0, 3, -1, "=2.5", MapKey::FUELTP, 2, "2", 0},
        {9, 0, 1, -1, "-", MapKey::FUELTP, 0, "0", 0}, // 0 - 1 is refused
        {11, 1, 0, -1, "+", MapKey::TIMINGRPM, 21, "1050", 9},
        {12, 0, 16, -1, "+", MapKey::TIMINGTP, 231, "231", 10},
        // Bodies: steps work on the raw byte and stop at each encoding's limits.
        {7, 6, 7, 40, "+", MapKey::HOFM, 41, "41", 1},
        {9, 2, 2, 200, "+", MapKey::LOFM, 201, "9", 2},
        {8, 6, 6, 200, "-", MapKey::HOHGFM, 199, "7", 3},
        {10, 2, 2, 5, "+", MapKey::LOHGFM, 6, "6", 4},
        {12, 16, 16, 10, "+", MapKey::LOTM, 11, "11", 7},
        {11, 2, 3, 130, "+", MapKey::HOTM, 131, "3", 8},
        {11, 4, 4, 173, "+", MapKey::HOTM, 173, "45", 0},  // timing stops at 45
        {9, 3, 3, 127, "+", MapKey::LOFM, 127, "127", 0},  // open loop cannot step into closed
        {9, 4, 4, 128, "-", MapKey::LOFM, 128, "-64", 0},  // nor closed into open
        {9, 5, 5, 60, "x", MapKey::LOFM, 60, "60", 0},     // other keys do nothing
        {9, 5, 6, 60, "5", MapKey::LOFM, 60, "60", 0},
        // Typing: rounded ties to even; 128..173 typed into an open timing cell closes it.
        {11, 5, 5, 10, "=2.5", MapKey::HOTM, 2, "2", 0},
        {11, 5, 6, 10, "=3.5", MapKey::HOTM, 4, "4", 0},
        {11, 5, 7, 10, "=140", MapKey::HOTM, 140, "12", 0},
        // Loop switching keeps a fuel cell's number where it can.
        {7, 2, 2, 40, "loop", MapKey::HOFM, 232, "40", 1},
        {7, 2, 3, 100, "loop", MapKey::HOFM, 255, "63", 1},
        {7, 2, 4, 150, "loop", MapKey::HOFM, 0, "0", 1},
        {11, 2, 2, 30, "loop", MapKey::HOTM, 158, "30", 8},
        {11, 2, 5, 158, "loop", MapKey::HOTM, 30, "30", 8},
    };
    const QColor header = panel->grid()->palette().color(QPalette::Button);
    for (const Case &c : cases) {
        const std::string what = std::to_string(c.panel) + " (" + std::to_string(c.row) + ", "
            + std::to_string(c.col) + ") " + c.action;
        const bool typed = c.action[0] == '=';
        const int entry = GridRules::EntryIndexOf(c.row, c.col);
        if (c.before >= 0)
            state.tune.map(c.map).SetMapValue(entry, c.before);
        const int before = state.tune.map(c.map).MapValue(entry);
        state.RealTimeEnabled = !typed;
        state.Modified = false;
        state.ChangesNotSent = false;
        sender.values.clear();
        show(c.panel);
        if (typed) {
            typeIntoCell(c.row, c.col, QString::fromLatin1(c.action + 1));
        } else {
            panel->setCurrentCell(c.row, c.col);
            if (QByteArray(c.action) == "loop")
                panel->loopAction()->trigger();
            else
                typeChar(c.action[0]);
        }
        const bool accepted = c.after != before || c.item != 0;
        EXPECT_EQ(state.tune.map(c.map).MapValue(entry), c.after) << what;
        EXPECT_EQ(text(c.row, c.col), c.shown) << what;
        const bool body = c.row > 0 && c.col > 0;
        const QColor scale = c.after < 128 ? rgb(c.after, c.after, 255) : rgb(c.after, 0, 0);
        EXPECT_EQ(back(c.row, c.col), body ? scale : header) << what;
        const std::vector<SentValue> sent =
            c.item ? std::vector<SentValue>{{c.item, entry, c.after}} : std::vector<SentValue>{};
        EXPECT_EQ(sender.values, sent) << what;
        EXPECT_EQ(state.Modified, accepted) << what;
        EXPECT_EQ(state.ChangesNotSent, accepted && typed) << what;
        EXPECT_FALSE(panel->IsEditingMap()) << what;
    }
    EXPECT_TRUE(messages.shown().empty());
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
