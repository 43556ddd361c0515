// The live strip at any width: its labels flow onto more lines rather than
// running into each other or being cut.

#include "daq/AcquisitionLoop.h"
#include "daq/ui/RealTimeStripView.h"
#include "platform/WindowLayout.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

TEST(StripLayout, ItemsFlowOntoNewLinesWhereTheWidthEnds)
{
    // Hidden items take no room; one too wide for any line takes its own.
    EXPECT_EQ(WindowLayout::FlowLines({50, 0, 50, 50}, 110, 10), (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(WindowLayout::FlowLines({300, 20, 20}, 100, 10), (std::vector<int>{0, 1, 1}));

    // The window gives the strip the height it asks for at the panel's width.
    WindowLayout::Input in;
    in.realTime = true;
    in.stripHeightForWidth = [](int width) { return width < 3000 ? 1200 : 600; };
    in.windowWidth = 4500; // panel 4500 - (2500 + 200)
    EXPECT_EQ(WindowLayout::Compute(in).strip.height, 1200);
    in.windowWidth = 9000;
    EXPECT_EQ(WindowLayout::Compute(in).strip.height, 600);
}

TEST(StripLayout, NoLabelOverlapsAnotherOrIsCutAtAnyWidth)
{
    RealTimeStripView view;
    RealTimeStrip strip;
    strip.status = "Receiving data.";
    strip.rpm = "6500";
    strip.tp = "142";
    strip.mas = "4.512v";
    strip.injectorPW = "12.34 ms";
    strip.injectorDuty = "87.5%";
    strip.revLimitVisible = true;
    strip.revLimitValue = "4200";
    const char *names[] = {"TPS", "O2", "Coolant", "EGT", "Battery", "Wideband AFR", "Oil Pressure", "Fuel Pressure",
                           "Launch", "Brake"};
    strip.rowsInUse = 10;
    for (int i = 0; i < 10; ++i) {
        RealTimeStripRow &r = strip.rows[static_cast<std::size_t>(i)];
        r.kind = i < 8 ? RealTimeStripRow::Kind::Analog : RealTimeStripRow::Kind::Digital;
        r.name = names[i];
        r.valueText = "-123.4567";
        r.high = i == 8;
    }
    view.show();
    view.Show(strip);
    for (int width : {320, 400, 560, 720, 900, 1200, 1600}) {
        view.resize(width, view.heightForWidth(width));
        QList<QLabel *> shown;
        for (QLabel *l : view.findChildren<QLabel *>())
            if (l->isVisible())
                shown << l;
        ASSERT_GE(shown.size(), 14 + 18);
        for (QLabel *l : shown) {
            const QRect g = l->geometry();
            if (l->pixmap().isNull()) {
                EXPECT_GE(g.width(), l->fontMetrics().horizontalAdvance(l->text()))
                    << l->objectName().toStdString() << " at " << width;
            }
            EXPECT_TRUE(view.rect().contains(g)) << l->objectName().toStdString() << " at " << width;
            for (QLabel *other : shown) {
                if (other != l) {
                    EXPECT_FALSE(g.intersects(other->geometry()))
                        << l->objectName().toStdString() << " / " << other->objectName().toStdString() << " at "
                        << width;
                }
            }
        }
    }
    // A narrow strip needs more lines than a wide one.
    EXPECT_GT(view.heightForWidth(400), view.heightForWidth(1600));
}

} // namespace
