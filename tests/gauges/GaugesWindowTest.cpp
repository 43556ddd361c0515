// The dashboard, offscreen: which gauges it holds, their threshold colours,
// readings that change nothing visible, and samples folded into one update.

#include "daq/CVDAQInput.h"
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

QColor rgb(quint32 c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

AcquisitionSample::Input analog(const QString &name, float value, std::optional<quint32> color = {})
{
    AcquisitionSample::Input in;
    in.name = name;
    in.value = value;
    in.voltage = value;
    in.thresholdColor = color;
    return in;
}

AcquisitionSample::Input digital(const QString &name, bool high)
{
    AcquisitionSample::Input in;
    in.name = name;
    in.digital = true;
    in.value = high ? 1.0f : 0.0f;
    in.voltage = in.value;
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
    s.inputs = {analog("MAS", 2.345f), analog("EGT", 12.0f), digital("Launch", true)};
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
    wnd.TakeSample(sample(3000, 20));
    wnd.ApplyPending();
    EXPECT_EQ(wnd.GaugeKeys(), (QStringList{"RPM", "TP", "MAS", "Injector Duty", "EGT", "Launch"}));
    EXPECT_EQ(wnd.Gauge("Launch")->valueText(), "On");
    // EGT's scale reaches past its critical threshold.
    EXPECT_EQ(wnd.Gauge("EGT")->range(), (GaugeScale::Range{0, 25}));
    EXPECT_EQ(wnd.Gauge("MAS")->valueText(), "2.345v");
    EXPECT_EQ(wnd.Gauge("Injector Duty")->valueText(), "6.88%");

    // An input that goes away takes its gauge with it.
    AcquisitionSample fewer = sample(3000, 20);
    fewer.inputs.removeLast();
    wnd.TakeSample(fewer);
    wnd.ApplyPending();
    EXPECT_EQ(wnd.Gauge("Launch"), nullptr);
    EXPECT_EQ(wnd.GaugeKeys().size(), 5);
}

TEST_F(GaugesWindowTest, ReadingsTakeTheThresholdColours)
{
    GaugesWindow wnd(state, prefs);
    const quint32 normal = CVDAQInput::DefaultNormalColor;
    const quint32 warning = CVDAQInput::DefaultWarningColor;
    const quint32 critical = CVDAQInput::DefaultCriticalColor;
    struct Case
    {
        float value;
        std::optional<quint32> color; // as the tick found it
        QColor shown;
    };
    const Case cases[] = {
        {10.0f, normal, rgb(normal)},
        {10.5f, warning, rgb(warning)},
        {20.1f, critical, rgb(critical)},
        {5.0f, std::nullopt, GaugeWidget::NeutralColor()}, // thresholds off
    };
    for (const Case &c : cases) {
        AcquisitionSample s = sample(3000, 20);
        s.inputs[1] = analog("EGT", c.value, c.color);
        s.masColor = c.color;
        wnd.TakeSample(s);
        wnd.ApplyPending();
        EXPECT_EQ(wnd.Gauge("EGT")->readingColor(), c.shown) << c.value;
        EXPECT_EQ(wnd.Gauge("MAS")->readingColor(), c.shown) << c.value;
    }
    EXPECT_EQ(wnd.Gauge("RPM")->readingColor(), GaugeWidget::NeutralColor());
}

TEST_F(GaugesWindowTest, AFailedTickKeepsTheLastValues)
{
    GaugesWindow wnd(state, prefs);
    wnd.TakeSample(sample(3000, 20));
    wnd.ApplyPending();
    AcquisitionSample failed;
    failed.status = "LabJack error 5";
    wnd.TakeSample(failed);
    wnd.ApplyPending();
    EXPECT_EQ(wnd.findChild<QLabel *>("lblGaugesStatus")->text(), "LabJack error 5");
    EXPECT_EQ(wnd.Gauge("RPM")->valueText(), "3000");
    EXPECT_EQ(wnd.GaugeKeys().size(), 6);

    // A value beyond a scale widens it.
    wnd.TakeSample(sample(9100, 20));
    wnd.ApplyPending();
    EXPECT_EQ(wnd.Gauge("RPM")->range(), (GaugeScale::Range{0, 10000}));
}

TEST_F(GaugesWindowTest, SamplesArrivingTogetherAreShownOnce)
{
    GaugesWindow wnd(state, prefs);
    wnd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wnd));
    wnd.TakeSample(sample(1000, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return wnd.ApplyCount() == 1; }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return wnd.Gauge("RPM")->paintCount() > 0; }, 20000));
    QTest::qWait(50);
    const int paintsBefore = wnd.Gauge("RPM")->paintCount();

    // Fifty ticks before the interface gets a turn: one update, the last one.
    for (int i = 1; i <= 50; ++i)
        wnd.TakeSample(sample(1000 + 100 * i, 10 + i));
    EXPECT_EQ(wnd.ApplyCount(), 1);
    EXPECT_TRUE(wnd.HasPending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.HasPending(); }, 20000));
    EXPECT_EQ(wnd.ApplyCount(), 2);
    EXPECT_EQ(wnd.Gauge("RPM")->valueText(), "6000");
    EXPECT_EQ(wnd.Gauge("TP")->valueText(), "60");
    ASSERT_TRUE(QTest::qWaitFor([&] { return wnd.Gauge("RPM")->paintCount() > paintsBefore; }, 20000));
    QTest::qWait(50);
    EXPECT_LE(wnd.Gauge("RPM")->paintCount() - paintsBefore, 2);
}

TEST(GaugeWidget, OnlyVisibleChangesAskForAPaint)
{
    GaugeWidget dial("RPM", GaugeWidget::Style::Dial);
    dial.setRange({0, 8000});
    EXPECT_TRUE(dial.setReading(3000, "3000"));
    // 1 RPM moves the needle by 0.03 degrees: nothing to see.
    EXPECT_FALSE(dial.setReading(3001, "3000"));
    EXPECT_TRUE(dial.setReading(3001, "3001"));
    EXPECT_TRUE(dial.setReading(3001, "3001", QColor(255, 0, 0)));

    GaugeWidget bar("Duty", GaugeWidget::Style::Bar);
    bar.resize(212, 80); // a 200 pixel bar
    bar.setRange({0, 100});
    EXPECT_TRUE(bar.setReading(50, "50"));
    EXPECT_FALSE(bar.setReading(50.2, "50"));
    EXPECT_TRUE(bar.setReading(51, "50"));

    GaugeWidget lamp("Launch", GaugeWidget::Style::Lamp);
    EXPECT_TRUE(lamp.setReading(1, "On"));
    EXPECT_FALSE(lamp.setReading(1, "On"));
    EXPECT_TRUE(lamp.setReading(0, "Off"));
}
