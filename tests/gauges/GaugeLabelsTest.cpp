// Gauge scale labels that never collide and say their unit, and a board that
// says when no data comes.

#include "daq/AcquisitionSample.h"
#include "daq/DaqSettings.h"
#include "gauges/GaugeScale.h"
#include "gauges/ui/GaugeWidget.h"
#include "gauges/ui/GaugesWindow.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"

#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(GaugeLabels, EveryLabelDrawnKeepsClearOfTheNext)
{
    const auto row = [](std::vector<double> lefts, double width) {
        QVector<QRectF> rects;
        for (double x : lefts)
            rects << QRectF(x, 0, width, 10);
        return rects;
    };
    struct Case
    {
        QVector<QRectF> rects;
        int stride;
    };
    const Case cases[] = {{row({0, 30, 60, 90}, 20), 1},
                          {row({0, 20, 40, 60, 80}, 20), 2}, // touching: one in two
                          {row({0, 10, 20, 30, 40, 50, 60}, 25), 3},
                          {{}, 1}};
    for (const Case &c : cases)
        EXPECT_EQ(GaugeScale::LabelStride(c.rects), c.stride) << c.rects.size();

    // One unit for the whole scale, named on the gauge.
    struct Units
    {
        GaugeScale::Range range;
        double value;
        QString text, factor;
    };
    const Units units[] = {{{0, 8000}, 6000, "6", "x1000"}, {{0, 3000}, 500, "0.5", "x1000"}, {{0, 1500}, 1250, "1250", ""}};
    for (const Units &u : units) {
        EXPECT_EQ(GaugeScale::TickText(u.value, u.range), u.text) << u.value;
        EXPECT_EQ(GaugeScale::FactorText(u.range), u.factor) << u.value;
    }
}

TEST(GaugeLabels, TheBoardSaysWhenSamplesStop)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    DaqSettings prefs(store);
    ProgramState state;
    GaugesWindow board(state, prefs);
    AcquisitionSample s;
    s.acquired = true;
    s.status = "Receiving data.";
    s.rpm = 4200;
    s.tpInt = 80;
    board.TakeSample(s);
    board.ApplyPending();
    EXPECT_EQ(board.Gauge(GaugesWindow::RpmKey())->valueText(), "4200");

    board.DataStopped();
    const QLabel *status = board.findChild<QLabel *>("lblGaugesStatus");
    ASSERT_TRUE(status);
    EXPECT_NE(status->text(), "Receiving data.");
    for (const QString &key : board.GaugeKeys()) {
        const GaugeWidget *g = board.Gauge(key);
        EXPECT_EQ(g->valueText(), "--") << key.toStdString();
        EXPECT_EQ(g->value(), g->range().min) << key.toStdString();
    }
    // A sample kept before the stop is not shown after it.
    board.TakeSample(s);
    board.DataStopped();
    EXPECT_FALSE(board.HasPending());
}

} // namespace
