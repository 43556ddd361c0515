#pragma once

#include <QString>

class QDialog;
class QLayout;
class QPushButton;

// The OK and Cancel buttons every settings dialog ends with, named OKButton
// and CancelButton. OK is the default button; Cancel rejects the dialog. The
// caller connects OK to its own check.
struct OkCancelButtons
{
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancelButtons AddOkCancelButtons(QDialog *dialog, QLayout *layout,
                                   const QString &cancelCaption = QStringLiteral("Cancel"));
