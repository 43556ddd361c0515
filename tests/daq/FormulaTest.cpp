// The scaling-formula evaluator and the number texts it is built on.

#include "daq/CVScalingCalculator.h"
#include "daq/CVStack.h"
#include "daq/GeneralText.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

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
        {1.0f / 3.0f, "0.3333333"}, {0.5f, "0.5"},          {2.0f, "2"},         {2.345f, "2.345"},
        {1234567.0f, "1234567"},    {1e7f, "1e+07"},        {12345678.0f, "1.234568e+07"},
        {0.0001f, "0.0001"},        {0.00001f, "1e-05"},    {-0.0f, "0"},        {-2.5f, "-2.5"},
        {19.98f, "19.98"},          {6.88f, "6.88"},        {100.0f, "100"},     {0.0f, "0"},
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
        {0.00005f, 4, 0.0f},       {0.00015f, 4, 0.0002f},   {0.00025f, 4, 0.0002f},  {0.00035f, 4, 0.0004f},
        {1.23456f, 4, 1.2346f},    {1.00005f, 4, 1.0f},      {1.00015f, 4, 1.0002f},  {-0.00015f, 4, -0.0002f},
        {0.9999999f, 4, 1.0f},     {6.875f, 2, 6.88f},       {6.865f, 2, 6.86f},      {19.98f, 2, 19.98f},
        {19.975f, 2, 19.98f},      {19.985f, 2, 19.98f},     {0.004999f, 2, 0.0f},    {0.005f, 2, 0.0f},
        {0.015f, 2, 0.02f},        {99999.99f, 4, 99999.99f}, {1e12f, 4, 1e12f},      {2.5f, 0, 2.0f},
        {3.5f, 0, 4.0f},           {0.0000001f, 4, 0.0f},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RoundToDecimals(c.v, c.places), c.expected) << c.v << " to " << c.places;
}

TEST(GeneralTextTest, ParsingAcceptsDecimalNumbersOnly)
{
    float v = 0.0f;
    EXPECT_EQ(vnt::ParseSingle("12.5", v), vnt::NumberParse::Ok);
    EXPECT_EQ(v, 12.5f);
    EXPECT_EQ(vnt::ParseSingle(".5", v), vnt::NumberParse::Ok);
    EXPECT_EQ(v, 0.5f);
    EXPECT_EQ(vnt::ParseSingle("-1.5e-05", v), vnt::NumberParse::Ok);
    EXPECT_EQ(v, -1.5e-05f);
    for (const char *bad : {"", ".", "1..2", "12.5.3", "inf", "nan", "1e", "0x10", "+", "-"})
        EXPECT_EQ(vnt::ParseSingle(bad, v), vnt::NumberParse::Invalid) << bad;
    EXPECT_EQ(vnt::ParseSingle("1e39", v), vnt::NumberParse::Overflow);
    EXPECT_EQ(vnt::ParseSingle(std::string(400, '9'), v), vnt::NumberParse::Overflow);
    EXPECT_EQ(vnt::ParseSingle("0." + std::string(400, '0') + "1", v), vnt::NumberParse::Ok);
    EXPECT_EQ(v, 0.0f);
}

TEST(CVStackTest, TopIsPositionOneAndEmptyStackGivesEmptyText)
{
    CVStack s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.Pop(), "");
    EXPECT_EQ(s.Top(), "");
    s.AddToTop("x"); // nothing on an empty stack
    EXPECT_TRUE(s.IsEmpty());
    s.Push("12");
    s.AddToTop("5");
    s.Push("a");
    EXPECT_EQ(s.GetRawStack(), (QStringList{"a", "125"}));
    EXPECT_EQ(s.Top(), "a");
    EXPECT_EQ(s.Pop(), "a");
    EXPECT_EQ(s.Pop(), "125");
    EXPECT_TRUE(s.IsEmpty());
    s.Push("1");
    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
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
    EXPECT_EQ(r.error.number, 0);
    EXPECT_EQ(r.value, c.expected) << c.formula;
}

