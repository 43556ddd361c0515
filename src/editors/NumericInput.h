#pragma once

#include <QString>
#include <optional>

// The one way a number typed into any editor becomes a value. A text is a
// number when it is an optional sign, digits and at most one decimal point,
// with at least one digit and nothing else: no blanks, no exponent, no
// thousands separator. Callers that take only whole non-negative numbers
// allow digits alone.
namespace NumericInput {

// The value of text, or nothing when the text is empty or malformed. With
// allowSignAndPoint false only the digits 0 to 9 are allowed.
std::optional<double> ParseDecimalText(const QString &text, bool allowSignAndPoint);

// The value of text when it parses (as above) and lies within low..high.
std::optional<double> CheckNumericRange(const QString &text, double low, double high,
                                        bool allowSignAndPoint);

// A number as plain decimal text: -5, 1250, 1.24, 316.2.
QString PlainNumberText(double value);

// "Please enter a valid value between <low> and <high>".
QString RangeMessage(double low, double high);

// "Please enter a numeric value".
QString NotNumericMessage();

} // namespace NumericInput
