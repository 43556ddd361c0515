// The small table panels (TTP, ignition dwell, VQ): labels, the range check,
// real-time writes and flags, and the marks of the entries a sample traced.

#include "EditorTestSupport.h"

#include "daq/AcquisitionSample.h"

#include "editors/ui/CVIgnitionDwellDlg.h"
#include "editors/ui/CVTTPDlg.h"
#include "editors/ui/CVVQTableDlg.h"
#include "editors/ui/FieldEdit.h"

#include <QLabel>

namespace {

void setFuelRpm(Tune &t)
{
    for (int i = 0; i < 16; ++i)
        t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i); // 500 .. 8000 RPM
}

std::vector<int> marked(const std::function<FieldEdit *(int)> &box, int count)
{
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        if (TablePanel::IsMarked(box(i)))
            out.push_back(i);
    return out;
}

// A sample whose trace reached these table entries.
AcquisitionSample traced(int ttpMin, int column, int vq)
{
    AcquisitionSample s;
    s.acquired = true;
    s.ttpMinIndex = ttpMin;
    s.rpmColumn = column;
    s.vqIndex = vq;
    return s;
}

} // namespace

class TablePanelsTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        setFuelRpm(state.tune);
        CVGeneralInfo &g = state.tune.general();
        for (int i = 0; i < 16; ++i) {
            g.SetTTPMin(i, i);
            g.SetTTPMax(i, 100 + i);
            g.SetTPLimit(i, 200 + i);
        }
        for (int i = 0; i < 32; ++i)
            g.SetIgnitionDuty(i, 3 * i);
        for (int i = 0; i < 64; ++i)
            g.SetVQ(i, 1000 * i);
    }
};

TEST_F(TablePanelsTest, TTPPanelShowsItsTablesAndLabels)
{
    CVTTPDlg ttp(edits, messages);
    ttp.UpdateData();
    EXPECT_EQ(ttp.ttpMinBox(3)->text(), "3");
    EXPECT_EQ(ttp.ttpMaxBox(3)->text(), "103");
    EXPECT_EQ(ttp.tpLimitBox(15)->text(), "215");
    EXPECT_EQ(ttp.ttpMinLabel(0)->text(), "175");
    EXPECT_EQ(ttp.ttpMinLabel(15)->text(), "2800");
    EXPECT_EQ(ttp.ttpMaxLabel(0)->text(), "500");
    EXPECT_EQ(ttp.tpLimitLabel(15)->text(), "8000");

    // The RPM labels follow the Fuel RPM Map; the fixed ones do not.
    state.tune.map(MapKey::FUELRPM).SetMapValue(0, 12);
    ttp.UpdateData();
    EXPECT_EQ(ttp.ttpMaxLabel(0)->text(), "600");
    EXPECT_EQ(ttp.ttpMinLabel(0)->text(), "175");
}

