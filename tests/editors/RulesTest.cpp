// The editors' rules on their own: typed-number parsing, the grid's
// conversions, limits, item numbers and cell width, and the injector sizes.

#include "editors/GridRules.h"
#include "editors/InjectorSizes.h"
#include "editors/NumericInput.h"
#include "model/Tune.h"

#include <gtest/gtest.h>

#include <limits>

using namespace GridRules;

TEST(NumericInput, ParsesOnlyPlainDecimalNumbers)
{
    struct Case
    {
        const char *text;
        bool signAndPoint;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1275", false, 1275},
        {"007", false, 7},
        {"0", false, 0},
        {"", false, std::nullopt},
        {" 100", false, std::nullopt},
        {"100 ", true, std::nullopt},
        {"1e3", false, std::nullopt},
        {"12.5", false, std::nullopt},
        {"12.5", true, 12.5},
        {"-50", false, std::nullopt},
        {"-50", true, -50},
        {"+62", true, 62},
        {".5", true, 0.5},
        {"5.", true, 5},
        {".", true, std::nullopt},
        {"+-5", true, std::nullopt},
        {"1.2.3", true, std::nullopt},
        {"0x10", true, std::nullopt},
        {"1,000", true, std::nullopt},
        {"inf", true, std::nullopt},
        {"\xd9\xa3", false, std::nullopt}, // an Arabic-Indic digit is not a 0..9 digit
    };
    for (const Case &c : cases) {
        const auto got = NumericInput::ParseDecimalText(QString::fromUtf8(c.text), c.signAndPoint);
        EXPECT_EQ(got.has_value(), c.value.has_value()) << c.text;
        if (got && c.value) {
            EXPECT_DOUBLE_EQ(*got, *c.value) << c.text;
        }
    }
}

TEST(NumericInput, RangeCheckAndItsMessage)
{
    using NumericInput::CheckNumericRange;
    EXPECT_TRUE(CheckNumericRange("12750", 50, 12750, false));
    EXPECT_FALSE(CheckNumericRange("12751", 50, 12750, false));
    EXPECT_FALSE(CheckNumericRange("49", 50, 12750, false));
    EXPECT_FALSE(CheckNumericRange("1.2", 1.24, 316.2, true));
    EXPECT_TRUE(CheckNumericRange("316.2", 1.24, 316.2, true));
    EXPECT_FALSE(CheckNumericRange("316.21", 1.24, 316.2, true));
    EXPECT_FALSE(CheckNumericRange(QString(400, QLatin1Char('9')), 0, 65535, false));

    EXPECT_EQ(NumericInput::RangeMessage(50, 12750), "Please enter a valid value between 50 and 12750");
    EXPECT_EQ(NumericInput::RangeMessage(1.24, 316.2), "Please enter a valid value between 1.24 and 316.2");
    EXPECT_EQ(NumericInput::RangeMessage(-64, 63), "Please enter a valid value between -64 and 63");
    EXPECT_EQ(NumericInput::PlainNumberText(81 * 1.24), "100.44");
    EXPECT_EQ(NumericInput::PlainNumberText(51 * 1.24), "63.24");
    EXPECT_EQ(NumericInput::PlainNumberText(255 * 1.24), "316.2");
}

TEST(GridRules, PlacesAndEntryIndexes)
{
    EXPECT_EQ(PlaceOf(0, 0), CellPlace::Corner);
    EXPECT_EQ(PlaceOf(5, 0), CellPlace::RpmAxis);
    EXPECT_EQ(PlaceOf(0, 5), CellPlace::TpAxis);
    EXPECT_EQ(PlaceOf(16, 16), CellPlace::Body);
    EXPECT_EQ(PlaceOf(17, 1), CellPlace::Outside);
    EXPECT_EQ(PlaceOf(-1, 1), CellPlace::Outside);
    EXPECT_EQ(EntryIndexOf(5, 0), 4);
    EXPECT_EQ(EntryIndexOf(0, 16), 15);
    EXPECT_EQ(EntryIndexOf(1, 1), 0);
    EXPECT_EQ(EntryIndexOf(1, 6), 5);
    EXPECT_EQ(EntryIndexOf(16, 16), 255);
    EXPECT_EQ(EntryIndexOf(0, 0), -1);
}

TEST(GridRules, DisplayValuesOfFuelAndTimingCells)
{
    const struct
    {
        int raw;
        bool timing;
        int shown;
    } cases[] = {
        {0, false, 0}, {127, false, 127}, {128, false, -64}, {192, false, 0}, {200, false, 8}, {255, false, 63},
        {150, false, -42}, {0, true, 0}, {127, true, 127}, {128, true, 0}, {130, true, 2}, {173, true, 45},
        {255, true, 127},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DisplayValue(c.raw, c.timing), c.shown) << c.raw << (c.timing ? " timing" : " fuel");
    EXPECT_EQ(CellText(CellPlace::RpmAxis, 26, false), "1300");
    EXPECT_EQ(CellText(CellPlace::TpAxis, 26, false), "26");
    EXPECT_EQ(CellText(CellPlace::Body, 150, false), "-42");
}

