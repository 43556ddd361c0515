#include "history/ui/HistoryWindow.h"

#include "editors/ComparePlan.h"
#include "editors/EditSession.h"
#include "history/HistoryStore.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "model/TuneItems.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "platform/ui/ScreenFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

HistoryWindow::Filter filterOf(HistoryKind kind)
{
    switch (kind) {
    case HistoryKind::Save: return HistoryWindow::Saves;
    case HistoryKind::BoxWrite:
    case HistoryKind::BoxWriteChanges:
    case HistoryKind::RealTimeWrites: return HistoryWindow::BoxWrites;
    case HistoryKind::BoxRead: return HistoryWindow::Reads;
    case HistoryKind::FuelCorrection: return HistoryWindow::Corrections;
    default: return HistoryWindow::Others;
    }
}

QString localTime(const QDateTime &at)
{
    return at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QTableWidget *table(const QStringList &headings, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(headings.size()), parent);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryStore &store, ProgramState &state, EditSession &edits, UiServices &ui,
                             QWidget *parent)
    : QWidget(parent, Qt::Window), m_store(store), m_state(state), m_edits(edits), m_ui(ui)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Tune History"));
    auto *outer = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    const char *const captions[FilterCount] = {"&Saves", "&Box writes", "&Reads", "&Corrections", "&Others"};
    for (int f = 0; f < FilterCount; ++f) {
        m_filters[f] = new QCheckBox(QLatin1String(captions[f]), this);
        m_filters[f]->setChecked(true);
        filters->addWidget(m_filters[f]);
        connect(m_filters[f], &QCheckBox::toggled, this, &HistoryWindow::Refresh);
    }
    filters->addStretch(1);
    outer->addLayout(filters);

    auto *split = new QSplitter(Qt::Vertical, this);
    m_timeline = table({QStringLiteral("Time"), QStringLiteral("What"), QStringLiteral("Where"), QStringLiteral("Note")},
                       split);
    m_timeline->setObjectName(QStringLiteral("tblHistory"));
    m_timeline->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *lower = new QWidget(split);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    auto *againstRow = new QHBoxLayout;
    againstRow->addWidget(new QLabel(QStringLiteral("Differences from:"), lower));
    m_against = new QComboBox(lower);
    m_against->setObjectName(QStringLiteral("comboAgainst"));
    againstRow->addWidget(m_against, 1);
    lowerLayout->addLayout(againstRow);
    m_summary = new QLabel(lower);
    lowerLayout->addWidget(m_summary);
    m_differences = table({QStringLiteral("Map or item"), QStringLiteral("Entry"), QStringLiteral("RPM"),
                           QStringLiteral("Load"), QStringLiteral("Old"), QStringLiteral("New")},
                          lower);
    m_differences->setObjectName(QStringLiteral("tblDifferences"));
    lowerLayout->addWidget(m_differences, 1);
    outer->addWidget(split, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto button = [&](const char *caption, const char *name, auto slot) {
        auto *b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button("&Note...", "buttonNote", [this] { EditNote(); });
    button("Restore &Values", "buttonRestoreCells", [this] { RestoreCells(); });
    button("Restore &Item", "buttonRestoreItem", [this] { RestoreItem(); });
    button("Restore &Tune", "buttonRestoreTune", [this] { RestoreTune(); });
    button("C&lose", "buttonClose", [this] { close(); });
    outer->addLayout(buttons);

    connect(m_timeline, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::showDifferences);
    connect(m_against, &QComboBox::activated, this, [this](int index) {
        const QVariant id = m_against->itemData(index);
        m_compareWith = id.isValid() ? std::optional<int>(id.toInt()) : std::nullopt;
        showDifferences();
    });
    connect(&m_state, &ProgramState::contentsChanged, this, [this] {
        if (isVisible() && !m_compareWith)
            showDifferences();
    });
    ScreenFit::SizeFor(this, QSize(980, 640));
}

void HistoryWindow::Refresh()
{
    const std::optional<int> keep = selectedId();
    const std::vector<HistoryEntry> &entries = m_store.Entries();
    m_timeline->setRowCount(0);
    m_against->clear();
    m_against->addItem(QStringLiteral("The current tune"));
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        m_against->addItem(QStringLiteral("%1  %2").arg(localTime(it->at), HistoryIndex::KindCaption(it->kind)), it->id);
        if (!m_filters[filterOf(it->kind)]->isChecked())
            continue;
        const int row = m_timeline->rowCount();
        m_timeline->insertRow(row);
        const QString cells[] = {localTime(it->at), HistoryIndex::KindCaption(it->kind), it->where, it->note};
        for (int c = 0; c < 4; ++c) {
            auto *cell = new QTableWidgetItem(cells[c]);
            cell->setData(Qt::UserRole, it->id);
            m_timeline->setItem(row, c, cell);
        }
    }
    m_timeline->resizeColumnsToContents();
    if (m_compareWith)
        m_against->setCurrentIndex(std::max(0, m_against->findData(*m_compareWith)));
    if (!keep || !SelectEntry(*keep))
        showDifferences();
}

bool HistoryWindow::SelectEntry(int id)
{
    for (int r = 0; r < m_timeline->rowCount(); ++r) {
        if (m_timeline->item(r, 0)->data(Qt::UserRole).toInt() == id) {
            m_timeline->selectRow(r);
            showDifferences();
            return true;
        }
    }
    return false;
}

