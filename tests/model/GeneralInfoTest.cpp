#include "model/CVGeneralInfo.h"
#include "model/ImageFile.h"
#include "model/TuneItems.h"

#include <gtest/gtest.h>

TEST(GeneralInfo, DualFiltrationFollowsInjectorK)
{
    CVGeneralInfo g;
    const std::pair<int, bool> cases[] = {{411, false}, {131, false}, {412, true}, {0, true}};
    for (auto [k, dual] : cases) {
        ASSERT_TRUE(g.SetInjectorK(k));
        EXPECT_EQ(g.DualFiltration(), dual) << k;
    }
}

// Item numbers and maps find their rows; the transfer walks every item in
// the box.
TEST(TuneItemsTest, NumbersAndMapsFindTheirRows)
{
    EXPECT_FALSE(ItemFromNumber(0) || ItemFromNumber(24));
    EXPECT_EQ(TransferWalk().size(), 22u);
    for (MapKey key : {MapKey::HOHGFM, MapKey::TIMINGTP})
        EXPECT_EQ(Info(ItemOfMap(key)).address, CatalogueEntry(key).startOffset);
}

// Every value the table's accessors store lands at its own place in the
// item's bytes, high byte first, and nowhere else; values and indexes the
// item cannot hold are refused.
TEST(TuneItemsTest, EveryValueLandsAtItsPlaceInTheItemsBytes)
{
    for (const TuneItemInfo &info : TuneItems()) {
        Tune t;
        for (int i = 0; i < info.ValueCount(); ++i) {
            const int value = (Number(info.item) * 31 + i * 7 + 0x41) & info.MaxValue();
            ASSERT_TRUE(StoreItemValue(t, info.item, i, value)) << info.name << " " << i;
            EXPECT_EQ(ItemValue(t, info.item, i), value) << info.name << " " << i;
            EXPECT_EQ(ValueInBytes(info.item, ItemBytes(t, info.item), i), value) << info.name << " " << i;
        }
        const QByteArray bytes = ItemBytes(t, info.item);
        ASSERT_EQ(bytes.size(), info.size) << info.name;
        for (int i = 0; i < info.ValueCount(); ++i)
            EXPECT_EQ(ValueInBytes(info.item, bytes, i), ItemValue(t, info.item, i)) << info.name;
        EXPECT_FALSE(StoreItemValue(t, info.item, info.ValueCount(), 1) || StoreItemValue(t, info.item, -1, 1)
                     || StoreItemValue(t, info.item, 0, info.MaxValue() + 1) || StoreItemValue(t, info.item, 0, -1))
            << info.name;
        EXPECT_EQ(ItemValue(t, info.item, info.ValueCount()), std::nullopt) << info.name;
        EXPECT_EQ(ItemBytes(t, info.item), bytes) << info.name << ": a refused value changes nothing";
    }
}

TEST(TuneItemsTest, TwoByteValuesAreBigEndianAndTheVersionIsPadded)
{
    Tune t;
    t.general().SetInjectorK(0x1234);
    t.general().SetVQ(0, 0x0123);
    t.general().SetVQ(63, 0xBEEF);
    t.general().SetVersion("ABC");
    EXPECT_EQ(ItemBytes(t, TuneItem::InjectorK), QByteArray::fromHex("1234"));
    const QByteArray vq = ItemBytes(t, TuneItem::VQ);
    ASSERT_EQ(vq.size(), 128);
    EXPECT_EQ(vq.left(2) + vq.right(2), QByteArray::fromHex("0123beef"));
    EXPECT_EQ(ItemBytes(t, TuneItem::Version), QByteArray("ABC\0\0", 5));
    t.general().SetVersion("ABCDEFG");
    EXPECT_EQ(ItemBytes(t, TuneItem::Version), QByteArray("ABCDE"));

    Tune back;
    ASSERT_TRUE(StoreItemBytes(back, TuneItem::VQ, vq));
    EXPECT_FALSE(StoreItemBytes(back, TuneItem::HOFM, QByteArray(255, '\1')));
    EXPECT_EQ(std::pair(back.general().VQ(63), back.map(MapKey::HOFM).MapValue(0)), std::pair(0xBEEF, 0));
}

TEST(TuneItemsTest, EveryTransferredItemRoundTripsThroughAnImage)
{
    Tune t;
    for (const TuneItemInfo &item : TuneItems()) {
        QByteArray bytes(item.size, '\0');
        for (int i = 0; i < item.size; ++i)
            bytes[i] = static_cast<char>((Number(item.item) * 7 + i * 3) & 0xFF);
        ASSERT_TRUE(StoreItemBytes(t, item.item, bytes)) << item.name;
    }
    const QByteArray base(ImageFormat::Size, '\xFF');
    const QByteArray image = PatchImage(base, t);
    Tune back;
    TuneFromImage(image, back);
    QByteArray untouched = image;
    for (TuneItem item : TransferWalk()) {
        const TuneItemInfo &info = Info(item);
        EXPECT_EQ(ItemBytes(back, item), ItemBytes(t, item)) << info.name;
        untouched.replace(info.address, info.size, QByteArray(info.size, '\xFF'));
    }
    EXPECT_EQ(untouched, base) << "bytes outside the items stay as they were";
    EXPECT_EQ(ItemBytes(back, TuneItem::AccelEnrich), QByteArray(16, '\0')) << "not in the image";
}
