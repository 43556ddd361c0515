// The editors' rules on their own: typed-number parsing, the grid's
// conversions, limits and item numbers, and the injector sizes.

#include "editors/CellColours.h"
#include "editors/GeneralRules.h"
#include "editors/GridRules.h"
#include "editors/InjectorSizes.h"
#include "editors/NumericInput.h"
#include "model/CVMapInfo.h"
#include "model/Tune.h"

#include <gtest/gtest.h>

using namespace GridRules;

TEST(NumericInput, ParsesOnlyPlainDecimalNumbersWithinRange)
{
    const struct
    {
        const char *text;
        bool signAndPoint;
        std::optional<double> value;
    } cases[] = {
        {"007", false, 7},        {"", false, std::nullopt},    {" 100", false, std::nullopt},
        {"1e3", false, std::nullopt}, {"12.5", false, std::nullopt}, {"12.5", true, 12.5},
        {"-50", false, std::nullopt}, {"+62", true, 62},         {".5", true, 0.5},
        {".", true, std::nullopt},  {"+-5", true, std::nullopt}, {"1,000", true, std::nullopt},
        {"inf", true, std::nullopt}, {"\xd9\xa3", false, std::nullopt}, // an Arabic-Indic digit
    };
    for (const auto &c : cases) {
        const auto got = NumericInput::ParseDecimalText(QString::fromUtf8(c.text), c.signAndPoint);
        EXPECT_EQ(got.has_value(), c.value.has_value()) << c.text;
        if (got && c.value) {
            EXPECT_DOUBLE_EQ(*got, *c.value) << c.text;
        }
    }
    const auto inRange = [](const QString &text, double low, double high, bool signAndPoint) {
        return NumericInput::CheckNumericRange(text, low, high, signAndPoint).has_value();
    };
    EXPECT_EQ(std::tuple(inRange("12750", 50, 12750, false), inRange("12751", 50, 12750, false),
                         inRange("49", 50, 12750, false), inRange("316.2", 1.24, 316.2, true),
                         inRange(QString(400, QLatin1Char('9')), 0, 65535, false)),
              std::tuple(true, false, false, true, false));
}

TEST(GridRules, EntryIndexesAndDisplayValues)
{
    EXPECT_EQ(std::tuple(EntryIndexOf(0, 16), EntryIndexOf(1, 6), EntryIndexOf(16, 16), EntryIndexOf(0, 0)),
              std::tuple(15, 5, 255, -1));
    const struct
    {
        int raw;
        bool timing;
        int shown;
    } cases[] = {{127, false, 127}, {128, false, -64}, {192, false, 0}, {255, false, 63},
                 {127, true, 127},  {128, true, 0},    {173, true, 45}};
    for (const auto &c : cases)
        EXPECT_EQ(DisplayValue(c.raw, c.timing), c.shown) << c.raw << (c.timing ? " timing" : " fuel");
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
        int newRaw;       // when accepted
        double low, high; // when refused
    };
    const Case cases[] = {
        // RPM axis: RPM / 50, ties to even.
        {CellPlace::RpmAxis, false, 10, 1275, true, 26, 0, 0},
        {CellPlace::RpmAxis, false, 10, 125, true, 2, 0, 0},
        {CellPlace::RpmAxis, true, 10, 49, false, 0, 50, 12750},
        {CellPlace::RpmAxis, true, 10, 12751, false, 0, 50, 12750},
        // TP axis.
        {CellPlace::TpAxis, false, 10, 2.5, true, 2, 0, 0},
        {CellPlace::TpAxis, false, 10, 256, false, 0, 0, 255},
        // Timing body cells.
        {CellPlace::Body, true, 10, 3.5, true, 4, 0, 0},
        {CellPlace::Body, true, 10, 46, false, 0, 0, 45},
        {CellPlace::Body, true, 10, 130, true, 130, 0, 0},  // typed 128..173 closes an open cell
        {CellPlace::Body, true, 130, 5, true, 133, 0, 0},   // a closed cell stays closed
        {CellPlace::Body, true, 173, 174, false, 0, 0, 45}, // a step past 45
        {CellPlace::Body, true, 128, 1e300, false, 0, 0, 45},
        // Fuel body cells, open loop.
        {CellPlace::Body, false, 40, 127, true, 127, 0, 0},
        {CellPlace::Body, false, 40, 128, false, 0, 0, 127}, // 0..127 only: no step from open into closed
        // Fuel body cells, closed loop.
        {CellPlace::Body, false, 200, -64, true, 128, 0, 0},
        {CellPlace::Body, false, 200, 63, true, 255, 0, 0},
        {CellPlace::Body, false, 200, 64, false, 0, -64, 63},
        {CellPlace::Body, false, 200, 201, true, 201, 0, 0}, // a raw step
        {CellPlace::Body, false, 128, 127, false, 0, -64, 63},
        {CellPlace::Body, false, 200, -1e300, false, 0, -64, 63},
    };
    // A step commits the raw byte one up or down, 50 RPM on the RPM axis;
    // only a closed-loop fuel cell takes a typed sign as the start of a number.
    EXPECT_EQ(std::pair(StepValue(CellPlace::RpmAxis, 30, 1), StepValue(CellPlace::Body, 173, 1)),
              std::pair(1550.0, 174.0));
    EXPECT_EQ(
        std::tuple(TakesNegativeValues(CellPlace::Body, false, 200), TakesNegativeValues(CellPlace::Body, false, 60),
                   TakesNegativeValues(CellPlace::Body, true, 200), TakesNegativeValues(CellPlace::TpAxis, false, 200)),
        std::tuple(true, false, false, false));
    for (const Case &c : cases) {
        const CellCommit got = CommitCellValue(c.place, c.timing, c.oldRaw, c.value);
        EXPECT_EQ(std::tuple(got.accepted, got.accepted ? got.newRaw : 0, got.low, got.high),
                  std::tuple(c.accepted, c.newRaw, c.low, c.high))
            << c.value << " old " << c.oldRaw;
    }
}