void HistoryWindow::CompareWith(std::optional<int> id)
{
    m_compareWith = id;
    m_against->setCurrentIndex(id ? std::max(0, m_against->findData(*id)) : 0);
    showDifferences();
}

void HistoryWindow::SetFilter(Filter filter, bool shown)
{
    m_filters[filter]->setChecked(shown);
}

std::optional<int> HistoryWindow::selectedId() const
{
    const QList<QTableWidgetItem *> chosen = m_timeline->selectedItems();
    return chosen.isEmpty() ? std::nullopt : std::optional<int>(chosen.first()->data(Qt::UserRole).toInt());
}

// The tune as a snapshot holds it: a version shorter than five characters
// is kept padded, which is no difference to show.
Tune HistoryWindow::asStored(const Tune &tune)
{
    Tune stored;
    DecodeProject(EncodeProject(tune), stored);
    return stored;
}

std::optional<Tune> HistoryWindow::tuneOf(int id) const
{
    const std::optional<HistoryStore::Snapshot> s = m_store.SnapshotOf(id);
    return s ? std::optional<Tune>(s->tune) : std::nullopt;
}

void HistoryWindow::showDifferences()
{
    m_differences->setRowCount(0);
    const std::optional<int> id = selectedId();
    const std::optional<Tune> old = id ? tuneOf(*id) : std::nullopt;
    const std::optional<Tune> against = m_compareWith ? tuneOf(*m_compareWith) : std::optional<Tune>(asStored(m_state.tune));
    if (!old || !against) {
        m_summary->setText(id ? QStringLiteral("This entry's snapshot could not be read.")
                              : QStringLiteral("Choose an entry to see how it differs."));
        return;
    }
    const std::vector<ComparePlan::ValueDifference> values = ComparePlan::ValueDifferences(*old, *against);
    m_summary->setText(values.empty()       ? QStringLiteral("No differences.")
                       : values.size() == 1 ? QStringLiteral("1 value differs.")
                                            : QStringLiteral("%1 values differ.").arg(values.size()));
    m_differences->setRowCount(int(values.size()));
    for (int r = 0; r < int(values.size()); ++r) {
        const ComparePlan::ValueDifference &v = values[std::size_t(r)];
        const QVariant cells[] = {v.itemName, v.entry, v.rpm, v.load, v.mine, v.theirs};
        for (int c = 0; c < 6; ++c) {
            auto *cell = new QTableWidgetItem;
            cell->setData(Qt::DisplayRole, cells[c]);
            cell->setData(Qt::UserRole, Number(v.item));
            m_differences->setItem(r, c, cell);
        }
    }
    m_differences->resizeColumnsToContents();
}

int HistoryWindow::take(const std::vector<std::pair<TuneItem, int>> &values, bool wholeItems, const QString &label)
{
    const std::optional<int> id = selectedId();
    const std::optional<Tune> from = id ? tuneOf(*id) : std::nullopt;
    if (!from)
        return 0;
    if (wholeItems) {
        std::vector<ItemChange> changes;
        for (const auto &[item, index] : values) {
            ComparePlan::ItemTake t = ComparePlan::TakeItems(m_state.tune, *from, item, label);
            changes.insert(changes.end(), t.changes.begin(), t.changes.end());
        }
        if (values.empty())
            changes = ComparePlan::TakeItems(m_state.tune, *from, std::nullopt, label).changes;
        m_edits.CommitItems(changes, label);
        return int(changes.size());
    }
    std::vector<ValueWrite> writes;
    for (const auto &[item, index] : values)
        if (const std::optional<int> value = ItemValue(*from, item, index); value && Info(item).shape != ItemShape::Text)
            writes.push_back({item, index, *value});
    m_edits.CommitValues(writes, label);
    return int(writes.size());
}

int HistoryWindow::RestoreTune()
{
    return take({}, true, QStringLiteral("Restore from the history"));
}

int HistoryWindow::RestoreItem()
{
    const QList<QTableWidgetItem *> chosen = m_differences->selectedItems();
    if (chosen.isEmpty())
        return 0;
    const std::optional<TuneItem> item = ItemFromNumber(chosen.first()->data(Qt::UserRole).toInt());
    return item ? take({{*item, 0}}, true, QStringLiteral("Restore %1").arg(QLatin1String(Info(*item).name))) : 0;
}

int HistoryWindow::RestoreCells()
{
    std::vector<std::pair<TuneItem, int>> values;
    for (const QModelIndex &row : m_differences->selectionModel()->selectedRows()) {
        const QTableWidgetItem *cell = m_differences->item(row.row(), 0);
        const std::optional<TuneItem> item = ItemFromNumber(cell->data(Qt::UserRole).toInt());
        const QVariant entry = m_differences->item(row.row(), 1)->data(Qt::DisplayRole);
        if (item)
            values.push_back({*item, entry.isValid() ? entry.toInt() - 1 : 0});
    }
    return values.empty() ? 0 : take(values, false, QStringLiteral("Restore %1 values").arg(values.size()));
}

bool HistoryWindow::EditNote()
{
    const std::optional<int> id = selectedId();
    if (!id)
        return false;
    const std::optional<QString> note =
        m_ui.messages.askText(this, QStringLiteral("Note"), QStringLiteral("A note for this entry:"));
    if (!note)
        return false;
    if (!m_store.SetNote(*id, *note)) {
        m_ui.messages.exclamation(this, m_store.Error());
        return false;
    }
    Refresh();
    return true;
}