INSTANTIATE_TEST_SUITE_P(
    Evaluator, FormulaValues,
    ::testing::Values(
        // Empty formula and the variable: V rounded to 4 decimal places.
        ValueCase{"", 1.23456f, 1.2346f}, ValueCase{"V", 1.23456f, 1.2346f}, ValueCase{"v", 2.5f, 2.5f},
        // Spaces anywhere are ignored.
        ValueCase{" V * 2 ", 1.5f, 3.0f}, ValueCase{"1 2 + 1", 0.0f, 13.0f},
        // Two precedence levels, left associativity.
        ValueCase{"2+3*4", 0.0f, 14.0f}, ValueCase{"2*3^2", 0.0f, 36.0f}, ValueCase{"2^3^2", 0.0f, 64.0f},
        ValueCase{"10-4-3", 0.0f, 3.0f}, ValueCase{"100/10/5", 0.0f, 2.0f}, ValueCase{"8/2*4", 0.0f, 16.0f},
        ValueCase{"2-3+4", 0.0f, 3.0f}, ValueCase{"2*3+4", 0.0f, 10.0f}, ValueCase{"2^3*2", 0.0f, 16.0f},
        ValueCase{"2+2^3", 0.0f, 10.0f}, ValueCase{"(V-0.5)*2", 1.5f, 2.0f}, ValueCase{"2*(3+4)", 0.0f, 14.0f},
        // The missing closing parenthesis is supplied.
        ValueCase{"(V+1", 1.0f, 2.0f}, ValueCase{"((V+1)*2", 1.0f, 4.0f},
        // Results to 4 decimal places, halves to even.
        ValueCase{"1/3", 0.0f, 0.3333f}, ValueCase{"2/3", 0.0f, 0.6667f}, ValueCase{"0.00005", 0.0f, 0.0f},
        ValueCase{"0.00015", 0.0f, 0.0002f}, ValueCase{"0.00025", 0.0f, 0.0002f},
        ValueCase{"0-0.00015", 0.0f, -0.0002f},
        // Intermediate results pass through 7-digit text: 100000/3 is
        // 33333.33, times 3 is 99999.98 (not 100000).
        ValueCase{"100000/3*3", 0.0f, 99999.98f}, ValueCase{"1/3*3", 0.0f, 1.0f},
        // Numbers, V's text and powers.
        ValueCase{"12.5+0.25", 0.0f, 12.75f}, ValueCase{"2^0.5", 0.0f, 1.4142f}, ValueCase{"V^2", -2.0f, 4.0f},
        ValueCase{"V*V", -1.5f, 2.25f}, ValueCase{"(0-2)*3", 0.0f, -6.0f}, ValueCase{"1000000*1000000", 0.0f, 1e12f},
        ValueCase{"V*1000", 1.2345678f, 1234.568f}, ValueCase{"0^0", 0.0f, 1.0f},
        // A point that starts a number reads as 0.5.
        ValueCase{".5+1", 0.0f, 1.5f}, ValueCase{"1+.5", 0.0f, 1.5f}, ValueCase{"5.", 0.0f, 5.0f},
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
        ErrorCase{"V\t+1", 1.0f, 65535, Syntax}, ErrorCase{"V\xC3\x97" "2", 1.0f, 65535, Syntax},
        ErrorCase{"x+1", 1.0f, 65535, Syntax},
        // Two values without an operator between them.
        ErrorCase{"3V", 1.0f, 65535, Syntax}, ErrorCase{"V2", 1.0f, 65535, Syntax},
        ErrorCase{"2(3)", 1.0f, 65535, Syntax}, ErrorCase{"2*(V+1", 1.0f, 65535, Syntax},
        // A closing parenthesis without its opening one.
        ErrorCase{"V)", 1.0f, 65535, Syntax}, ErrorCase{"V))", 1.0f, 65535, Syntax},
        ErrorCase{"(V))+1", 1.0f, 65535, Syntax},
        // Division by 0.
        ErrorCase{"V/0", 1.0f, 65535, DivideBy0}, ErrorCase{"V/(1-1)", 1.0f, 65535, DivideBy0},
        ErrorCase{"1/V", 0.0f, 65535, DivideBy0},
        // Missing or malformed operands: conversion errors.
        ErrorCase{"-1", 0.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"V+", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"()", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"1..2", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"12.5.3", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{".", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"   ", 1.0f, CVScalingCalculator::ConversionError, nullptr},
        ErrorCase{"V.5", 1.0f, 65535, Syntax},
        // Arithmetic errors.
        ErrorCase{"(0-8)^0.5", 0.0f, CVScalingCalculator::InvalidPowerError, nullptr},
        ErrorCase{"10^39", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"100000000000000000000*100000000000000000000", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"1000000000000000000000000000000000000000000000", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"0^(0-1)", 0.0f, CVScalingCalculator::OverflowError, nullptr},
        ErrorCase{"V*V", 1e30f, CVScalingCalculator::OverflowError, nullptr},
        // The first error is the one reported: the scan's syntax error
        // comes before any evaluation.
        ErrorCase{"V/0+#", 1.0f, 65535, Syntax}));

TEST(FormulaTest, AGoodCallAfterAFailingOneLeavesNoError)
{
    CVScalingCalculator calc;
    EXPECT_FALSE(calc.ComputeFormula(u"V/0", 1.0f).ok());
    EXPECT_FALSE(calc.ComputeFormula(u"5E2", 1.0f).ok());
    const FormulaResult r = calc.ComputeFormula(u"V*2", 1.25f);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.error.number, 0);
    EXPECT_TRUE(r.error.message.isEmpty());
    EXPECT_EQ(r.value, 2.5f);
}