TEST(GridRules, CommittedValuesAndLimits)
{
    struct Case
    {
        CellPlace place;
        bool timing;
        int oldRaw;
        double value;
        bool accepted;
        int newRaw;      // when accepted
        double low, high; // when refused
    };
    const Case cases[] = {
        // RPM axis: RPM / 50, ties to even.
        {CellPlace::RpmAxis, false, 10, 1275, true, 26, 0, 0},
        {CellPlace::RpmAxis, false, 10, 12750, true, 255, 0, 0},
        {CellPlace::RpmAxis, false, 10, 50, true, 1, 0, 0},
        {CellPlace::RpmAxis, false, 10, 75, true, 2, 0, 0},
        {CellPlace::RpmAxis, false, 10, 125, true, 2, 0, 0},
        {CellPlace::RpmAxis, true, 10, 49, false, 0, 50, 12750},
        {CellPlace::RpmAxis, true, 10, 12751, false, 0, 50, 12750},
        // TP axis.
        {CellPlace::TpAxis, false, 10, 255, true, 255, 0, 0},
        {CellPlace::TpAxis, false, 10, 2.5, true, 2, 0, 0},
        {CellPlace::TpAxis, false, 10, -1, false, 0, 0, 255},
        {CellPlace::TpAxis, false, 10, 256, false, 0, 0, 255},
        // Timing body cells.
        {CellPlace::Body, true, 10, 2.5, true, 2, 0, 0},
        {CellPlace::Body, true, 10, 3.5, true, 4, 0, 0},
        {CellPlace::Body, true, 10, 45, true, 45, 0, 0},
        {CellPlace::Body, true, 10, 46, false, 0, 0, 45},
        {CellPlace::Body, true, 10, 130, true, 130, 0, 0},  // typed 128..173 closes an open cell
        {CellPlace::Body, true, 130, 5, true, 133, 0, 0},   // a closed cell stays closed
        {CellPlace::Body, true, 130, 131, true, 131, 0, 0},
        {CellPlace::Body, true, 173, 174, false, 0, 0, 45},
        {CellPlace::Body, true, 128, 127, false, 0, 0, 45},
        {CellPlace::Body, true, 128, -1, false, 0, 0, 45},
        {CellPlace::Body, true, 128, 1e300, false, 0, 0, 45},
        // Fuel body cells, open loop.
        {CellPlace::Body, false, 40, 127, true, 127, 0, 0},
        {CellPlace::Body, false, 40, 0, true, 0, 0, 0},
        {CellPlace::Body, false, 40, 128, false, 0, 0, 127},
        {CellPlace::Body, false, 40, -1, false, 0, 0, 127},
        // Fuel body cells, closed loop.
        {CellPlace::Body, false, 200, -64, true, 128, 0, 0},
        {CellPlace::Body, false, 200, 63, true, 255, 0, 0},
        {CellPlace::Body, false, 200, 64, false, 0, -64, 63},
        {CellPlace::Body, false, 200, -65, false, 0, -64, 63},
        {CellPlace::Body, false, 200, 201, true, 201, 0, 0}, // a raw step
        {CellPlace::Body, false, 255, 256, false, 0, -64, 63},
        {CellPlace::Body, false, 128, 127, false, 0, -64, 63},
        {CellPlace::Body, false, 200, -1e300, false, 0, -64, 63},
    };
    for (const Case &c : cases) {
        const CellCommit got = CommitCellValue(c.place, c.timing, c.oldRaw, c.value);
        EXPECT_EQ(got.accepted, c.accepted) << c.value << " old " << c.oldRaw;
        if (c.accepted) {
            EXPECT_EQ(got.newRaw, c.newRaw) << c.value << " old " << c.oldRaw;
        } else {
            EXPECT_EQ(got.low, c.low) << c.value;
            EXPECT_EQ(got.high, c.high) << c.value;
        }
    }
}

TEST(GridRules, LoopSwitching)
{
    EXPECT_EQ(LoopSwitchedRaw(40, false), 232);
    EXPECT_EQ(LoopSwitchedRaw(232, false), 40);
    EXPECT_EQ(LoopSwitchedRaw(100, false), 255);
    EXPECT_EQ(LoopSwitchedRaw(150, false), 0);
    EXPECT_EQ(LoopSwitchedRaw(63, false), 255);
    EXPECT_EQ(LoopSwitchedRaw(64, false), 255);
    EXPECT_EQ(LoopSwitchedRaw(192, false), 0);
    EXPECT_EQ(LoopSwitchedRaw(30, true), 158);
    EXPECT_EQ(LoopSwitchedRaw(158, true), 30);
    EXPECT_EQ(LoopCaption(40), "Switch to closed loop");
    EXPECT_EQ(LoopCaption(232), "Switch to open loop");
    // A fuel cell keeps its shown number between open 0..63 and closed 0..63.
    for (int raw = 0; raw < 64; ++raw)
        EXPECT_EQ(DisplayValue(LoopSwitchedRaw(raw, false), false), raw);
}

