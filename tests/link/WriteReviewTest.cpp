// What the box is known to hold after real-time writes, and what the question
// before a write says about the changes and about an implausible tune.

#include "link/BoxContents.h"
#include "link/RealTimeWrite.h"
#include "link/WriteReview.h"
#include "model/Tune.h"
#include "model/TuneItems.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// A tune a box could run: rising axes, a rev limiter of 7000 RPM.
Tune plausibleTune()
{
    Tune t;
    for (MapKey axis : {MapKey::FUELRPM, MapKey::TIMINGRPM, MapKey::FUELTP, MapKey::TIMINGTP})
        for (int i = 0; i < 16; ++i)
            t.map(axis).SetMapValue(i, 10 + 12 * i);
    t.general().SetRevLimiter(140);
    t.general().SetVersion("ABCDE");
    return t;
}

QString item(int number)
{
    return QString::fromLatin1(Info(*ItemFromNumber(number)).name);
}

} // namespace

TEST(BoxContentsTest, RealTimeWritesKeepWhatTheBoxHoldsExact)
{
    Tune t = plausibleTune();
    BoxContents box;
    box.RecordAll(t);

    // Acknowledged: the box now holds the new bytes, and only those.
    t.map(MapKey::HOFM).SetMapValue(17, 99);
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeFrame(TuneItem::HOFM, 17, 99, t), true), ItemFromNumber(1));
    t.general().SetVQ(3, 0x1234);
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeFrame(TuneItem::VQ, 3, 0, t), true), ItemFromNumber(23));
    t.general().SetVersion("XY");
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeVersionFrame("XY"), true), ItemFromNumber(17));
    EXPECT_TRUE(box.ItemsToWrite(t).empty());

    // A staged rev limit: acknowledged, so the box differs from the tune.
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeFrame(TuneItem::RevLimiter, 0, 60, t), true), ItemFromNumber(11));
    EXPECT_EQ(box.ItemsToWrite(t), std::vector<TuneItem>{*ItemFromNumber(11)});
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeFrame(TuneItem::RevLimiter, 0, 140, t), true), ItemFromNumber(11));

    // Failed (refused, timed out, port gone): the item may hold either value.
    t.general().SetTTPMax(15, 7);
    const QByteArray block = ItemBytes(t, TuneItem::TTPMax).mid(14, 2);
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeBytesFrame(TuneItem::TTPMax, 14, block), false), ItemFromNumber(19));
    EXPECT_EQ(box.ItemsToWrite(t), std::vector<TuneItem>{*ItemFromNumber(19)});
    // An acknowledged write to an unknown item does not make it known.
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeBytesFrame(TuneItem::TTPMax, 14, block), true), ItemFromNumber(19));
    EXPECT_FALSE(box.Knows(*ItemFromNumber(19)));

    // Not a real-time write inside one item: nothing changes.
    EXPECT_EQ(box.RecordRealTimeWrite(QByteArray("\x77\x01\x7F", 3), false), std::nullopt);
    EXPECT_EQ(box.RecordRealTimeWrite(RealTimeBytesFrame(TuneItem::RevLimiter, 0, QByteArray(1, 1)).replace(1, 1, "\x02"), false), std::nullopt);
    EXPECT_TRUE(box.Knows(*ItemFromNumber(11)));
}

// A transfer that stopped part-way: the items it finished are known, the one
// it was writing may hold either value, the rest are as they were.
TEST(BoxContentsTest, AWriteThatStoppedPartWayForgetsOnlyTheItemItWasWriting)
{
    const Tune t = plausibleTune();
    const std::vector<TuneItem> walk{TuneItem::HOFM, TuneItem::HOHGFM, TuneItem::LOFM, TuneItem::LOHGFM};
    // Reading, the item it was on was not known before and is not now.
    for (const bool writing : {true, false}) {
        BoxContents box;
        box.RecordAll(t);
        if (!writing)
            box.ForgetItem(TuneItem::HOHGFM);
        box.RecordTransfer(t, walk, 1, writing);
        EXPECT_EQ(std::tuple(box.Knows(TuneItem::HOFM), box.Knows(TuneItem::HOHGFM), box.Knows(TuneItem::LOFM)),
                  std::tuple(true, false, true))
            << writing;
    }
}

