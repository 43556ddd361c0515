// The general, injector and small table panels and the map copy dialog in the
// main window: what typing stores, the refusals and their messages, the
// injector sizes, the trace marks and what a copy overwrites.

#include "support/AppOnBoxTest.h"

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
#include <QLabel>
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

TEST_F(PanelsTest, GeneralPanelStoresTypedValuesInItsUnits)
{
    struct Case
    {
        FieldEdit *(CVGlobalDlg::*box)() const;
        const char *typed;
        int stored;         // -1: refused
        const char *shown;  // after Enter, or the message
        int (CVGeneralInfo::*read)() const;
    };
    const Case cases[] = {
        {&CVGlobalDlg::revLimiterEdit, "12750", 255, "12750", &CVGeneralInfo::RevLimiter},
        {&CVGlobalDlg::revLimiterEdit, "1275", 26, "1300", &CVGeneralInfo::RevLimiter},
        {&CVGlobalDlg::revLimiterEdit, "12751", -1, "Please enter a valid value between 50 and 12750",
         &CVGeneralInfo::RevLimiter},
        {&CVGlobalDlg::revLimiterEdit, "12.5", -1, "Please enter a valid value between 50 and 12750",
         &CVGeneralInfo::RevLimiter},
        {&CVGlobalDlg::revLimiterEdit, " 100", -1, "Please enter a valid value between 50 and 12750",
         &CVGeneralInfo::RevLimiter},
        {&CVGlobalDlg::speedLimiterEdit, "100", 81, "100.44", &CVGeneralInfo::SpeedLimiter},
        {&CVGlobalDlg::speedLimiterEdit, "+62", 50, "62", &CVGeneralInfo::SpeedLimiter},
        {&CVGlobalDlg::speedLimiterEdit, "316.2", 255, "316.2", &CVGeneralInfo::SpeedLimiter},
        {&CVGlobalDlg::speedLimiterEdit, "1.2", -1, "Please enter a valid value between 1.24 and 316.2",
         &CVGeneralInfo::SpeedLimiter},
        {&CVGlobalDlg::vtcReleaseEdit, "75", 2, "100", &CVGeneralInfo::VTCRelease},
        {&CVGlobalDlg::vtcReleaseEdit, "125", 2, "100", &CVGeneralInfo::VTCRelease},
        {&CVGlobalDlg::vtcReleaseEdit, "175", 4, "200", &CVGeneralInfo::VTCRelease},
    };
    CVGlobalDlg &p = panel<CVGlobalDlg>(2);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        messages.clear();
        state().Modified = false;
        const int before = (g().*c.read)();
        typeAndEnter((p.*c.box)(), c.typed);
        if (c.stored < 0) {
            EXPECT_EQ(messages.texts(), QStringList{c.shown});
            EXPECT_EQ((g().*c.read)(), before);
            EXPECT_FALSE(state().Modified);
        } else {
            EXPECT_TRUE(messages.shown().empty());
            EXPECT_EQ((g().*c.read)(), c.stored);
            EXPECT_EQ((p.*c.box)()->text(), c.shown);
            EXPECT_EQ(state().Modified, before != c.stored);
        }
    }
    // The version is padded to five characters and cut at five.
    typeAndEnter(p.versionEdit(), "ab");
    EXPECT_EQ(g().Version(), "   ab");
    typeAndEnter(p.versionEdit(), "ABCDEFG");
    EXPECT_EQ(g().Version(), "ABCDE");
}

TEST_F(PanelsTest, InjectorSizesAndTheOverride)
{
    CVInjectorDlg &p = panel<CVInjectorDlg>(3);
    const auto showK = [&](int k) {
        g().SetInjectorK(k);
        p.UpdateData();
    };
    // A standard K shows its size and filtration; any other K the override.
    const struct
    {
        int k;
        const char *size; // nullptr: the override
        bool dual;
    } shown[] = {{822, "270cc", true}, {411, "270cc", false}, {370, "720cc", true}, {300, nullptr, false},
                 {823, nullptr, false}};
    for (const auto &s : shown) {
        showK(s.k);
        SCOPED_TRACE(s.k);
        EXPECT_EQ(p.overrideCheck()->isChecked(), s.size == nullptr);
        EXPECT_EQ(p.kEdit()->isEnabled(), s.size == nullptr);
        EXPECT_EQ(p.sizeList()->isEnabled(), s.size != nullptr);
        EXPECT_EQ(p.dualFiltrationCheck()->isChecked(), s.dual);
        if (s.size) {
            EXPECT_EQ(p.sizeList()->currentText(), s.size);
        }
        EXPECT_EQ(p.kEdit()->text(), QString::number(s.k));
    }
    EXPECT_FALSE(state().Modified) << "showing a tune is not an edit";

    typeAndEnter(p.kEdit(), "70000");
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 65535"});
    typeAndEnter(p.kEdit(), "65535");
    EXPECT_EQ(g().InjectorK(), 65535);
    // Unticking the override goes back to the first size, single filtration.
    QTest::mouseClick(p.overrideCheck(), Qt::LeftButton);
    EXPECT_EQ(g().InjectorK(), 411);
    QTest::keyClick(p.sizeList(), Qt::Key_Down);
    QTest::keyClick(p.sizeList(), Qt::Key_Down);
    EXPECT_EQ(p.sizeList()->currentText(), "555cc");
    EXPECT_EQ(g().InjectorK(), 210);
    QTest::mouseClick(p.dualFiltrationCheck(), Qt::LeftButton);
    EXPECT_EQ(g().InjectorK(), 420);
    EXPECT_TRUE(state().ChangesNotSent);

    typeAndEnter(p.blastEdit(), "256");
    EXPECT_EQ(messages.texts().back(), "Please enter a valid value between 0 and 255");
}

