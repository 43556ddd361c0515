#pragma once

#include "daq/CVStack.h"
#include "platform/ErrorRecord.h"

#include <QString>
#include <QStringView>
#include <string_view>

// The value of a scaling formula, and the error record of the evaluation:
// set (value 0) when the formula could not be evaluated.
struct FormulaResult
{
    float value = 0.0f;
    ErrorRecord error;

    bool ok() const { return !error.isSet(); }
};

// Evaluates a scaling formula, a short arithmetic expression in the variable
// V, for one voltage. The formula is converted to postfix order with an
// operator stack (shunting-yard) and the postfix sequence evaluated with an
// operand stack, anew at every call; nothing is kept between calls.
//
// The language: decimal numbers, V (or v), ( ) + - * / ^ and spaces. Two
// precedence levels, * / ^ above + -, every operator left-associative, so
// 2^3^2 is 64 and 2*3^2 is 36. No unary minus: a negative constant is written
// (0-2). A missing closing parenthesis is supplied at the end.
//
// Numbers are single precision. V, every operand and every intermediate
// result pass through 7-significant-digit text (vnt::FormatGeneral) between
// steps, and the result is rounded to 4 decimal places, halves to even.
//
// Any text, however malformed or long, ends with a value or an error record;
// nothing is thrown. One instance serves the whole program (the DAQ inputs at
// every acquisition tick and the setup panel's formula check).
class CVScalingCalculator
{
public:
    // The evaluator's own two errors.
    static constexpr qint32 FormulaError = 65535;
    // An operand that is missing or not a number.
    static constexpr qint32 ConversionError = 13;
    // A result beyond the single-precision range.
    static constexpr qint32 OverflowError = 6;
    // A power without a real value (negative base, fractional exponent).
    static constexpr qint32 InvalidPowerError = 5;
    // A formula longer than MaxFormulaLength.
    static constexpr qint32 TooLongError = 7;

    // Far beyond any real formula (the settings store holds at most 2047
    // characters); bounds the work and memory a pasted text can cost.
    static constexpr int MaxFormulaLength = 65536;

    static QString SyntaxErrorMessage();
    static QString DivideByZeroMessage();

    // The formula's value for V, rounded to 4 decimal places; an empty formula
    // gives V itself, rounded. On failure the value is 0 and the error record
    // holds the first error's number and message.
    FormulaResult ComputeFormula(QStringView formula, float V);

    // The postfix sequence of the last conversion, top (newest) first; for
    // inspection.
    QStringList PostfixSequence() const { return m_output.GetRawStack(); }

private:
    void ConvertToPostfix(QStringView formula, float V);
    float EvaluatePostfix();
    void scan(char16_t c, bool &readingNumber, std::string_view vText);
    bool toSingle(const std::string &text, float &value);
    bool pushResult(double result);
    void raise(qint32 number, const QString &message) { m_error.setIfClear(number, message); }

    static bool IsOperator(std::string_view text);
    static bool HasPrecedence(std::string_view stackOperator, std::string_view newOperator);

    CVStack m_output;
    // Local to one conversion and one evaluation; members only so that their
    // storage is reused from call to call.
    CVStack m_operators;
    CVStack m_operands;
    ErrorRecord m_error;
};