TEST(FormulaTest, NonFiniteVoltageIsAnErrorNotANumber)
{
    CVScalingCalculator calc;
    for (float v : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        for (const char16_t *f : {u"", u"V", u"V*2"}) {
            const FormulaResult r = calc.ComputeFormula(f, v);
            EXPECT_FALSE(r.ok());
            EXPECT_EQ(r.value, 0.0f);
        }
    }
}

TEST(FormulaTest, LongAndDeeplyNestedFormulasStillEvaluate)
{
    CVScalingCalculator calc;
    const int depth = 20000;
    const QString nested = QString(depth, QLatin1Char('(')) + "V+1" + QString(depth, QLatin1Char(')'));
    FormulaResult r = calc.ComputeFormula(nested, 1.0f);
    EXPECT_TRUE(r.ok()) << r.error.message.toStdString();
    EXPECT_EQ(r.value, 2.0f);

    QString sum = "0";
    for (int i = 0; i < 5000; ++i)
        sum += "+1";
    r = calc.ComputeFormula(sum, 0.0f);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.value, 5000.0f);

    // Unclosed to any depth: closed at the end.
    r = calc.ComputeFormula(QString(depth, QLatin1Char('(')) + "V", 3.0f);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.value, 3.0f);

    const QString digits(60000, QLatin1Char('9'));
    r = calc.ComputeFormula(digits, 0.0f);
    EXPECT_EQ(r.error.number, CVScalingCalculator::OverflowError);
}

TEST(FormulaTest, TooLongAFormulaIsRefusedNotWorkedThrough)
{
    CVScalingCalculator calc;
    const FormulaResult r = calc.ComputeFormula(QString(CVScalingCalculator::MaxFormulaLength + 1, QLatin1Char('(')), 1.0f);
    EXPECT_EQ(r.error.number, CVScalingCalculator::TooLongError);
    EXPECT_EQ(r.value, 0.0f);
    EXPECT_TRUE(calc.ComputeFormula(QString(CVScalingCalculator::MaxFormulaLength - 1, QLatin1Char('(')) + "V", 1.0f).ok());
}

// ---- randomized -------------------------------------------------------------

// An exact reference for well-formed integer formulas: the same two levels
// and left associativity, worked out in integers. nullopt when a step
// leaves the range where single precision and 7-digit text are exact.
class Reference
{
public:
    explicit Reference(const std::string &text) : m_text(text) {}
    std::optional<long long> value()
    {
        auto v = expr();
        return m_pos == m_text.size() ? v : std::nullopt;
    }

private:
    static bool exact(long long v) { return v > -1000000 && v < 1000000; }
    std::optional<long long> expr()
    {
        auto a = term();
        while (a && m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
            const char op = m_text[m_pos++];
            auto b = term();
            if (!b)
                return std::nullopt;
            a = op == '+' ? *a + *b : *a - *b;
            if (!exact(*a))
                return std::nullopt;
        }
        return a;
    }
    std::optional<long long> term()
    {
        auto a = factor();
        while (a && m_pos < m_text.size() && (m_text[m_pos] == '*' || m_text[m_pos] == '^')) {
            const char op = m_text[m_pos++];
            auto b = factor();
            if (!b)
                return std::nullopt;
            if (op == '*') {
                a = *a * *b;
            } else {
                if (*b < 0 || *b > 6)
                    return std::nullopt;
                long long p = 1;
                for (long long i = 0; i < *b; ++i)
                    p *= *a;
                a = p;
            }
            if (!exact(*a))
                return std::nullopt;
        }
        return a;
    }
    std::optional<long long> factor()
    {
        if (m_pos < m_text.size() && m_text[m_pos] == '(') {
            ++m_pos;
            auto v = expr();
            if (m_pos >= m_text.size() || m_text[m_pos] != ')')
                return std::nullopt;
            ++m_pos;
            return v;
        }
        long long v = 0;
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            v = v * 10 + (m_text[m_pos++] - '0');
        if (m_pos == start)
            return std::nullopt;
        return v;
    }