TEST_F(TablePanelsTest, TypedEntriesAreCheckedStoredAndSent)
{
    CVTTPDlg ttp(edits, messages);
    ttp.UpdateData();

    for (const QString &bad : {QStringLiteral("256"), QStringLiteral("12.5"), QStringLiteral("1e3"),
                               QStringLiteral(" 5"), QString(), QStringLiteral("-1")}) {
        messages.clear();
        typeAndEnter(ttp.ttpMinBox(2), bad);
        EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 255"})
            << bad.toStdString();
    }
    bool cancel = false;
    ttp.TTPMin_Validate(2, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(state.tune.general().TTPMin(2), 2);
    EXPECT_FALSE(state.Modified);

    // Each table commits to its own item.
    state.RealTimeEnabled = true;
    typeAndEnter(ttp.ttpMinBox(2), QStringLiteral("201"));
    typeAndEnter(ttp.ttpMaxBox(4), QStringLiteral("0"));
    typeAndEnter(ttp.tpLimitBox(15), QStringLiteral("255"));
    ttp.TTPMax_KeyPress(5, 'x'); // other keys pass
    EXPECT_EQ(sender.values, (std::vector<SentValue>{{18, 2, 201}, {19, 4, 0}, {20, 15, 255}}));
    EXPECT_EQ(state.tune.general().TPLimit(15), 255);
    EXPECT_TRUE(state.Modified);
}

TEST_F(TablePanelsTest, TTPTrace)
{
    CVTTPDlg ttp(edits, messages);
    ttp.UpdateData();
    auto minBoxes = [&](int i) { return ttp.ttpMinBox(i); };
    auto maxBoxes = [&](int i) { return ttp.ttpMaxBox(i); };
    auto limitBoxes = [&](int i) { return ttp.tpLimitBox(i); };

    ttp.ShowTrace(traced(15, 5, 0));
    EXPECT_EQ(marked(minBoxes, 16), std::vector<int>{15});
    EXPECT_EQ(marked(maxBoxes, 16), std::vector<int>{5});
    EXPECT_EQ(marked(limitBoxes, 16), std::vector<int>{5});
    EXPECT_EQ(ttp.ttpMinBox(15)->palette().color(QPalette::Base), QColor(0, 192, 0));

    ttp.ShowTrace(traced(0, 0, 0)); // the earlier marks go
    EXPECT_EQ(marked(minBoxes, 16), std::vector<int>{0});
    EXPECT_EQ(marked(maxBoxes, 16), std::vector<int>{0});
    ttp.ShowTrace(AcquisitionSample()); // a failed tick changes nothing
    EXPECT_EQ(marked(minBoxes, 16), std::vector<int>{0});

    // Refilling leaves the marks; clearing takes them away.
    ttp.UpdateData();
    EXPECT_EQ(marked(limitBoxes, 16), std::vector<int>{0});
    ttp.ClearRTState();
    EXPECT_TRUE(marked(minBoxes, 16).empty());
    EXPECT_TRUE(marked(maxBoxes, 16).empty());
    EXPECT_TRUE(marked(limitBoxes, 16).empty());
}

TEST_F(TablePanelsTest, IgnitionDwellPanel)
{
    CVIgnitionDwellDlg dwell(edits, messages);
    dwell.UpdateData();
    EXPECT_EQ(dwell.dutyBox(0)->text(), "0");
    EXPECT_EQ(dwell.dutyBox(31)->text(), "93");
    EXPECT_EQ(dwell.chargeLabel(2)->text(), "1500");
    EXPECT_EQ(dwell.angleLabel(2)->text(), "1500");

    auto boxes = [&](int i) { return dwell.dutyBox(i); };
    dwell.ShowTrace(traced(0, 5, 0)); // column 5: charge box 5 and dwell box 21
    EXPECT_EQ(marked(boxes, 32), (std::vector<int>{5, 21}));
    dwell.ShowTrace(traced(0, 15, 0));
    EXPECT_EQ(marked(boxes, 32), (std::vector<int>{15, 31}));
    dwell.ClearRTState();
    EXPECT_TRUE(marked(boxes, 32).empty());

    state.RealTimeEnabled = true;
    typeAndEnter(dwell.dutyBox(20), QStringLiteral("77"));
    EXPECT_EQ(sender.values, (std::vector<SentValue>{{22, 20, 77}}));
    EXPECT_EQ(state.tune.general().IgnitionDuty(20), 77);
    typeAndEnter(dwell.dutyBox(20), QStringLiteral("256"));
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 255"});
}

TEST_F(TablePanelsTest, VQPanel)
{
    CVVQTableDlg vq(edits, messages);
    vq.UpdateData();
    EXPECT_EQ(vq.vqBox(63)->text(), "63000");
    EXPECT_EQ(vq.vqLabel(0)->text(), "0.08v");
    EXPECT_EQ(vq.vqLabel(63)->text(), "5.12v");

    typeAndEnter(vq.vqBox(10), QStringLiteral("65535"));
    EXPECT_EQ(state.tune.general().VQ(10), 65535);
    typeAndEnter(vq.vqBox(10), QStringLiteral("65536"));
    EXPECT_EQ(messages.texts(), QStringList{"Please enter a valid value between 0 and 65535"});
    EXPECT_EQ(state.tune.general().VQ(10), 65535);

    // In real time the whole 16-bit value goes to the sender, which writes
    // both bytes of the entry.
    state.RealTimeEnabled = true;
    typeAndEnter(vq.vqBox(11), QStringLiteral("40000"));
    typeAndEnter(vq.vqBox(12), QStringLiteral("200"));
    EXPECT_EQ(sender.values, (std::vector<SentValue>{{23, 11, 40000}, {23, 12, 200}}));

    auto boxes = [&](int i) { return vq.vqBox(i); };
    vq.ShowTrace(traced(0, 0, 3));
    EXPECT_EQ(marked(boxes, 64), std::vector<int>{3});
    vq.ShowTrace(traced(0, 0, 63));
    EXPECT_EQ(marked(boxes, 64), std::vector<int>{63});
    vq.ClearRTState();
    EXPECT_TRUE(marked(boxes, 64).empty());
}
