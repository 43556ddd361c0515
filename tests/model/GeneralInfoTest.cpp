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

// Where each item lives in the box: the layout every transfer relies on.
TEST(TuneItemsTest, ItemAddressesInTheBox)
{
    const int addresses[] = {0x7D00, 0x7100, 0x7000, 0x7200, 0x7B00, 0x7AF0, 0x7C00, 0x7800,
                             0x7B20, 0x7B10, 0x7FB4, 0x7FA5, 0x7F2B, 0x7F91, 0x7F88, 0x79F6,
                             0x6AD1, 0x7E80, 0x7E90, 0x7960, -1,     0x7B60, 0x7A70};
    for (int item = 1; item <= TuneItemCount; ++item)
        EXPECT_EQ(FindTuneItem(item)->address, addresses[item - 1]) << item;
    Tune tune;
    EXPECT_EQ(tune.mapAt(0x7800), &tune.map(MapKey::HOTM));
    EXPECT_EQ(tune.mapAt(0x7801), nullptr);
}

TEST(TuneItemsTest, TwoByteValuesAreBigEndianAndTheVersionIsPadded)
{
    Tune t;
    t.general().SetInjectorK(0x1234);
    t.general().SetVQ(0, 0x0123);
    t.general().SetVQ(63, 0xBEEF);
    t.general().SetVersion("ABC");
    EXPECT_EQ(ItemBytes(t, 13), QByteArray::fromHex("1234"));
    const QByteArray vq = ItemBytes(t, 23);
    ASSERT_EQ(vq.size(), 128);
    EXPECT_EQ(vq.left(2), QByteArray::fromHex("0123"));
    EXPECT_EQ(vq.right(2), QByteArray::fromHex("beef"));
    EXPECT_EQ(ItemBytes(t, 17), QByteArray("ABC\0\0", 5));
    t.general().SetVersion("ABCDEFG");
    EXPECT_EQ(ItemBytes(t, 17), QByteArray("ABCDE"));

    Tune back;
    ASSERT_TRUE(StoreItemBytes(back, 23, vq));
    EXPECT_EQ(back.general().VQ(63), 0xBEEF);
    EXPECT_FALSE(StoreItemBytes(back, 1, QByteArray(255, '\1')));
    EXPECT_FALSE(StoreItemBytes(back, 24, QByteArray(1, '\1')));
    EXPECT_EQ(back.map(MapKey::HOFM).MapValue(0), 0);
}

TEST(TuneItemsTest, EveryTransferredItemRoundTripsThroughAnImage)
{
    Tune t;
    for (const TuneItem &item : TuneItems()) {
        QByteArray bytes(item.size, '\0');
        for (int i = 0; i < item.size; ++i)
            bytes[i] = static_cast<char>((item.number * 7 + i * 3) & 0xFF);
        ASSERT_TRUE(StoreItemBytes(t, item.number, bytes)) << item.number;
    }
    const QByteArray base(ImageFormat::Size, '\xFF');
    const QByteArray image = PatchImage(base, t);
    Tune back;
    TuneFromImage(image, back);
    QByteArray untouched = image;
    for (const TuneItem &item : TuneItems()) {
        if (!IsTransferredItem(item.number))
            continue;
        EXPECT_EQ(ItemBytes(back, item.number), ItemBytes(t, item.number)) << item.name;
        untouched.replace(item.address, item.size, QByteArray(item.size, '\xFF'));
    }
    EXPECT_EQ(untouched, base) << "bytes outside the items stay as they were";
    EXPECT_EQ(ItemBytes(back, AccelEnrichItem), QByteArray(16, '\0')) << "not in the image";
}
