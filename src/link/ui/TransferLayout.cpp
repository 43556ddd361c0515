#include "link/ui/TransferLayout.h"

#include "link/LinkMessages.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TransferWidgets BuildTransferLayout(QDialog *dialog, int progressMaximum, bool withItemLabel)
{
    TransferWidgets w;
    auto *layout = new QVBoxLayout(dialog);
    w.status = new QLabel(dialog);
    w.status->setObjectName(QStringLiteral("lblStatus"));
    layout->addWidget(w.status);
    if (withItemLabel) {
        w.item = new QLabel(dialog);
        w.item->setObjectName(QStringLiteral("lblItem"));
        layout->addWidget(w.item);
    }
    w.progress = new QProgressBar(dialog);
    w.progress->setObjectName(QStringLiteral("ProgressBar"));
    w.progress->setRange(0, progressMaximum);
    w.progress->setValue(0);
    layout->addWidget(w.progress);
    w.warning = new QLabel(QString::fromLatin1(LinkMessages::TransferWarning), dialog);
    w.warning->setObjectName(QStringLiteral("lblWarning"));
    w.warning->setWordWrap(true);
    layout->addWidget(w.warning);
    w.cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    w.cancel->setObjectName(QStringLiteral("CancelButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(w.cancel);
    layout->addLayout(buttons);
    return w;
}
