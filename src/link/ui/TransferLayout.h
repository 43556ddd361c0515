#pragma once

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;

// The transfer dialogs' common face: status label, optional per-item label,
// progress bar, Cancel button and the warning about interrupting.
struct TransferWidgets
{
    QLabel *status = nullptr;
    QLabel *item = nullptr;
    QProgressBar *progress = nullptr;
    QPushButton *cancel = nullptr;
    QLabel *warning = nullptr;
};

TransferWidgets BuildTransferLayout(QDialog *dialog, int progressMaximum, bool withItemLabel);
