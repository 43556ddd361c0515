// The injector panel: showing standard and custom K, choosing sizes, dual
// filtration, the override, blast and void, and real-time mode.

#include "EditorTestSupport.h"

#include "editors/ui/CVInjectorDlg.h"
#include "editors/ui/FieldEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

class InjectorPanelTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        panel = std::make_unique<CVInjectorDlg>(edits, messages);
    }
    void TearDown() override
    {
        panel.reset();
        EditorTest::TearDown();
    }
    void showK(int k)
    {
        state.tune.general().SetInjectorK(k);
        panel->UpdateData();
    }
    int k() const { return state.tune.general().InjectorK(); }
    // Chooses a size the way the user does, with the keyboard.
    void chooseSize(int index)
    {
        QComboBox *combo = panel->sizeList();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }

    std::unique_ptr<CVInjectorDlg> panel;
};

TEST_F(InjectorPanelTest, StandardKShowsItsSize)
{
    showK(822);
    EXPECT_EQ(panel->sizeList()->currentText(), "270cc");
    EXPECT_TRUE(panel->dualFiltrationCheck()->isChecked());
    EXPECT_FALSE(panel->overrideCheck()->isChecked());
    EXPECT_TRUE(panel->sizeList()->isEnabled());
    EXPECT_TRUE(panel->dualFiltrationCheck()->isEnabled());
    EXPECT_FALSE(panel->kEdit()->isEnabled());
    EXPECT_EQ(panel->kEdit()->text(), "822");

    showK(411);
    EXPECT_EQ(panel->sizeList()->currentText(), "270cc");
    EXPECT_FALSE(panel->dualFiltrationCheck()->isChecked());

    showK(370);
    EXPECT_EQ(panel->sizeList()->currentText(), "720cc");
    EXPECT_TRUE(panel->dualFiltrationCheck()->isChecked());
    // Showing a tune is not an edit.
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);
}

TEST_F(InjectorPanelTest, CustomKUsesTheOverride)
{
    for (int custom : {300, 823}) {
        showK(custom);
        EXPECT_TRUE(panel->overrideCheck()->isChecked()) << custom;
        EXPECT_TRUE(panel->kEdit()->isEnabled());
        EXPECT_EQ(panel->kEdit()->text(), QString::number(custom));
        EXPECT_FALSE(panel->sizeList()->isEnabled());
        EXPECT_FALSE(panel->dualFiltrationCheck()->isEnabled());
        EXPECT_FALSE(panel->dualFiltrationCheck()->isChecked());
    }
    // Back to a standard K: the size list and dual filtration return.
    showK(288);
    EXPECT_FALSE(panel->overrideCheck()->isChecked());
    EXPECT_TRUE(panel->sizeList()->isEnabled());
    EXPECT_EQ(panel->sizeList()->currentText(), "370cc");
}

TEST_F(InjectorPanelTest, ChoosingSizesAndDualFiltration)
{
    showK(822);
    chooseSize(2);
    EXPECT_EQ(panel->sizeList()->currentText(), "555cc");
    EXPECT_EQ(k(), 420);
    EXPECT_EQ(panel->kEdit()->text(), "420");
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);

    QTest::mouseClick(panel->dualFiltrationCheck(), Qt::LeftButton);
    EXPECT_FALSE(panel->dualFiltrationCheck()->isChecked());
    EXPECT_EQ(k(), 210);
    QTest::mouseClick(panel->dualFiltrationCheck(), Qt::LeftButton);
    EXPECT_EQ(k(), 420);
}

TEST_F(InjectorPanelTest, TypedKAndTheOverride)
{
    showK(300);
    typeAndEnter(panel->kEdit(), QStringLiteral("70000"));
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 65535"});
    typeAndEnter(panel->kEdit(), QStringLiteral("12.5"));
    typeAndEnter(panel->kEdit(), QStringLiteral("1e3"));
    EXPECT_EQ(messages.shown().size(), 3u);
    EXPECT_EQ(k(), 300);
    EXPECT_FALSE(state.Modified);

    typeAndEnter(panel->kEdit(), QStringLiteral("300"));
    EXPECT_FALSE(state.Modified); // unchanged
    typeAndEnter(panel->kEdit(), QStringLiteral("65535"));
    EXPECT_EQ(k(), 65535);
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);

    // Unticking the override goes back to the first size, single filtration.
    QTest::mouseClick(panel->overrideCheck(), Qt::LeftButton);
    EXPECT_EQ(k(), 411);
    EXPECT_EQ(panel->sizeList()->currentText(), "270cc");
    EXPECT_FALSE(panel->kEdit()->isEnabled());
    EXPECT_TRUE(panel->sizeList()->isEnabled());
    EXPECT_TRUE(panel->dualFiltrationCheck()->isEnabled());

    // Ticking it hands K to the text box.
    QTest::mouseClick(panel->dualFiltrationCheck(), Qt::LeftButton);
    EXPECT_EQ(k(), 822);
    QTest::mouseClick(panel->overrideCheck(), Qt::LeftButton);
    EXPECT_TRUE(panel->kEdit()->isEnabled());
    EXPECT_FALSE(panel->sizeList()->isEnabled());
    EXPECT_FALSE(panel->dualFiltrationCheck()->isEnabled());
    EXPECT_FALSE(panel->dualFiltrationCheck()->isChecked());
    EXPECT_EQ(k(), 822);
}

TEST_F(InjectorPanelTest, BlastAndVoid)
{
    state.tune.general().SetInjectorBlast(10);
    state.tune.general().SetInjectorVoid(20);
    panel->UpdateData();
    EXPECT_EQ(panel->blastEdit()->text(), "10");
    EXPECT_EQ(panel->voidEdit()->text(), "20");

    typeAndEnter(panel->blastEdit(), QStringLiteral("256"));
    typeAndEnter(panel->voidEdit(), QStringLiteral("-1"));
    EXPECT_EQ(messages.texts(), (QStringList{"Please enter a valid value between 0 and 255",
                                             "Please enter a valid value between 0 and 255"}));
    typeAndEnter(panel->blastEdit(), QStringLiteral("10"));
    EXPECT_FALSE(state.Modified);
    typeAndEnter(panel->blastEdit(), QStringLiteral("255"));
    typeAndEnter(panel->voidEdit(), QStringLiteral("0"));
    EXPECT_EQ(state.tune.general().InjectorBlast(), 255);
    EXPECT_EQ(state.tune.general().InjectorVoid(), 0);
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
}

TEST_F(InjectorPanelTest, RealTimeModeDisablesEverything)
{
    state.RealTimeEnabled = true;
    for (int value : {822, 300}) {
        showK(value);
        EXPECT_FALSE(panel->sizeList()->isEnabled());
        EXPECT_FALSE(panel->dualFiltrationCheck()->isEnabled());
        EXPECT_FALSE(panel->overrideCheck()->isEnabled());
        EXPECT_FALSE(panel->kEdit()->isEnabled());
        EXPECT_FALSE(panel->blastEdit()->isEnabled());
        EXPECT_FALSE(panel->voidEdit()->isEnabled());
        EXPECT_FALSE(panel->realTimeNotice()->isHidden());
    }
    auto *notice = panel->realTimeNotice()->findChild<QLabel *>(QStringLiteral("lblRTInfo"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), "Injector values may not be modified in real-time mode.");

    state.RealTimeEnabled = false;
    showK(822);
    EXPECT_TRUE(panel->realTimeNotice()->isHidden());
    EXPECT_TRUE(panel->blastEdit()->isEnabled());
}
