// The dashboard, offscreen: which gauges it holds, readings that change
// nothing visible, samples folded into one update, a
// board that says when no data comes, and scale labels that never collide.

#include "daq/AcquisitionSample.h"
#include "gauges/ui/GaugesWindow.h"
#include "gauges/ui/GaugeWidget.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

AcquisitionSample::Input analog(const QString &name, float value, bool digital = false)
{
    AcquisitionSample::Input in;
    in.name = name;
    in.value = in.voltage = value;
    in.digital = digital;
    return in;
}

AcquisitionSample sample(qint32 rpm, int tp)
{
    AcquisitionSample s;
    s.acquired = true;
    s.status = "Receiving data.";
    s.rpm = rpm;
    s.tp = static_cast<float>(tp);
    s.tpInt = tp;
    s.masVoltage = 2.345f;
    s.injectorDuty = 6.88f;
    s.inputs = {analog("MAS", 2.345f), analog("EGT", 12.0f), analog("Launch", 1.0f, true)};
    return s;
}

class GaugesWindowTest : public ::testing::Test
{
protected:
    GaugesWindowTest() : store(dir.filePath("Vantrelle.ini")), prefs(store)
    {
        // EGT: thresholds warning 10, critical 20 (RGB(192, 192, 0) and red).
        prefs.AddDAQInput(DAQInputRecord{.name = "EGT", .channel = 1, .thresholdsEnabled = true, .warningThreshold = 10.0f, .criticalThreshold = 20.0f});
        state.tune.general().SetRevLimiter(150); // 7500 RPM
    }

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    ProgramState state;
};

} // namespace

TEST_F(GaugesWindowTest, HoldsTheFixedGaugesAndOnePerInput)
{
    GaugesWindow wnd(state, prefs);
    EXPECT_EQ(wnd.Gauge("RPM")->valueText(), "--") << "no reading before the first sample";
    wnd.TakeSample(sample(3000, 20));
    wnd.ApplyPending();
    EXPECT_EQ(wnd.GaugeKeys(), (QStringList{"RPM", "TP", "MAS", "Injector Duty", "EGT", "Launch"}));
    // EGT's scale reaches past its critical threshold.
    EXPECT_EQ(wnd.Gauge("EGT")->range(), (GaugeScale::Range{0, 25}));

    // An input that goes away takes its gauge with it.
    AcquisitionSample fewer = sample(3000, 20);
    fewer.inputs.removeLast();
    wnd.TakeSample(fewer);
    wnd.ApplyPending();
    EXPECT_EQ(wnd.Gauge("Launch"), nullptr);

    // A failed tick keeps the last values; a value beyond a scale pegs the
    // needle and leaves the scale alone.
    AcquisitionSample failed;
    failed.status = "LabJack error 5";
    wnd.TakeSample(failed);
    wnd.ApplyPending();
    EXPECT_EQ(wnd.Gauge("RPM")->valueText(), "3000");
    wnd.TakeSample(sample(9100, 20));
    wnd.ApplyPending();
    EXPECT_EQ(std::pair(wnd.Gauge("RPM")->range(), wnd.Gauge("RPM")->valueText()),
              std::pair(GaugeScale::Range{0, 8000}, QString("9100")));
}

TEST_F(GaugesWindowTest, SamplesArrivingTogetherAreShownOnce)
{
    GaugesWindow wnd(state, prefs);
    wnd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wnd));
    wnd.TakeSample(sample(1000, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return wnd.ApplyCount() == 1; }, 20000));

    // Fifty ticks before the interface gets a turn: one update, the last one.
    for (int i = 1; i <= 50; ++i)
        wnd.TakeSample(sample(1000 + 100 * i, 10 + i));
    EXPECT_EQ(wnd.ApplyCount(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.HasPending(); }, 20000));
    EXPECT_EQ(std::tuple(wnd.ApplyCount(), wnd.Gauge("RPM")->valueText(), wnd.Gauge("TP")->valueText()),
              std::tuple(2, QString("6000"), QString("60")));
}

TEST(GaugeWidget, OnlyVisibleChangesAskForAPaint)
{
    GaugeWidget dial("RPM", GaugeWidget::Style::Dial);
    dial.setRange({0, 8000});
    EXPECT_TRUE(dial.setReading(3000, "3000"));
    // 1 RPM moves the needle by 0.03 degrees: nothing to see.
    EXPECT_FALSE(dial.setReading(3001, "3000"));
    EXPECT_TRUE(dial.setReading(3001, "3001", QColor(255, 0, 0)));

    GaugeWidget bar("Duty", GaugeWidget::Style::Bar);
    bar.resize(212, 80); // a 200 pixel bar
    bar.setRange({0, 100});
    EXPECT_TRUE(bar.setReading(50, "50"));
    EXPECT_FALSE(bar.setReading(50.2, "50"));
    EXPECT_TRUE(bar.setReading(51, "50"));
}

// A label of 6 on a scale in thousands is 6000 RPM: however narrow the gauge,
// the title shortens before the factor goes.
TEST(GaugeWidget, ANarrowTitleKeepsTheScaleFactor)
{
    GaugeWidget bar("Engine speed", GaugeWidget::Style::Bar);
    bar.setRange({0, 8000});
    const QFontMetrics fm = bar.fontMetrics();
    const int whole = fm.horizontalAdvance("Engine speed  x1000");
    EXPECT_EQ(bar.titleText(whole), "Engine speed  x1000");
    for (int room : {whole - 1, fm.horizontalAdvance("E...  x1000"), fm.horizontalAdvance("  x1000") + 1}) {
        const QString shown = bar.titleText(room);
        EXPECT_TRUE(shown.endsWith("  x1000")) << room << " " << shown.toStdString();
        EXPECT_LE(fm.horizontalAdvance(shown), room) << shown.toStdString();
    }
}

TEST_F(GaugesWindowTest, TheBoardSaysWhenSamplesStop)
{
    GaugesWindow board(state, prefs);
    const AcquisitionSample s = sample(4200, 80);
    board.TakeSample(s);
    board.ApplyPending();
    EXPECT_EQ(board.Gauge(GaugesWindow::RpmKey())->valueText(), "4200");

    board.DataStopped();
    EXPECT_NE(board.findChild<QLabel *>("lblGaugesStatus")->text(), "Receiving data.");
    for (const QString &key : board.GaugeKeys()) {
        const GaugeWidget *g = board.Gauge(key);
        EXPECT_EQ(std::pair(g->valueText(), g->value()), std::pair(QString("--"), g->range().min)) << key.toStdString();
    }
    // A sample kept before the stop is not shown after it.
    board.TakeSample(s);
    board.DataStopped();
    EXPECT_FALSE(board.HasPending());
}

// Scale labels never collide and the scale names one unit for all of them.
TEST(GaugeLabels, EveryLabelDrawnKeepsClearOfTheNext)
{
    using namespace GaugeScale;
    const auto row = [](std::vector<double> lefts, double width) {
        QVector<QRectF> rects;
        for (double x : lefts)
            rects << QRectF(x, 0, width, 10);
        return rects;
    };
    // Touching labels: one in two.
    EXPECT_EQ(std::tuple(LabelStride(row({0, 20, 40, 60, 80}, 20)), LabelStride(row({0, 10, 20, 30, 40, 50, 60}, 25)),
                         LabelStride({})),
              std::tuple(2, 3, 1));
    EXPECT_EQ((QStringList{TickText(500, {0, 3000}), FactorText({0, 3000}), TickText(1250, {0, 1500}),
                           FactorText({0, 1500})}),
              (QStringList{"0.5", "x1000", "1250", ""}));
}