// Every table commits to its own entries; the trace marks the entries the
// engine used, and a failed tick or a refill keeps them.
TEST_F(PanelsTest, TablePanelsStoreAndMarkTheirEntries)
{
    for (int i = 0; i < 16; ++i)
        state().tune.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i); // 500 .. 8000 RPM
    CVTTPDlg &ttp = panel<CVTTPDlg>(4);
    EXPECT_EQ(ttp.ttpMaxLabel(0)->text(), "500") << "the RPM labels follow the Fuel RPM Map";
    typeAndEnter(ttp.ttpMinBox(2), "201");
    typeAndEnter(ttp.ttpMaxBox(4), "0");
    typeAndEnter(ttp.tpLimitBox(15), "255");
    EXPECT_EQ(g().TTPMin(2), 201);
    EXPECT_EQ(g().TTPMax(4), 0);
    EXPECT_EQ(g().TPLimit(15), 255);
    for (const char *bad : {"256", "12.5", "-1"}) {
        messages.clear();
        typeAndEnter(ttp.ttpMinBox(2), bad);
        EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 255"}) << bad;
    }
    EXPECT_EQ(g().TTPMin(2), 201);

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
    typeAndEnter(dwell.dutyBox(20), "77");
    EXPECT_EQ(g().IgnitionDuty(20), 77);

    // VQ entries are 16-bit.
    CVVQTableDlg &vq = panel<CVVQTableDlg>(13);
    vq.ShowTrace(s);
    EXPECT_EQ(marked([&](int i) { return vq.vqBox(i); }, 64), std::vector<int>{3});
    typeAndEnter(vq.vqBox(10), "65535");
    EXPECT_EQ(g().VQ(10), 65535);
    messages.clear();
    typeAndEnter(vq.vqBox(10), "65536");
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 65535"});
    EXPECT_EQ(g().VQ(10), 65535);
}

TEST_F(PanelsTest, MapCopyOverwritesOnlyTickedMapsOfTheSameKind)
{
    constexpr MapKey maps[] = {MapKey::HOFM, MapKey::HOHGFM, MapKey::LOFM, MapKey::LOHGFM, MapKey::HOTM, MapKey::LOTM};
    for (int m = 0; m < 6; ++m)
        for (int i = 0; i < 256; ++i)
            state().tune.map(maps[m]).SetMapValue(i, (i + 40 * m) % 256);
    state().tune.map(MapKey::HOFM).AddRTMapPoint(7);
    const Tune before = state().tune;
    const auto bytes = [&](MapKey k) { return state().tune.map(k).Bytes(); };
    dlgMapCopy copy(app->edits(), messages, &w());
    std::vector<bool> enabled;
    for (int source : {0, 4, 2}) {
        copy.sourceList()->setCurrentIndex(source);
        enabled.clear();
        for (int i = 0; i < 6; ++i)
            enabled.push_back(copy.targetCheck(i)->isEnabled());
    }
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false, true, false, false})); // fuel onto fuel only

    // No to the question changes nothing.
    copy.targetCheck(0)->setChecked(true);
    copy.targetCheck(1)->setChecked(true);
    messages.queue(MsgAnswer::No);
    copy.copyButton()->click();
    EXPECT_TRUE(state().tune.sameContents(before));
    EXPECT_FALSE(state().Modified);

    copy.copyButton()->click();
    EXPECT_EQ(messages.shown().front().text,
              "Are you sure you want to overwrite the selected maps with data from the Low Octane Fuel Map?");
    EXPECT_EQ(messages.shown().back().text,
              "Copy complete.  Changes have been made locally.  You should use the \"Write To Vantrelle\" "
              "menu item to update the hardware.");
    EXPECT_EQ(bytes(MapKey::HOFM), before.map(MapKey::LOFM).Bytes());
    EXPECT_EQ(bytes(MapKey::HOHGFM), before.map(MapKey::LOFM).Bytes());
    EXPECT_EQ(bytes(MapKey::LOHGFM), before.map(MapKey::LOHGFM).Bytes());
    EXPECT_EQ(bytes(MapKey::HOTM), before.map(MapKey::HOTM).Bytes());
    EXPECT_TRUE(state().tune.map(MapKey::HOFM).IsRTMapPointSet(7)) << "trace points untouched";
    EXPECT_TRUE(state().Modified);
    EXPECT_TRUE(state().ChangesNotSent);
}