TEST(GridRules, CellsMapsAndItemNumbersByBodyMap)
{
    // The body map on show, its item, and the items of its RPM and TP axes.
    const struct
    {
        MapKey body;
        int bodyItem;
        MapKey rpm;
        int rpmItem;
        MapKey tp;
        int tpItem;
    } cases[] = {
        {MapKey::HOFM, 1, MapKey::FUELRPM, 5, MapKey::FUELTP, 6},
        {MapKey::HOHGFM, 3, MapKey::FUELRPM, 5, MapKey::FUELTP, 6},
        {MapKey::LOFM, 2, MapKey::FUELRPM, 5, MapKey::FUELTP, 6},
        {MapKey::LOHGFM, 4, MapKey::FUELRPM, 5, MapKey::FUELTP, 6},
        {MapKey::HOTM, 8, MapKey::TIMINGRPM, 9, MapKey::TIMINGTP, 10},
        {MapKey::LOTM, 7, MapKey::TIMINGRPM, 9, MapKey::TIMINGTP, 10},
    };
    for (const auto &c : cases) {
        const int key = static_cast<int>(c.body);
        EXPECT_EQ(CellMap(c.body, CellPlace::Body), c.body) << key;
        EXPECT_EQ(CellMap(c.body, CellPlace::RpmAxis), c.rpm) << key;
        EXPECT_EQ(CellMap(c.body, CellPlace::TpAxis), c.tp) << key;
        EXPECT_FALSE(CellMap(c.body, CellPlace::Corner)) << key;
        EXPECT_EQ(ItemNumber(c.body, CellPlace::Body), c.bodyItem) << key;
        EXPECT_EQ(ItemNumber(c.body, CellPlace::RpmAxis), c.rpmItem) << key;
        EXPECT_EQ(ItemNumber(c.body, CellPlace::TpAxis), c.tpItem) << key;
        EXPECT_EQ(ItemNumber(c.body, CellPlace::Corner), 0) << key;
    }
    // An axis is no body to show.
    EXPECT_FALSE(CellMap(MapKey::FUELRPM, CellPlace::Body));
    EXPECT_EQ(ItemNumber(MapKey::TIMINGTP, CellPlace::Body), 0);
}

TEST(GridRules, CellWidthRule)
{
    // a = R(picture - label - 10); w = R((a - 535) / 17), at least 350.
    EXPECT_EQ(CellWidthTwips(9000, 200), 486);   // (8790 - 535) / 17 = 485.59
    EXPECT_EQ(CellWidthTwips(10000, 0), 556);    // (9990 - 535) / 17 = 556.18
    EXPECT_EQ(CellWidthTwips(9000.4, 200), 486); // a is rounded first
    EXPECT_EQ(CellWidthTwips(6000, 200), 350);   // 309.8 is raised to 350
    EXPECT_EQ(CellWidthTwips(100, 200), 350);    // a negative a counts as 0
    EXPECT_EQ(CellWidthTwips(0, 0), 350);
}

TEST(InjectorSizes, KFromSizeAndBack)
{
    const int single[] = {411, 288, 210, 185, 131};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(InjectorKFromSize(i, false), single[i]);
        EXPECT_EQ(InjectorKFromSize(i, true), 2 * single[i]);
        EXPECT_EQ(InjectorSizeFromK(single[i], false), i);
        EXPECT_EQ(InjectorSizeFromK(2 * single[i], true), i);
        EXPECT_FALSE(IsCustomInjectorK(single[i]));
        EXPECT_FALSE(IsCustomInjectorK(2 * single[i]));
    }
    EXPECT_EQ(InjectorKFromSize(5, false), 0);
    EXPECT_EQ(InjectorKFromSize(-1, true), 0);
    EXPECT_EQ(InjectorSizeFromK(822, true), 0);
    EXPECT_EQ(InjectorSizeFromK(300, true), 0);
    EXPECT_EQ(InjectorSizeFromK(577, true), 1);   // R(288.5) = 288
    EXPECT_EQ(InjectorSizeFromK(420, false), 0);  // not halved without the flag
    EXPECT_TRUE(IsCustomInjectorK(300));
    EXPECT_TRUE(IsCustomInjectorK(823));          // 411.5 is no size's K
    EXPECT_TRUE(IsCustomInjectorK(0));
    EXPECT_TRUE(IsCustomInjectorK(65535));
}
