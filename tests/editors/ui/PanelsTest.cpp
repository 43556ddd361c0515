// The general, injector and small table panels and the map copy dialog in the
// main window: what typing stores, the refusals and their messages, the
// injector sizes, the trace marks and what a copy overwrites.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "daq/AcquisitionSample.h"
#include "editors/ui/CVGlobalDlg.h"
#include "editors/ui/CVIgnitionDwellDlg.h"
#include "editors/ui/CVInjectorDlg.h"
#include "editors/ui/CVTTPDlg.h"
#include "editors/ui/CVVQTableDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ui/dlgMapCopy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

class PanelsTest : public AppOnBoxTest
{
protected:
    void SetUp() override { start(); }
    CVGeneralInfo &g() { return state().tune.general(); }
    // Types text into a box (replacing what is there) and presses Enter.
    static void typeAndEnter(QWidget *box, const QString &text)
    {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    static std::vector<int> marked(const std::function<FieldEdit *(int)> &box, int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i)
            if (TablePanel::IsMarked(box(i)))
                out.push_back(i);
        return out;
    }
};

} // namespace

// The boxes reach their fields' rules (GeneralRules has the table).
TEST_F(PanelsTest, GeneralPanelStoresTypedValuesInItsUnits)
{
    CVGlobalDlg &p = panel<CVGlobalDlg>(2);
    typeAndEnter(p.revLimiterEdit(), "1275");
    typeAndEnter(p.speedLimiterEdit(), "100");
    typeAndEnter(p.vtcReleaseEdit(), "75");
    EXPECT_EQ(std::tuple(g().RevLimiter(), g().SpeedLimiter(), g().VTCRelease(), p.speedLimiterEdit()->text()),
              std::tuple(26, 81, 2, QString("100.44")));
    EXPECT_TRUE(messages.shown().empty());

    state().NoteAtSavePoint(true);
    typeAndEnter(p.revLimiterEdit(), "12751");
    EXPECT_EQ(messages.texts(), (QStringList{"Please enter a valid value between 50 and 12750"}));
    EXPECT_EQ(std::pair(g().RevLimiter(), state().Modified()), std::pair(26, false));
    typeAndEnter(p.versionEdit(), "ab");
    EXPECT_EQ(g().Version(), "   ab");
}

TEST_F(PanelsTest, InjectorSizesAndTheOverride)
{
    CVInjectorDlg &p = panel<CVInjectorDlg>(3);
    // A standard K shows its size and filtration; any other K the override.
    for (int k : {370, 823}) {
        g().SetInjectorK(k);
        p.UpdateData();
        EXPECT_EQ(std::pair(p.overrideCheck()->isChecked(), p.dualFiltrationCheck()->isChecked()),
                  std::pair(k == 823, k == 370));
    }
    EXPECT_EQ(p.kEdit()->text(), "823");
    EXPECT_FALSE(state().Modified()) << "showing a tune is not an edit";
    typeAndEnter(p.kEdit(), "65535");
    EXPECT_EQ(g().InjectorK(), 65535);
    // Unticking the override goes back to the first size, single filtration.
    QTest::mouseClick(p.overrideCheck(), Qt::LeftButton);
    EXPECT_EQ(g().InjectorK(), 411);
    QTest::keyClick(p.sizeList(), Qt::Key_Down);
    QTest::keyClick(p.sizeList(), Qt::Key_Down);
    QTest::mouseClick(p.dualFiltrationCheck(), Qt::LeftButton);
    EXPECT_EQ(std::pair(g().InjectorK(), state().ChangesNotSent()), std::pair(420, true));
}

// Every table commits to its own entries; the trace marks the entries the
// engine used, and a failed tick or a refill keeps them.
TEST_F(PanelsTest, TablePanelsStoreAndMarkTheirEntries)
{
    testenv::risingAxes(state().tune);
    CVTTPDlg &ttp = panel<CVTTPDlg>(4);
    typeAndEnter(ttp.ttpMinBox(2), "201");
    typeAndEnter(ttp.tpLimitBox(15), "255");
    typeAndEnter(ttp.ttpMinBox(2), "256");
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 255"});
    EXPECT_EQ(std::pair(g().TTPMin(2), g().TPLimit(15)), std::pair(201, 255));

    AcquisitionSample s;
    s.acquired = true;
    s.ttpMinIndex = 15;
    s.rpmColumn = 5;
    s.vqIndex = 3;
    ttp.ShowTrace(s);
    EXPECT_EQ(marked([&](int i) { return ttp.ttpMinBox(i); }, 16), std::vector<int>{15});
    EXPECT_EQ(marked([&](int i) { return ttp.tpLimitBox(i); }, 16), std::vector<int>{5});
    ttp.ShowTrace(AcquisitionSample());
    ttp.UpdateData();
    EXPECT_EQ(marked([&](int i) { return ttp.ttpMaxBox(i); }, 16), std::vector<int>{5});
    ttp.ClearRTState();
    EXPECT_TRUE(marked([&](int i) { return ttp.ttpMinBox(i); }, 16).empty());

    CVIgnitionDwellDlg &dwell = panel<CVIgnitionDwellDlg>(5);
    dwell.ShowTrace(s); // column 5: charge box 5 and dwell box 21
    EXPECT_EQ(marked([&](int i) { return dwell.dutyBox(i); }, 32), (std::vector<int>{5, 21}));

    // VQ entries are 16-bit.
    CVVQTableDlg &vq = panel<CVVQTableDlg>(13);
    vq.ShowTrace(s);
    EXPECT_EQ(marked([&](int i) { return vq.vqBox(i); }, 64), std::vector<int>{3});
    typeAndEnter(vq.vqBox(10), "65535");
    EXPECT_EQ(g().VQ(10), 65535);
}

TEST_F(PanelsTest, MapCopyOverwritesOnlyTickedMapsOfTheSameKind)
{
    constexpr MapKey maps[] = {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM, MapKey::LOHGFM, MapKey::HOTM, MapKey::LOTM};
    for (int m = 0; m < 6; ++m)
        for (int i = 0; i < 256; ++i)
            state().tune.map(maps[m]).SetMapValue(i, (i + 40 * m) % 256);
    const Tune before = state().tune;
    const auto bytes = [&](MapKey k) { return state().tune.map(k).Bytes(); };
    dlgMapCopy copy(app->edits(), messages, &w());
    copy.sourceList()->setCurrentIndex(4);
    copy.sourceList()->setCurrentIndex(2);
    EXPECT_FALSE(copy.targetCheck(4)->isEnabled()) << "fuel onto fuel only";
    EXPECT_FALSE(copy.targetCheck(2)->isEnabled()) << "not onto itself";

    // No to the question changes nothing.
    copy.targetCheck(0)->setChecked(true);
    copy.targetCheck(1)->setChecked(true);
    messages.queue(MsgAnswer::No);
    copy.copyButton()->click();
    EXPECT_TRUE(state().tune.sameContents(before) && !state().Modified());

    copy.copyButton()->click();
    EXPECT_EQ(std::tuple(bytes(MapKey::HOFM), bytes(MapKey::HOHGFM), bytes(MapKey::LOHGFM)),
              std::tuple(before.map(MapKey::LOFM).Bytes(), before.map(MapKey::LOFM).Bytes(),
                         before.map(MapKey::LOHGFM).Bytes()));
    EXPECT_TRUE(state().Modified() && state().ChangesNotSent());
}
