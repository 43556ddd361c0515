// The live strip at any width: its labels flow onto more lines rather than
// running into each other or being cut.

#include "daq/AcquisitionLoop.h"
#include "daq/ui/RealTimeStripView.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

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
    // A status wider than the strip wraps, whole.
    for (const char *status : {"Receiving data.", "Receiving data. Datalog stopped: No space left on device"}) {
        strip.status = status;
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
                if (l->pixmap().isNull() && l->wordWrap()) {
                    EXPECT_GE(g.height(), l->heightForWidth(g.width()))
                        << l->objectName().toStdString() << " at " << width;
                } else if (l->pixmap().isNull()) {
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
    }
    // A narrow strip needs more lines than a wide one.
    EXPECT_GT(view.heightForWidth(400), view.heightForWidth(1600));
}

} // namespace