TEST(GridRules, LoopSwitchingItemNumbersAndCellWidth)
{
    const int switched[][3] = {{40, false, 232}, {232, false, 40}, {100, false, 255}, {150, false, 0},
                               {64, false, 255}, {30, true, 158},  {158, true, 30}};
    for (const auto &s : switched)
        EXPECT_EQ(LoopSwitchedRaw(s[0], s[1]), s[2]) << s[0];
    // A fuel cell keeps its shown number between open 0..63 and closed 0..63.
    for (int raw = 0; raw < 64; ++raw)
        EXPECT_EQ(DisplayValue(LoopSwitchedRaw(raw, false), false), raw);

    const struct
    {
        MapKey body;
        int bodyItem, rpmItem, tpItem;
    } items[] = {{MapKey::HOFM, 1, 5, 6}, {MapKey::LOFM, 2, 5, 6}, {MapKey::HOHGFM, 3, 5, 6},
                 {MapKey::LOHGFM, 4, 5, 6}, {MapKey::LOTM, 7, 9, 10}, {MapKey::HOTM, 8, 9, 10}};
    for (const auto &c : items) {
        EXPECT_EQ(std::tuple(CellItem(c.body, CellPlace::Body), CellItem(c.body, CellPlace::RpmAxis),
                             CellItem(c.body, CellPlace::TpAxis), CellItem(c.body, CellPlace::Corner)),
                  std::tuple(ItemFromNumber(c.bodyItem), ItemFromNumber(c.rpmItem), ItemFromNumber(c.tpItem),
                             std::optional<TuneItem>()))
            << int(c.body);
        EXPECT_EQ(CellMap(c.body, CellPlace::Body), c.body);
    }
    EXPECT_FALSE(CellMap(MapKey::FUELRPM, CellPlace::Body)) << "an axis is no body to show";

    // a = R(picture - label - 10); w = R((a - 535) / 17), at least 350.
    EXPECT_EQ(std::pair(CellWidthTwips(9000, 200), CellWidthTwips(100, 200)), std::pair(486, 350));
    // Rows share the height; a figure too wide shrinks, down to 0.6.
    EXPECT_EQ(std::pair(RowHeight(19, 600), RowHeight(19, 200)), std::pair(35, 19));
    for (const auto &[width, room, scale] : {std::tuple(40, 50, 1.0), {50, 40, 0.8}, {100, 10, 0.6}, {0, -5, 1.0}})
        EXPECT_DOUBLE_EQ(TextScaleToFit(width, room), scale) << width << " in " << room;
}

// The value scale: no cell of either scheme looks like the trace, and
// closed loop (grey) stays apart from open loop.
TEST(CellColours, TheTraceStandsOutOfEveryScale)
{
    using namespace CellColours;
    for (Scheme scheme : {Scheme::LoopColours, Scheme::ValueScale})
        for (int raw = 0; raw < 256; ++raw)
            for (bool timing : {false, true})
                ASSERT_NE(Background(scheme, raw, timing), TraceColour(scheme)) << raw;
    EXPECT_NE(Background(Scheme::ValueScale, 60, false), Background(Scheme::ValueScale, 252, false));
}

