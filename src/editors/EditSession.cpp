#include "editors/EditSession.h"

#include "link/LinkSession.h"
#include "link/RealTimeChanges.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "model/TuneItems.h"

#include <map>

EditSession::EditSession(ProgramState &state, const LinkSession &link, RealTimeSender &sender)
    : m_state(state)
    , m_link(link)
    , m_sender(sender)
{
}

bool EditSession::RealTime() const
{
    return m_link.RealTimeEnabled();
}

Tune &EditSession::tune() const
{
    return m_state.tune;
}

bool EditSession::heldByStagedLimiter(TuneItem item) const
{
    return item == TuneItem::RevLimiter && m_link.StagedLimiter().Active();
}

void EditSession::CommitValue(TuneItem item, int index, int value, const StoredHook &stored)
{
    if (!StoreItemValue(m_state.tune, item, index, value))
        return;
    if (stored)
        stored();
    committed(item, index, value);
}

bool EditSession::ChangeValue(TuneItem item, int index, int value)
{
    const std::optional<int> old = ItemValue(m_state.tune, item, index);
    if (!old || *old == value || !StoreItemValue(m_state.tune, item, index, value))
        return false;
    committed(item, index, value);
    return true;
}

// The edit is noted (and so journalled, flags and all) before anything goes
// to the box: a run that dies while the write is on its way is taken up
// again with the change as what it is, an edit of the tune.
void EditSession::committed(TuneItem item, int index, int value)
{
    m_state.NoteEdit(QString(), RealTime());
    if (!RealTime() || heldByStagedLimiter(item))
        return;
    if (Info(item).InBox() && !Info(item).RealTimeWritable())
        m_state.NoteNotSent();
    else
        m_sender.SendRealTimeValue(item, index, value);
}

bool EditSession::ChangeVersion(const QString &text)
{
    CVGeneralInfo &g = m_state.tune.general();
    if (g.Version() == text)
        return false;
    g.SetVersion(text);
    m_state.NoteEdit(QString(), RealTime());
    if (RealTime())
        m_sender.SendRealTimeVersion(text);
    return true;
}

void EditSession::CommitValues(const std::vector<ValueWrite> &writes, const QString &step, const StoredHook &stored)
{
    if (writes.empty())
        return;
    // Before and after of every item the writes touch, in item order.
    std::map<TuneItem, QByteArray> before;
    for (const ValueWrite &w : writes) {
        if (!before.count(w.item))
            before[w.item] = ItemBytes(m_state.tune, w.item);
        StoreItemValue(m_state.tune, w.item, w.index, w.value);
    }
    if (stored)
        stored();
    std::vector<ItemChange> changes;
    changes.reserve(before.size());
    for (const auto &[item, bytes] : before)
        changes.push_back({item, bytes, ItemBytes(m_state.tune, item), {}, {}});
    deliver(changes, step);
}

void EditSession::CommitItems(const std::vector<ItemChange> &changes, const QString &step)
{
    if (changes.empty())
        return;
    for (const ItemChange &c : changes) {
        StoreItemBytes(m_state.tune, c.item, c.after);
        if (c.item == TuneItem::Version)
            m_state.tune.general().SetVersion(c.versionAfter);
    }
    deliver(changes, step);
}

void EditSession::CommitLocal(const std::vector<ValueWrite> &writes, const QString &step)
{
    for (const ValueWrite &w : writes)
        StoreItemValue(m_state.tune, w.item, w.index, w.value);
    m_state.NoteEdit(step, false);
}

void EditSession::Replay(const HistoryStep &step, bool forward)
{
    bool unsent = false;
    for (const ItemChange &c : step.changes) {
        if (!Info(c.item).InBox())
            continue;
        if (!RealTime()) {
            unsent = true;
            continue;
        }
        const QByteArray &from = forward ? c.before : c.after;
        const QByteArray &to = forward ? c.after : c.before;
        if (!send(c.item, from, to, forward ? c.versionAfter : c.versionBefore))
            unsent = true;
    }
    if (unsent)
        m_state.NoteNotSent();
}

bool EditSession::send(TuneItem item, const QByteArray &before, const QByteArray &after, const QString &version)
{
    if (heldByStagedLimiter(item))
        return true;
    return SendItemChange(m_sender, item, before, after, version);
}

void EditSession::deliver(const std::vector<ItemChange> &changes, const QString &step)
{
    m_state.NoteEdit(step, RealTime());
    bool unsent = false;
    if (RealTime())
        for (const ItemChange &c : changes)
            if (Info(c.item).InBox() && !send(c.item, c.before, c.after, c.versionAfter))
                unsent = true;
    if (unsent)
        m_state.NoteNotSent();
}
