#include "editors/ValidateNumericRange.h"

#include "editors/NumericInput.h"
#include "platform/MessageBoxService.h"

std::optional<double> ValidateNumericRange(MessageBoxService &messages, QWidget *parent,
                                           const QString &text, double low, double high,
                                           bool allowSignAndPoint)
{
    const std::optional<double> value =
        NumericInput::CheckNumericRange(text, low, high, allowSignAndPoint);
    if (!value)
        messages.critical(parent, NumericInput::RangeMessage(low, high));
    return value;
}
