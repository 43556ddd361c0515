#include "model/CVGeneralInfo.h"
#include "model/ImageFile.h"
#include "model/TuneItems.h"

#include <gtest/gtest.h>

TEST(GeneralInfo, DualFiltrationFollowsInjectorKAndValuesOutsideTheirRangeAreRefused)
{
    CVGeneralInfo g;
    const std::pair<int, bool> cases[] = {{411, false}, {131, false}, {412, true}, {0, true}};
    for (auto [k, dual] : cases) {
        ASSERT_TRUE(g.SetInjectorK(k));
        EXPECT_EQ(g.DualFiltration(), dual) << k;
    }
    EXPECT_FALSE(g.SetTTPMin(16, 1));
    EXPECT_EQ(g.TTPMin(16), -1);
    EXPECT_FALSE(g.SetIgnitionDuty(32, 1));
    EXPECT_FALSE(g.SetVQ(64, 1));
    EXPECT_EQ(g.VQ(64), -1);
    EXPECT_FALSE(g.SetVQ(0, 65536));
    EXPECT_TRUE(g.SetVQ(63, 65535));
    EXPECT_FALSE(g.SetRevLimiter(256));
    EXPECT_FALSE(g.SetInjectorK(70000));
    EXPECT_FALSE(g.SetTPLimit(0, 300));
    EXPECT_EQ(g.TPLimit(0), 0);
}

// The item table: where each item lives in the box, how wide its values are
// and how a real-time write reaches it; the layout every transfer relies on.
TEST(TuneItemsTest, TableRows)
{
    using R = RealTimeReach;
    struct Row
    {
        int address, size, width;
        RealTimeReach reach;
    };
    const Row rows[] = {
        {0x7D00, 256, 1, R::EntryAtIndex}, {0x7100, 256, 1, R::EntryAtIndex}, {0x7000, 256, 1, R::EntryAtIndex},
        {0x7200, 256, 1, R::EntryAtIndex}, {0x7B00, 16, 1, R::EntryAtIndex},  {0x7AF0, 16, 1, R::EntryAtIndex},
        {0x7C00, 256, 1, R::EntryAtIndex}, {0x7800, 256, 1, R::EntryAtIndex}, {0x7B20, 16, 1, R::EntryAtIndex},
        {0x7B10, 16, 1, R::EntryAtIndex},  {0x7FB4, 1, 1, R::FixedAddress},   {0x7FA5, 1, 1, R::FixedAddress},
        {0x7F2B, 2, 2, R::Never},          {0x7F91, 1, 1, R::Never},          {0x7F88, 1, 1, R::Never},
        {0x79F6, 1, 1, R::FixedAddress},   {0x6AD1, 5, 1, R::VersionText},    {0x7E80, 16, 1, R::EntryAtIndex},
        {0x7E90, 16, 1, R::EntryAtIndex},  {0x7960, 16, 1, R::EntryAtIndex},  {-1, 16, 1, R::NotInBox},
        {0x7B60, 32, 1, R::EntryAtIndex},  {0x7A70, 128, 2, R::WordAtIndex},
    };
    for (int n = 1; n <= TuneItemCount; ++n) {
        const TuneItemInfo &info = Info(*ItemFromNumber(n));
        const Row &row = rows[n - 1];
        EXPECT_EQ(Number(info.item), n);
        EXPECT_EQ(info.address, row.address) << n;
        EXPECT_EQ(info.size, row.size) << n;
        EXPECT_EQ(info.valueWidth, row.width) << n;
        EXPECT_EQ(info.reach, row.reach) << n;
    }
    EXPECT_FALSE(ItemFromNumber(0));
    EXPECT_FALSE(ItemFromNumber(24));
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
        EXPECT_FALSE(StoreItemValue(t, info.item, info.ValueCount(), 1)) << info.name;
        EXPECT_FALSE(StoreItemValue(t, info.item, -1, 1)) << info.name;
        EXPECT_FALSE(StoreItemValue(t, info.item, 0, info.MaxValue() + 1)) << info.name;
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
    EXPECT_EQ(vq.left(2), QByteArray::fromHex("0123"));
    EXPECT_EQ(vq.right(2), QByteArray::fromHex("beef"));
    EXPECT_EQ(ItemBytes(t, TuneItem::Version), QByteArray("ABC\0\0", 5));
    t.general().SetVersion("ABCDEFG");
    EXPECT_EQ(ItemBytes(t, TuneItem::Version), QByteArray("ABCDE"));

    Tune back;
    ASSERT_TRUE(StoreItemBytes(back, TuneItem::VQ, vq));
    EXPECT_EQ(back.general().VQ(63), 0xBEEF);
    EXPECT_FALSE(StoreItemBytes(back, TuneItem::HOFM, QByteArray(255, '\1')));
    EXPECT_EQ(back.map(MapKey::HOFM).MapValue(0), 0);
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
