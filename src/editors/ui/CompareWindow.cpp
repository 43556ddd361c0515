#include "editors/ui/CompareWindow.h"

#include "model/TuneItems.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CompareWindow::CompareWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("Compare Tunes"));
    setModal(false);
    auto *outer = new QVBoxLayout(this);
    lblCompare = new QLabel(this);
    lblCompare->setObjectName(QStringLiteral("lblCompare"));
    lblCompare->setWordWrap(true);
    outer->addWidget(lblCompare);
    lstItems = new QListWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    outer->addWidget(lstItems);

    auto *buttons = new QHBoxLayout;
    buttonTakeItem = new QPushButton(QStringLiteral("&Take Item"), this);
    buttonTakeItem->setObjectName(QStringLiteral("buttonTakeItem"));
    buttonTakeAll = new QPushButton(QStringLiteral("Take &All"), this);
    buttonTakeAll->setObjectName(QStringLiteral("buttonTakeAll"));
    buttonClose = new QPushButton(QStringLiteral("&Close"), this);
    buttonClose->setObjectName(QStringLiteral("buttonClose"));
    for (QPushButton *b : {buttonTakeItem, buttonTakeAll, buttonClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(0, 1);
    outer->addLayout(buttons);

    connect(buttonTakeItem, &QPushButton::clicked, this, [this] {
        if (const int item = SelectedItem())
            emit takeItem(item);
    });
    connect(buttonTakeAll, &QPushButton::clicked, this, [this] { emit takeAll(); });
    connect(buttonClose, &QPushButton::clicked, this, &QDialog::close);
    connect(lstItems, &QListWidget::itemDoubleClicked, this, [this] {
        if (const int item = SelectedItem())
            emit takeItem(item);
    });
    resize(420, 360);
}

QString CompareWindow::LineText(const ItemChange &change)
{
    const TuneItem *info = FindTuneItem(change.item);
    const QString name = info ? QLatin1String(info->name) : QStringLiteral("Item %1").arg(change.item);
    if (change.item == 17)
        return QStringLiteral("%1: \"%2\" here, \"%3\" there").arg(name, change.versionBefore.trimmed(),
                                                                    change.versionAfter.trimmed());
    const int n = TuneHistory::DifferingValues(change.item, change.before, change.after);
    return QStringLiteral("%1: %2 %3").arg(name).arg(n).arg(n == 1 ? QStringLiteral("value differs")
                                                                   : QStringLiteral("values differ"));
}

void CompareWindow::Fill(const QString &name, const std::vector<ItemChange> &differences)
{
    const int keep = SelectedItem();
    lstItems->clear();
    lblCompare->setText(differences.empty()
                            ? QStringLiteral("The tune is the same as %1.").arg(name)
                            : QStringLiteral("The tune differs from %1 in these items:").arg(name));
    for (const ItemChange &c : differences) {
        auto *line = new QListWidgetItem(LineText(c), lstItems);
        line->setData(Qt::UserRole, c.item);
        if (c.item == keep)
            lstItems->setCurrentItem(line);
    }
    buttonTakeItem->setEnabled(!differences.empty());
    buttonTakeAll->setEnabled(!differences.empty());
}

int CompareWindow::SelectedItem() const
{
    const QListWidgetItem *line = lstItems->currentItem();
    return line ? line->data(Qt::UserRole).toInt() : 0;
}
