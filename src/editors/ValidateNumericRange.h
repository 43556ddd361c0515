#pragma once

#include <QString>
#include <optional>

class MessageBoxService;
class QWidget;

// The shared check of a typed number against a low and a high limit. When the
// text is malformed (see NumericInput) or out of range the user is told
// "Please enter a valid value between <low> and <high>" (critical icon) and
// nothing is returned; otherwise the number.
std::optional<double> ValidateNumericRange(MessageBoxService &messages, QWidget *parent,
                                           const QString &text, double low, double high,
                                           bool allowSignAndPoint);
