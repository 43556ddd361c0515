#include "editors/ui/CompareWindow.h"

#include "model/TuneItems.h"
#include "platform/ui/ScreenFit.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
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
    m_split = new QSplitter(Qt::Vertical, this);
    lstItems = new QListWidget(m_split);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    tblValues = new QTableWidget(0, 6, m_split);
    tblValues->setObjectName(QStringLiteral("tblValues"));
    tblValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblValues->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Transfer order until the user sorts by a column.
    tblValues->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tblValues->setSortingEnabled(true);
    tblValues->verticalHeader()->hide();
    tblValues->horizontalHeader()->setStretchLastSection(true);
    m_split->setStretchFactor(1, 2);
    outer->addWidget(m_split);
    auto *copy = new QShortcut(QKeySequence::Copy, tblValues, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, [this] { QApplication::clipboard()->setText(ValuesText()); });

    auto *buttons = new QHBoxLayout;
    buttonTakeItem = new QPushButton(QStringLiteral("&Take Item"), this);
    buttonTakeItem->setObjectName(QStringLiteral("buttonTakeItem"));
    buttonTakeAll = new QPushButton(QStringLiteral("Take &All"), this);
    buttonTakeAll->setObjectName(QStringLiteral("buttonTakeAll"));
    buttonCopy = new QPushButton(QStringLiteral("C&opy"), this);
    buttonCopy->setObjectName(QStringLiteral("buttonCopy"));
    buttonCopy->setToolTip(QStringLiteral("Copies the selected values (all when none is selected)"));
    buttonClose = new QPushButton(QStringLiteral("&Close"), this);
    buttonClose->setObjectName(QStringLiteral("buttonClose"));
    for (QPushButton *b : {buttonCopy, buttonTakeItem, buttonTakeAll, buttonClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(0, 1);
    outer->addLayout(buttons);

    connect(buttonTakeItem, &QPushButton::clicked, this, [this] {
        if (const std::optional<TuneItem> item = SelectedItem())
            emit takeItem(*item);
    });
    connect(buttonTakeAll, &QPushButton::clicked, this, [this] { emit takeAll(); });
    connect(buttonClose, &QPushButton::clicked, this, &QDialog::close);
    connect(buttonCopy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(ValuesText()); });
    connect(lstItems, &QListWidget::itemDoubleClicked, this, [this] {
        if (const std::optional<TuneItem> item = SelectedItem())
            emit takeItem(*item);
    });
    resize(620, 520);
}

QString CompareWindow::LineText(const ItemChange &change)
{
    const TuneItemInfo &info = Info(change.item);
    const QString name = QLatin1String(info.name);
    if (info.shape == ItemShape::Text)
        return QStringLiteral("%1: \"%2\" here, \"%3\" there").arg(name, change.versionBefore.trimmed(),
                                                                    change.versionAfter.trimmed());
    const int n = TuneHistory::DifferingValues(change.item, change.before, change.after);
    return QStringLiteral("%1: %2 %3").arg(name).arg(n).arg(n == 1 ? QStringLiteral("value differs")
                                                                   : QStringLiteral("values differ"));
}

void CompareWindow::Fill(const QString &name, const std::vector<ItemChange> &differences,
                         const std::vector<ComparePlan::ValueDifference> &values)
{
    // Filled unsorted, then sorted again as the user had it.
    tblValues->setSortingEnabled(false);
    tblValues->clearContents();
    // The name reads inside sentences ("the Vantrelle"); as a heading it
    // starts with a capital.
    const QString heading = name.left(1).toUpper() + name.mid(1);
    tblValues->setHorizontalHeaderLabels({QStringLiteral("Map or item"), QStringLiteral("Entry"),
                                          QStringLiteral("RPM"), QStringLiteral("Load"),
                                          QStringLiteral("This tune"), heading});
    tblValues->setRowCount(static_cast<int>(values.size()));
    for (int r = 0; r < tblValues->rowCount(); ++r) {
        const ComparePlan::ValueDifference &v = values[r];
        const QVariant cells[] = {v.itemName, v.entry, v.rpm, v.load, v.mine, v.theirs};
        for (int c = 0; c < 6; ++c) {
            auto *cell = new QTableWidgetItem;
            cell->setData(Qt::DisplayRole, cells[c]);
            if (c > 0)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblValues->setItem(r, c, cell);
        }
    }
    tblValues->setSortingEnabled(true);

    const std::optional<TuneItem> keep = SelectedItem();
    lstItems->clear();
    lblCompare->setText(differences.empty()
                            ? QStringLiteral("The tune is the same as %1.").arg(name)
                            : QStringLiteral("The tune differs from %1 in these items:").arg(name));
    for (const ItemChange &c : differences) {
        auto *line = new QListWidgetItem(LineText(c), lstItems);
        line->setData(Qt::UserRole, Number(c.item));
        if (keep == c.item)
            lstItems->setCurrentItem(line);
    }
    buttonTakeItem->setEnabled(!differences.empty());
    buttonTakeAll->setEnabled(!differences.empty());
    fitToContents();
}

void CompareWindow::fitToContents()
{
    // Every column whole, the window widened for them as far as the screen
    // allows; the item list as tall as its lines (up to eight), the values
    // the rest.
    tblValues->resizeColumnsToContents();
    int columns = 2 * tblValues->frameWidth() + tblValues->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < tblValues->columnCount(); ++c)
        columns += tblValues->columnWidth(c);
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    if (width() < columns + margins)
        ScreenFit::SizeFor(this, QSize(columns + margins, height()));
    const int lines = std::clamp(lstItems->count(), 1, 8);
    const int listHeight = lines * std::max(1, lstItems->sizeHintForRow(0)) + 2 * lstItems->frameWidth();
    m_split->setSizes({listHeight, std::max(1, m_split->height() - listHeight)});
}

std::optional<TuneItem> CompareWindow::SelectedItem() const
{
    const QListWidgetItem *line = lstItems->currentItem();
    return line ? ItemFromNumber(line->data(Qt::UserRole).toInt()) : std::nullopt;
}

QString CompareWindow::ValuesText() const
{
    QList<int> rows;
    for (const QModelIndex &i : tblValues->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.isEmpty())
        for (int r = 0; r < tblValues->rowCount(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    QStringList titles;
    for (int c = 0; c < tblValues->columnCount(); ++c)
        titles << tblValues->horizontalHeaderItem(c)->text();
    lines << titles.join(QLatin1Char('\t'));
    for (int r : rows) {
        QStringList cells;
        for (int c = 0; c < tblValues->columnCount(); ++c) {
            const QTableWidgetItem *cell = tblValues->item(r, c);
            cells << (cell ? cell->text() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
