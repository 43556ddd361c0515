#include "editors/NumericInput.h"

#include <cmath>

namespace NumericInput {

std::optional<double> ParseDecimalText(const QString &text, bool allowSignAndPoint)
{
    int digits = 0;
    int points = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            ++digits;
        } else if (allowSignAndPoint && (ch == QLatin1Char('+') || ch == QLatin1Char('-'))) {
            if (i != 0)
                return std::nullopt;
        } else if (allowSignAndPoint && ch == QLatin1Char('.')) {
            if (++points > 1)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;

    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> CheckNumericRange(const QString &text, double low, double high,
                                        bool allowSignAndPoint)
{
    const std::optional<double> value = ParseDecimalText(text, allowSignAndPoint);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

QString PlainNumberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'g', 15);
}

QString RangeMessage(double low, double high)
{
    return QStringLiteral("Please enter a valid value between ") + PlainNumberText(low)
        + QStringLiteral(" and ") + PlainNumberText(high);
}

QString NotNumericMessage()
{
    return QStringLiteral("Please enter a numeric value");
}

} // namespace NumericInput
