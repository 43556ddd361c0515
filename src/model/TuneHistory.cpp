#include "model/TuneHistory.h"
#include "platform/Counted.h"

#include <algorithm>

namespace {

constexpr TuneItem VersionItem = TuneItem::Version;

std::size_t slot(TuneItem item)
{
    return static_cast<std::size_t>(Number(item) - 1);
}


} // namespace

TuneHistory::TuneHistory(Tune &tune, int limit)
    : m_tune(tune), m_limit(std::max(1, limit))
{
    takeBaseline();
}

void TuneHistory::takeBaseline()
{
    for (const TuneItemInfo &info : TuneItems())
        m_baseline[slot(info.item)] = ItemBytes(m_tune, info.item);
    m_baselineVersion = m_tune.general().Version();
}

void TuneHistory::Reset(bool savedHere)
{
    m_steps.clear();
    m_index = 0;
    m_saved = savedHere ? 0 : -1;
    takeBaseline();
}

std::vector<ItemChange> TuneHistory::pendingChanges() const
{
    std::vector<ItemChange> changes;
    for (const TuneItemInfo &info : TuneItems()) {
        const TuneItem item = info.item;
        QByteArray now = ItemBytes(m_tune, item);
        const bool versionText = item == VersionItem && m_tune.general().Version() != m_baselineVersion;
        if (now == m_baseline[slot(item)] && !versionText)
            continue;
        ItemChange change;
        change.item = item;
        change.before = m_baseline[slot(item)];
        change.after = std::move(now);
        if (item == VersionItem) {
            change.versionBefore = m_baselineVersion;
            change.versionAfter = m_tune.general().Version();
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

bool TuneHistory::HasUnrecordedChanges() const
{
    return !pendingChanges().empty();
}

bool TuneHistory::Record(const QString &label)
{
    std::vector<ItemChange> changes = pendingChanges();
    if (changes.empty())
        return false;
    for (const ItemChange &c : changes) {
        m_baseline[slot(c.item)] = c.after;
        if (c.item == VersionItem)
            m_baselineVersion = c.versionAfter;
    }
    // A new step after undoing drops the steps that were undone; a save point
    // among them can no longer be reached.
    if (m_index < static_cast<int>(m_steps.size())) {
        m_steps.erase(m_steps.begin() + m_index, m_steps.end());
        if (m_saved > m_index)
            m_saved = -1;
    }
    HistoryStep step;
    step.label = label.isEmpty() ? Describe(changes) : label;
    step.changes = std::move(changes);
    m_steps.push_back(std::move(step));
    ++m_index;
    if (static_cast<int>(m_steps.size()) > m_limit) {
        m_steps.erase(m_steps.begin());
        --m_index;
        m_saved = m_saved > 0 ? m_saved - 1 : -1;
    }
    return true;
}

QString TuneHistory::UndoLabel() const
{
    return CanUndo() ? m_steps[m_index - 1].label : QString();
}

QString TuneHistory::RedoLabel() const
{
    return CanRedo() ? m_steps[m_index].label : QString();
}

void TuneHistory::apply(const HistoryStep &step, bool forward)
{
    for (const ItemChange &c : step.changes) {
        const QByteArray &bytes = forward ? c.after : c.before;
        StoreItemBytes(m_tune, c.item, bytes);
        m_baseline[slot(c.item)] = bytes;
        if (c.item == VersionItem) {
            const QString &text = forward ? c.versionAfter : c.versionBefore;
            m_tune.general().SetVersion(text);
            m_baselineVersion = text;
        }
    }
}

const HistoryStep *TuneHistory::Undo()
{
    Record();
    if (!CanUndo())
        return nullptr;
    --m_index;
    apply(m_steps[m_index], false);
    return &m_steps[m_index];
}

const HistoryStep *TuneHistory::Redo()
{
    // A change made after the last undo starts a new branch: nothing to redo.
    if (Record() || !CanRedo())
        return nullptr;
    apply(m_steps[m_index], true);
    return &m_steps[m_index++];
}

void TuneHistory::MarkSaved()
{
    Record();
    m_saved = m_index;
}

QString TuneHistory::Describe(const std::vector<ItemChange> &changes)
{
    if (changes.empty())
        return QStringLiteral("No change");
    if (changes.size() > 1)
        return QStringLiteral("Change %1 items").arg(changes.size());
    const ItemChange &c = changes.front();
    const TuneItemInfo &info = Info(c.item);
    const QString name = QLatin1String(info.name);
    switch (info.shape) {
    case ItemShape::MapBody:
    case ItemShape::Axis:
        return QStringLiteral("Set %1 in %2").arg(Counted(DifferingValues(c.item, c.before, c.after), "cell", "cells"), name);
    case ItemShape::Table:
        return QStringLiteral("Set %1 in %2").arg(Counted(DifferingValues(c.item, c.before, c.after), "entry", "entries"), name);
    default:
        return QStringLiteral("Set %1").arg(name);
    }
}

std::vector<ItemChange> TuneHistory::Differences(const Tune &a, const Tune &b)
{
    std::vector<ItemChange> out;
    for (const TuneItemInfo &info : TuneItems()) {
        const TuneItem item = info.item;
        ItemChange c;
        c.item = item;
        c.before = ItemBytes(a, item);
        c.after = ItemBytes(b, item);
        const bool versionDiffers = item == VersionItem && a.general().Version() != b.general().Version();
        if (c.before == c.after && !versionDiffers)
            continue;
        if (item == VersionItem) {
            c.versionBefore = a.general().Version();
            c.versionAfter = b.general().Version();
        }
        out.push_back(std::move(c));
    }
    return out;
}

int TuneHistory::DifferingValues(TuneItem item, const QByteArray &a, const QByteArray &b)
{
    const int values = static_cast<int>(std::max(a.size(), b.size())) / Info(item).valueWidth;
    int count = 0;
    for (int i = 0; i < values; ++i)
        count += ValueInBytes(item, a, i) != ValueInBytes(item, b, i) ? 1 : 0;
    return count;
}
