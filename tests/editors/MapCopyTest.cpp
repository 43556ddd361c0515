// Map copy: which targets a source allows, the question and the message, what
// is copied, the flags and the refill of the panel on show.

#include "EditorTestSupport.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapGridModel.h"
#include "editors/ui/dlgMapCopy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>

namespace {

constexpr MapKey Maps[] = {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM, MapKey::LOHGFM, MapKey::HOTM, MapKey::LOTM};

} // namespace

class MapCopyTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        for (int m = 0; m < 6; ++m)
            for (int i = 0; i < 256; ++i)
                state.tune.map(Maps[m]).SetMapValue(i, (i + 40 * m) % 256);
        dialog = std::make_unique<dlgMapCopy>(edits, messages);
    }
    void TearDown() override
    {
        dialog.reset();
        EditorTest::TearDown();
    }
    void chooseSource(int index)
    {
        QComboBox *combo = dialog->sourceList();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }
    std::vector<bool> enabledTargets() const
    {
        std::vector<bool> out;
        for (int i = 0; i < 6; ++i)
            out.push_back(dialog->targetCheck(i)->isEnabled());
        return out;
    }
    QByteArray bytes(MapKey k) const { return state.tune.map(k).Bytes(); }

    std::unique_ptr<dlgMapCopy> dialog;
};

TEST_F(MapCopyTest, SourcesAllowOnlyMapsOfTheirKind)
{
    EXPECT_EQ(dialog->sourceList()->currentText(), "High Octane Fuel Map");
    EXPECT_EQ(enabledTargets(), (std::vector<bool>{false, true, true, true, false, false}));

    chooseSource(4);
    EXPECT_EQ(dialog->sourceList()->currentText(), "High Octane Timing Map");
    EXPECT_EQ(enabledTargets(), (std::vector<bool>{false, false, false, false, false, true}));

    chooseSource(3);
    EXPECT_EQ(enabledTargets(), (std::vector<bool>{true, true, true, false, false, false}));

    // A new source clears the ticks.
    QTest::mouseClick(dialog->targetCheck(0), Qt::LeftButton);
    EXPECT_TRUE(dialog->targetCheck(0)->isChecked());
    chooseSource(2);
    EXPECT_FALSE(dialog->targetCheck(0)->isChecked());
}

TEST_F(MapCopyTest, CopiesOntoTheTickedMapsOnly)
{
    state.tune.map(MapKey::HOFM).AddRTMapPoint(7);
    const QByteArray loFuel = bytes(MapKey::LOFM);
    const QByteArray loHighGear = bytes(MapKey::LOHGFM);
    const QByteArray hoTiming = bytes(MapKey::HOTM);

    CVFuelTimingDlg grid(edits, *prefs, messages);
    state.CurrentPanel = 7;
    grid.UpdateData();
    QObject::connect(dialog.get(), &dlgMapCopy::reselectCurrentPanel, &grid, [&] { grid.UpdateData(); });
    QSignalSpy reselected(dialog.get(), &dlgMapCopy::reselectCurrentPanel);

    chooseSource(2);
    QTest::mouseClick(dialog->targetCheck(0), Qt::LeftButton);
    QTest::mouseClick(dialog->targetCheck(1), Qt::LeftButton);
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);

    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text,
              "Are you sure you want to overwrite the selected maps with data from the Low Octane Fuel Map?");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown()[1].text,
              "Copy complete.  Changes have been made locally.  You should use the \"Write To Vantrelle\" "
              "menu item to update the hardware.");
    EXPECT_EQ(messages.shown()[1].icon, MsgIcon::Information);

    EXPECT_EQ(bytes(MapKey::HOFM), loFuel);
    EXPECT_EQ(bytes(MapKey::HOHGFM), loFuel);
    EXPECT_EQ(bytes(MapKey::LOFM), loFuel);
    EXPECT_EQ(bytes(MapKey::LOHGFM), loHighGear);
    EXPECT_EQ(bytes(MapKey::HOTM), hoTiming);
    EXPECT_TRUE(state.tune.map(MapKey::HOFM).IsRTMapPointSet(7)); // trace points untouched
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
    EXPECT_EQ(reselected.count(), 1);
    // The map on show has its new values.
    EXPECT_EQ(grid.gridModel()->text(1, 1), QString::number(loFuel.at(0) & 0xFF));
    EXPECT_EQ(grid.gridModel()->text(16, 16), "79"); // LOFM entry 255: (255 + 80) % 256
}

TEST_F(MapCopyTest, NoChangesNothing)
{
    const QByteArray before = bytes(MapKey::HOHGFM);
    QSignalSpy reselected(dialog.get(), &dlgMapCopy::reselectCurrentPanel);
    QTest::mouseClick(dialog->targetCheck(1), Qt::LeftButton);
    messages.queue(MsgAnswer::No);
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(bytes(MapKey::HOHGFM), before);
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);
    EXPECT_EQ(reselected.count(), 0);
}

TEST_F(MapCopyTest, YesWithNothingTickedStillReportsCompletion)
{
    QSignalSpy reselected(dialog.get(), &dlgMapCopy::reselectCurrentPanel);
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_TRUE(messages.shown()[1].text.startsWith("Copy complete."));
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
    EXPECT_EQ(reselected.count(), 1);
}
