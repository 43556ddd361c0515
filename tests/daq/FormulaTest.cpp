// The scaling-formula evaluator and the number texts it is built on.

#include "daq/CVScalingCalculator.h"
#include "daq/GeneralText.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using vnt::GeneralText;
using vnt::RoundToDecimals;

TEST(GeneralTextTest, SevenSignificantDigitsTrailingZerosDropped)
{
    const struct
    {
        float v;
        const char *text;
    } cases[] = {
        {1.0f / 3.0f, "0.3333333"}, {2.0f, "2"},     {1234567.0f, "1234567"}, {1e7f, "1e+07"},
        {12345678.0f, "1.234568e+07"}, {0.0001f, "0.0001"}, {0.00001f, "1e-05"}, {-0.0f, "0"}, {19.98f, "19.98"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GeneralText(c.v), QString::fromLatin1(c.text)) << c.text;
}

TEST(GeneralTextTest, RoundingTakesHalvesToEvenOnTheDecimalDigits)
{
    const struct
    {
        float v;
        int places;
        float expected;
    } cases[] = {
        {0.00005f, 4, 0.0f},    {0.00015f, 4, 0.0002f}, {0.00025f, 4, 0.0002f}, {1.00015f, 4, 1.0002f},
        {-0.00015f, 4, -0.0002f}, {6.875f, 2, 6.88f},   {6.865f, 2, 6.86f},      {19.985f, 2, 19.98f},
        {0.005f, 2, 0.0f},      {99999.99f, 4, 99999.99f}, {1e12f, 4, 1e12f},  {2.5f, 0, 2.0f},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RoundToDecimals(c.v, c.places), c.expected) << c.v << " to " << c.places;
}

TEST(GeneralTextTest, ParsingAcceptsDecimalNumbersOnly)
{
    float v = 0.0f;
    EXPECT_EQ(vnt::ParseSingle("-1.5e-05", v), vnt::NumberParse::Ok);
    EXPECT_EQ(v, -1.5e-05f);
    for (const char *bad : {"", ".", "1..2", "12.5.3", "inf", "nan", "1e", "0x10", "+", "-"})
        EXPECT_EQ(vnt::ParseSingle(bad, v), vnt::NumberParse::Invalid) << bad;
    EXPECT_EQ(vnt::ParseSingle("1e39", v), vnt::NumberParse::Overflow);
    EXPECT_EQ(vnt::ParseSingle(std::string(400, '9'), v), vnt::NumberParse::Overflow);
    EXPECT_EQ(vnt::ParseSingle("0." + std::string(400, '0') + "1", v), vnt::NumberParse::Ok);
    EXPECT_EQ(v, 0.0f);
}

struct ValueCase
{
    const char *formula;
    float v;
    float expected;
};

class FormulaValues : public ::testing::TestWithParam<ValueCase>
{
};

TEST_P(FormulaValues, Evaluate)
{
    CVScalingCalculator calc;
    const ValueCase &c = GetParam();
    const FormulaResult r = calc.ComputeFormula(QString::fromUtf8(c.formula), c.v);
    EXPECT_TRUE(r.ok()) << c.formula << ": " << r.error.message.toStdString();
    EXPECT_EQ(r.value, c.expected) << c.formula;
}

INSTANTIATE_TEST_SUITE_P(
    Evaluator, FormulaValues,
    ::testing::Values(
        // Empty formula and the variable: V rounded to 4 decimal places.
        ValueCase{"", 1.23456f, 1.2346f}, ValueCase{"v", 2.5f, 2.5f},
        // Spaces anywhere are ignored.
        ValueCase{"1 2 + 1", 0.0f, 13.0f},
        // Two precedence levels, left associativity.
        ValueCase{"2+3*4", 0.0f, 14.0f}, ValueCase{"2*3^2", 0.0f, 36.0f}, ValueCase{"2^3^2", 0.0f, 64.0f},
        ValueCase{"10-4-3", 0.0f, 3.0f}, ValueCase{"100/10/5", 0.0f, 2.0f}, ValueCase{"8/2*4", 0.0f, 16.0f},
        ValueCase{"2+2^3", 0.0f, 10.0f}, ValueCase{"2+8/2", 0.0f, 6.0f}, ValueCase{"2*(3+4)", 0.0f, 14.0f},
        // The missing closing parenthesis is supplied.
        ValueCase{"(V+1", 1.0f, 2.0f}, ValueCase{"((V+1)*2", 1.0f, 4.0f},
        // Results to 4 decimal places, halves to even.
        ValueCase{"1/3", 0.0f, 0.3333f}, ValueCase{"2/3", 0.0f, 0.6667f}, ValueCase{"0.00005", 0.0f, 0.0f},
        ValueCase{"0.00025", 0.0f, 0.0002f},
        // Intermediate results pass through 7-digit text: 100000/3 is
        // 33333.33, times 3 is 99999.98 (not 100000).
        ValueCase{"100000/3*3", 0.0f, 99999.98f}, ValueCase{"1/3*3", 0.0f, 1.0f},
        // Numbers, V's text and powers.
        ValueCase{"2^0.5", 0.0f, 1.4142f}, ValueCase{"V^2", -2.0f, 4.0f}, ValueCase{"1000000*1000000", 0.0f, 1e12f},
        ValueCase{"V*1000", 1.2345678f, 1234.568f}, ValueCase{"0^0", 0.0f, 1.0f},
        // A point that starts a number reads as 0.5.
        ValueCase{"1+.5", 0.0f, 1.5f}, ValueCase{"5.", 0.0f, 5.0f},
        // A typical sensor formula.
        ValueCase{"(V - 0.5) * 125 / 4 + 32", 2.5f, 94.5f}));

struct ErrorCase
{
    const char *formula;
    float v;
    qint32 number;
    const char *message; // nullptr: any non-empty message
};

class FormulaErrors : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(FormulaErrors, FailWithValueZeroAndTheirRecord)
{
    CVScalingCalculator calc;
    const ErrorCase &c = GetParam();
    const FormulaResult r = calc.ComputeFormula(QString::fromUtf8(c.formula), c.v);
    EXPECT_FALSE(r.ok()) << c.formula;
    EXPECT_EQ(r.value, 0.0f) << c.formula;
    EXPECT_EQ(r.error.number, c.number) << c.formula << ": " << r.error.message.toStdString();
    if (c.message)
        EXPECT_EQ(r.error.message, QString::fromUtf8(c.message)) << c.formula;
    else
        EXPECT_FALSE(r.error.message.isEmpty()) << c.formula;
}

constexpr const char *Syntax = "There is a syntax error in the scaling formula.";
constexpr const char *DivideBy0 = "Error in scaling formula.  It results in a divide by 0 error.";

INSTANTIATE_TEST_SUITE_P(
    Evaluator, FormulaErrors,
    ::testing::Values(
        // Characters outside the language.
        ErrorCase{"5E2", 0.0f, 65535, Syntax}, ErrorCase{"V#2", 1.0f, 65535, Syntax},
        ErrorCase{"V\xC3\x97" "2", 1.0f, 65535, Syntax},
        // Two values without an operator between them.
        ErrorCase{"3V", 1.0f, 65535, Syntax}, ErrorCase{"V2", 1.0f, 65535, Syntax},
        ErrorCase{"2(3)", 1.0f, 65535, Syntax}, ErrorCase{"2*(V+1", 1.0f, 65535, Syntax},
        // A closing parenthesis without its opening one.
        ErrorCase{"V)", 1.0f, 65535, Syntax}, ErrorCase{"(V))+1", 1.0f, 65535, Syntax},
        // Division by 0.
        ErrorCase{"V/(1-1)", 1.0f, 65535, DivideBy0}, ErrorCase{"1/V", 0.0f, 65535, DivideBy0},
        // Missing or malformed operands: conversion errors.
        ErrorCase{"-1", 0.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"()", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"12.5.3", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"V.5", 1.0f, 65535, Syntax},
        // Arithmetic errors.
        ErrorCase{"(0-8)^0.5", 0.0f, CVScalingCalculator::InvalidPowerError, nullptr},
        ErrorCase{"10^39", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"1000000000000000000000000000000000000000000000", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"0^(0-1)", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"V*V", 1e30f, CVScalingCalculator::OverflowError, nullptr},
        // The first error is the one reported: the scan's syntax error
        // comes before any evaluation.
        ErrorCase{"V/0+#", 1.0f, 65535, Syntax}));

// A failing call leaves nothing behind; voltages with no value, deep nesting
// and overlong formulas end with a value or an error, never a crash.
TEST(FormulaTest, EdgesOfTheInput)
{
    CVScalingCalculator calc;
    EXPECT_FALSE(calc.ComputeFormula(u"V/0", 1.0f).ok());
    FormulaResult r = calc.ComputeFormula(u"V*2", 1.25f);
    EXPECT_TRUE(r.ok() && r.error.message.isEmpty() && r.value == 2.5f) << "nothing left from the failure";

    for (float v : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()})
        for (const char16_t *f : {u"", u"V", u"V*2"}) {
            r = calc.ComputeFormula(f, v);
            EXPECT_TRUE(!r.ok() && r.value == 0.0f);
        }

    const int depth = 20000;
    r = calc.ComputeFormula(QString(depth, QLatin1Char('(')) + "V+1" + QString(depth, QLatin1Char(')')), 1.0f);
    EXPECT_TRUE(r.ok() && r.value == 2.0f) << r.error.message.toStdString();
    EXPECT_EQ(calc.ComputeFormula(QString(60000, QLatin1Char('9')), 0.0f).error.number,
              CVScalingCalculator::OverflowError);
    r = calc.ComputeFormula(QString(CVScalingCalculator::MaxFormulaLength + 1, QLatin1Char('(')), 1.0f);
    EXPECT_EQ(r.error.number, CVScalingCalculator::TooLongError);
    EXPECT_TRUE(calc.ComputeFormula(QString(CVScalingCalculator::MaxFormulaLength - 1, QLatin1Char('(')) + "V", 1.0f).ok());
}

} // namespace