    std::string m_text;
    std::size_t m_pos = 0;
};

std::string randomExpression(QRandomGenerator &rng, int depth)
{
    if (depth <= 0 || rng.bounded(3) == 0)
        return std::to_string(rng.bounded(20));
    static const char ops[] = {'+', '-', '*', '^'};
    const std::string a = randomExpression(rng, depth - 1);
    const char op = ops[rng.bounded(4)];
    const std::string b = op == '^' ? std::to_string(rng.bounded(4)) : randomExpression(rng, depth - 1);
    std::string s = a + op + b;
    if (rng.bounded(2) == 0)
        s = "(" + s + ")";
    return s;
}

TEST(FormulaRandomTest, WellFormedIntegerFormulasMatchTheExactReference)
{
    QRandomGenerator rng(20261206);
    CVScalingCalculator calc;
    int compared = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string f = randomExpression(rng, 4);
        const auto expected = Reference(f).value();
        const FormulaResult r = calc.ComputeFormula(QString::fromStdString(f), 0.0f);
        if (!expected)
            continue;
        ASSERT_TRUE(r.ok()) << f << ": " << r.error.message.toStdString();
        ASSERT_EQ(r.value, static_cast<float>(*expected)) << f;
        ++compared;
    }
    EXPECT_GT(compared, 2000);
}

TEST(FormulaRandomTest, AnyTextEndsWithAValueOrAnError)
{
    QRandomGenerator rng(4242);
    CVScalingCalculator calc;
    static const char alphabet[] = "0123456789..VvVv(())++--**//^^   E#\t";
    const std::vector<QString> seeds = {"(V-0.5)*125/4+32", "V^2/3-(V*2.5)", "((V+1)*(V-1))/2", "2^3^2-10/4",
                                        "V/0", "1.5*V+0.25", ".5*V"};
    const float voltages[] = {0.0f,
                              -0.0f,
                              1.5f,
                              -2.25f,
                              4.9999f,
                              1e30f,
                              -1e30f,
                              1e-40f,
                              std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::lowest(),
                              std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()};
    int values = 0;
    int errors = 0;
    for (int i = 0; i < 6000; ++i) {
        QString f;
        if (i % 2 == 0) {
            // Generated from the alphabet.
            const int length = static_cast<int>(rng.bounded(64));
            for (int k = 0; k < length; ++k)
                f += QLatin1Char(alphabet[rng.bounded(static_cast<int>(sizeof alphabet - 1))]);
        } else {
            // A sound formula, mutated a few times.
            f = seeds[rng.bounded(static_cast<int>(seeds.size()))];
            const int mutations = 1 + static_cast<int>(rng.bounded(4));
            for (int m = 0; m < mutations; ++m) {
                const int at = f.isEmpty() ? 0 : static_cast<int>(rng.bounded(f.size() + 1));
                const QChar c = QLatin1Char(alphabet[rng.bounded(static_cast<int>(sizeof alphabet - 1))]);
                switch (rng.bounded(3)) {
                case 0:
                    f.insert(at, c);
                    break;
                case 1:
                    if (at < f.size())
                        f.remove(at, 1);
                    break;
                default:
                    if (at < f.size())
                        f[at] = c;
                    break;
                }
            }
        }
        const float v = voltages[rng.bounded(static_cast<int>(std::size(voltages)))];
        const FormulaResult r = calc.ComputeFormula(f, v);
        if (r.ok()) {
            ASSERT_TRUE(std::isfinite(r.value)) << f.toStdString();
            ASSERT_EQ(r.error.number, 0);
            ++values;
        } else {
            ASSERT_NE(r.error.number, 0) << f.toStdString();
            ASSERT_FALSE(r.error.message.isEmpty()) << f.toStdString();
            ASSERT_EQ(r.value, 0.0f) << f.toStdString();
            ++errors;
        }
    }
    // Both outcomes were exercised.
    EXPECT_GT(values, 300);
    EXPECT_GT(errors, 300);
}

} // namespace