// Over a map's own range its lowest cell of each kind is one end of the
// scale and its highest the other; a kind the map lacks keeps its full range.
TEST(CellColours, OwnRangeSpreadsTheScaleOverTheMapsValues)
{
    using namespace CellColours;
    CVMapInfo map(0, 255);
    for (int i = 0; i < 256; ++i)
        map.SetMapValue(i, 10 + i % 11); // open loop 10..20
    const ColourScale own = ScaleFor(Scheme::ValueScale, true, map, false);
    const std::pair<int, double> cases[] = {{10, 0.0}, {15, 0.5}, {20, 1.0}, {127, 1.0}, {128, 0.0}};
    for (const auto &[raw, position] : cases)
        EXPECT_DOUBLE_EQ(ValuePosition(own, raw, false), position) << raw;
    EXPECT_EQ(ScaleFor(Scheme::ValueScale, false, map, false), ColourScale{Scheme::ValueScale});
    EXPECT_EQ(ScaleFor(Scheme::LoopColours, true, map, false), ColourScale{});
    const ColourScale timing = ScaleFor(Scheme::ValueScale, true, map, true);
    EXPECT_EQ(std::pair(timing.timingLow, timing.timingHigh), std::pair(10.0, 20.0));
    for (int i = 0; i < 256; ++i)
        map.SetMapValue(i, 15);
    EXPECT_DOUBLE_EQ(ValuePosition(ScaleFor(Scheme::ValueScale, true, map, false), 15, false), 0.5) << "one value";
}

TEST(InjectorSizes, KFromSizeAndBack)
{
    const int single[] = {411, 288, 210, 185, 131};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::tuple(InjectorKFromSize(i, false), InjectorKFromSize(i, true),
                             InjectorSizeFromK(2 * single[i], true), IsCustomInjectorK(2 * single[i])),
                  std::tuple(single[i], 2 * single[i], i, false));
    }
    // R(288.5) = 288; 411.5 is no size's K.
    EXPECT_EQ(std::pair(InjectorKFromSize(5, false), InjectorSizeFromK(577, true)), std::pair(0, 1));
    EXPECT_TRUE(IsCustomInjectorK(823) && IsCustomInjectorK(0));
}

// The general panel's fields: limits, the raw byte a typed number stores
// (ties to even) and what the box then shows; the version's padding.
TEST(GeneralRules, FieldsStoreAndShowInTheirUnits)
{
    using GeneralRules::Field;
    struct Case
    {
        Field field;
        double typed;
        int raw;
        const char *shown;
    };
    const Case cases[] = {
        {Field::RevLimiter, 50, 1, "50"},          {Field::RevLimiter, 12750, 255, "12750"},
        {Field::RevLimiter, 1275, 26, "1300"},     {Field::RevLimiter, 1325, 26, "1300"},
        {Field::VTCRelease, 75, 2, "100"},         {Field::SpeedLimiter, 100, 81, "100.44"},
        {Field::SpeedLimiter, 1.24, 1, "1.24"},    {Field::SpeedLimiter, 316.2, 255, "316.2"},
        {Field::SpeedLimiter, 3.72, 3, "3.72"},
    };
    for (const Case &c : cases) {
        const GeneralRules::FieldRule &rule = GeneralRules::RuleOf(c.field);
        EXPECT_TRUE(c.typed >= rule.low && c.typed <= rule.high) << c.typed;
        EXPECT_EQ(std::pair(GeneralRules::RawFromValue(c.field, c.typed), GeneralRules::ShownText(c.field, c.raw)),
                  std::pair(c.raw, QString(c.shown)))
            << c.typed;
    }
    EXPECT_EQ(NumericInput::RangeMessage(GeneralRules::RuleOf(Field::SpeedLimiter).low,
                                         GeneralRules::RuleOf(Field::SpeedLimiter).high),
              "Please enter a valid value between 1.24 and 316.2");
    EXPECT_EQ(NumericInput::RangeMessage(GeneralRules::RuleOf(Field::RevLimiter).low,
                                         GeneralRules::RuleOf(Field::RevLimiter).high),
              "Please enter a valid value between 50 and 12750");

    EXPECT_EQ((QStringList{GeneralRules::PaddedVersion("ab"), GeneralRules::PaddedVersion("ABCDEFG"),
                           GeneralRules::PaddedVersion(""), GeneralRules::ShownVersion("  ab ")}),
              (QStringList{"   ab", "ABCDE", "     ", "ab"}));
    EXPECT_EQ(GeneralRules::ShownVersion(QString::fromLatin1("\0\0AB ", 5)), QString::fromLatin1("\0\0AB", 4))
        << "only blanks go";
}