TEST(WriteReviewTest, ChangesAgainstTheBoxAndWarnings)
{
    struct Case
    {
        const char *name;
        std::function<void(Tune &, BoxContents &, QString &origin)> setUp;
        QStringList changes;
        QStringList unknown;
        int unchanged;
        QStringList warnings;
    };
    const Case cases[] = {
        {"nothing differs", [](Tune &, BoxContents &, QString &) {}, {}, {}, 22, {}},
        {"cells, one values, version and VQ",
         [](Tune &t, BoxContents &, QString &) {
             for (int i : {0, 100, 255})
                 t.map(MapKey::HOFM).SetMapValue(i, 77);
             t.general().SetRevLimiter(150);
             t.general().SetSpeedLimiter(100);
             t.general().SetInjectorK(0x0203);
             t.general().SetVersion("AB");
             t.general().SetVQ(63, 9);
         },
         {item(1) + ": 3 of 256 cells change", "Rev Limiter: 7000 -> 7500 RPM", "Speed Limiter: 0 -> 124 MPH",
          "Injector K: 0 -> 515", "Version: \"ABCDE\" -> \"AB\"", item(23) + ": 1 of 64 values change"},
         {}, 16, {}},
        {"an item the box may not hold",
         [](Tune &, BoxContents &box, QString &) { box.ForgetItem(*ItemFromNumber(20)); }, {}, {item(20)}, 21, {}},
        {"nothing known", [](Tune &, BoxContents &box, QString &) { box.Forget(); }, {}, {}, 0, {}},
        {"axes that fall or stand still, a low rev limit, a doubtful file",
         [](Tune &t, BoxContents &box, QString &origin) {
             t.map(MapKey::FUELRPM).SetMapValue(8, 20); // 1000 RPM after 4700
             t.map(MapKey::TIMINGTP).SetMapValue(15, t.map(MapKey::TIMINGTP).MapValue(14));
             t.general().SetRevLimiter(19);
             box.RecordAll(t);
             origin = "short.bin is 1000 bytes long";
         },
         {}, {}, 22,
         {"The tune was loaded from a doubtful file: short.bin is 1000 bytes long",
          item(5) + " does not rise: entry 9 (1000 RPM) is not above entry 8 (4700 RPM).",
          item(10) + " does not rise: entry 16 (178) is not above entry 15 (178).",
          "The rev limiter is 950 RPM, below 1000 RPM."}},
        {"the lowest plausible rev limit",
         [](Tune &t, BoxContents &box, QString &) {
             t.general().SetRevLimiter(20);
             box.RecordAll(t);
         },
         {}, {}, 22, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Tune t = plausibleTune();
        BoxContents box;
        box.RecordAll(t);
        QString origin;
        c.setUp(t, box, origin);
        const WriteReview review = ReviewWrite(t, box, TransferWalk(), origin);
        EXPECT_EQ(std::tuple(review.changes, review.unchanged, review.warnings),
                  std::tuple(c.changes, c.unchanged, c.warnings));
        if (QString(c.name) == "nothing known") {
            EXPECT_TRUE(review.nothingKnown && review.unknown.size() == 22);
            EXPECT_TRUE(review.Text().contains("all 22 items are written whole")) << review.Text().toStdString();
            continue;
        }
        EXPECT_EQ(review.unknown.join('|').toStdString(), c.unknown.join('|').toStdString());
        // Every line reaches the details.
        for (const QStringList *lines : {&review.changes, &review.unknown, &review.warnings})
            for (const QString &line : *lines)
                EXPECT_TRUE(review.Text().contains(line)) << line.toStdString();
    }
}
