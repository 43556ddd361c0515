#include "daq/CVScalingCalculator.h"

#include "daq/GeneralText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// An entry quoted in a message is cut to this many characters.
constexpr int QuotedEntryLength = 24;

QString quoted(const std::string &text)
{
    const std::size_t shown = std::min<std::size_t>(text.size(), QuotedEntryLength);
    QString q = QString::fromLatin1(text.data(), static_cast<qsizetype>(shown));
    if (text.size() > static_cast<std::size_t>(QuotedEntryLength))
        q += QStringLiteral("...");
    return q;
}

} // namespace

QString CVScalingCalculator::SyntaxErrorMessage()
{
    return QStringLiteral("There is a syntax error in the scaling formula.");
}

QString CVScalingCalculator::DivideByZeroMessage()
{
    return QStringLiteral("Error in scaling formula.  It results in a divide by 0 error.");
}

bool CVScalingCalculator::IsOperator(std::string_view text)
{
    return text.size() == 1
        && (text[0] == '-' || text[0] == '+' || text[0] == '*' || text[0] == '/' || text[0] == '^');
}

bool CVScalingCalculator::HasPrecedence(std::string_view stackOperator, std::string_view newOperator)
{
    const bool lowOnStack = stackOperator == "+" || stackOperator == "-";
    const bool highIncoming = newOperator == "*" || newOperator == "/" || newOperator == "^";
    return !(lowOnStack && highIncoming);
}

FormulaResult CVScalingCalculator::ComputeFormula(QStringView formula, float V)
{
    m_error.clear();
    m_output.Clear();
    FormulaResult result;
    if (formula.size() > MaxFormulaLength) {
        raise(TooLongError, QStringLiteral("The scaling formula is too long (more than %1 characters).")
                                .arg(MaxFormulaLength));
    } else if (!std::isfinite(V)) {
        raise(ConversionError, QStringLiteral("The voltage given to the scaling formula is not a number."));
    } else if (formula.isEmpty()) {
        result.value = vnt::RoundToDecimals(V, 4);
    } else {
        ConvertToPostfix(formula, V);
        if (!m_error.isSet())
            result.value = EvaluatePostfix();
    }
    if (m_error.isSet()) {
        result.value = 0.0f;
        result.error = m_error;
    }
    return result;
}

void CVScalingCalculator::ConvertToPostfix(QStringView formula, float V)
{
    char vBuffer[vnt::GeneralTextCapacity];
    const std::string_view vText(vBuffer, static_cast<std::size_t>(vnt::FormatGeneral(V, vBuffer)));

    m_operators.Clear();
    m_operators.Push(std::string_view("("));
    bool readingNumber = false;
    for (const QChar ch : formula) {
        if (ch.unicode() == u' ')
            continue;
        scan(ch.unicode(), readingNumber, vText);
    }
    scan(u')', readingNumber, vText);
    m_operators.Clear();
}

void CVScalingCalculator::scan(char16_t c, bool &readingNumber, std::string_view vText)
{
    if (c >= u'0' && c <= u'9') {
        const char digit[1] = {static_cast<char>(c)};
        if (readingNumber)
            m_output.AddToTop(std::string_view(digit, 1));
        else
            m_output.Push(std::string_view(digit, 1));
        readingNumber = true;
        return;
    }
    switch (c) {
    case u'(':
        m_operators.Push(std::string_view("("));
        readingNumber = false;
        return;
    case u')':
        while (!m_operators.IsEmpty() && m_operators.Top() != "(")
            m_output.Push(m_operators.Pop());
        if (m_operators.IsEmpty())
            raise(FormulaError, SyntaxErrorMessage()); // no opening parenthesis left to match
        else
            m_operators.Pop();
        readingNumber = false;
        return;
    case u'-':
    case u'+':
    case u'*':
    case u'/':
    case u'^': {
        const char op[1] = {static_cast<char>(c)};
        const std::string_view text(op, 1);
        while (IsOperator(m_operators.Top()) && HasPrecedence(m_operators.Top(), text))
            m_output.Push(m_operators.Pop());
        m_operators.Push(text);
        readingNumber = false;
        return;
    }
    case u'V':
    case u'v':
        readingNumber = false;
        m_output.Push(vText);
        return;
    case u'.':
        // A point continues the number being read (12.5); anywhere else it
        // starts a number of its own (.5), so that it never lands on an
        // earlier, complete operand.
        if (readingNumber)
            m_output.AddToTop(std::string_view("."));
        else
            m_output.Push(std::string_view("."));
        readingNumber = true;
        return;
    default:
        raise(FormulaError, SyntaxErrorMessage());
        return;
    }
}

bool CVScalingCalculator::toSingle(const std::string &text, float &value)
{
    switch (vnt::ParseSingle(text, value)) {
    case vnt::NumberParse::Ok:
        return true;
    case vnt::NumberParse::Overflow:
        raise(OverflowError, QStringLiteral("The number %1 in the scaling formula is too large.").arg(quoted(text)));
        return false;
    case vnt::NumberParse::Invalid:
        break;
    }
    if (text.empty())
        raise(ConversionError, QStringLiteral("A number is missing in the scaling formula "
                                              "(an operator without its operand, or empty parentheses)."));
    else
        raise(ConversionError, QStringLiteral("\"%1\" in the scaling formula is not a valid number.").arg(quoted(text)));
    return false;
}

bool CVScalingCalculator::pushResult(double result)
{
    if (std::isnan(result)) {
        raise(InvalidPowerError, QStringLiteral("The scaling formula raises a negative number to a fractional "
                                                "power, which has no real value."));
        return false;
    }
    const float single = static_cast<float>(result);
    if (std::fabs(result) > std::numeric_limits<float>::max() || !std::isfinite(single)) {
        raise(OverflowError, QStringLiteral("The scaling formula's result is beyond the range of a "
                                            "single-precision number."));
        return false;
    }
    char buffer[vnt::GeneralTextCapacity];
    m_operands.Push(std::string_view(buffer, static_cast<std::size_t>(vnt::FormatGeneral(single, buffer))));
    return true;
}

float CVScalingCalculator::EvaluatePostfix()
{
    m_operands.Clear();
    const int count = m_output.Count();
    for (int age = 0; age < count; ++age) {
        const std::string &entry = m_output.FromOldest(age);
        if (!IsOperator(entry)) {
            m_operands.Push(std::string_view(entry));
            continue;
        }
        const std::string bText = m_operands.Pop();
        const std::string aText = m_operands.Pop();
        float a = 0.0f;
        float b = 0.0f;
        if (!toSingle(aText, a) || !toSingle(bText, b))
            return 0.0f;
        double r = 0.0;
        switch (entry[0]) {
        case '+':
            r = static_cast<float>(a + b);
            break;
        case '-':
            r = static_cast<float>(a - b);
            break;
        case '*':
            r = static_cast<float>(a * b);
            break;
        case '/':
            if (b == 0.0f) {
                raise(FormulaError, DivideByZeroMessage());
                return 0.0f;
            }
            r = static_cast<float>(a / b);
            break;
        default: // '^', in double precision
            r = std::pow(static_cast<double>(a), static_cast<double>(b));
            break;
        }
        if (!pushResult(r))
            return 0.0f;
    }
    float value = 0.0f;
    if (!toSingle(m_operands.Pop(), value))
        return 0.0f;
    if (!m_operands.IsEmpty()) {
        // Two values with no operator between them: 3V, 2(3).
        raise(FormulaError, SyntaxErrorMessage());
        return 0.0f;
    }
    return vnt::RoundToDecimals(value, 4);
}
