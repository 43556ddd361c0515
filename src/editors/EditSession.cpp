#include "editors/EditSession.h"

#include "link/RealTimeChanges.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "model/TuneItems.h"

#include <map>

namespace {

constexpr int RevLimiterItem = 11;
constexpr int VersionItem = 17;

// Transferred items a real-time write cannot reach (the injector values).
bool outOfRealTimeReach(int item)
{
    return IsTransferredItem(item) && !IsRealTimeItem(item);
}

} // namespace

bool StoreItemValue(Tune &tune, int item, int index, int value)
{
    const TuneItem *info = FindTuneItem(item);
    if (!info)
        return false;
    CVGeneralInfo &g = tune.general();
    if (item <= 10) {
        CVMapInfo *map = tune.mapAt(info->address);
        return map && map->SetMapValue(index, value);
    }
    switch (item) {
    case 11: return g.SetRevLimiter(value);
    case 12: return g.SetSpeedLimiter(value);
    case 13: return g.SetInjectorK(value);
    case 14: return g.SetInjectorBlast(value);
    case 15: return g.SetInjectorVoid(value);
    case 16: return g.SetVTCRelease(value);
    case 18: return g.SetTTPMin(index, value);
    case 19: return g.SetTTPMax(index, value);
    case 20: return g.SetTPLimit(index, value);
    case 21: return g.SetAccelEnrich(index, value);
    case 22: return g.SetIgnitionDuty(index, value);
    case 23: return g.SetVQ(index, value);
    default: return false;
    }
}

std::optional<int> ItemValue(const Tune &tune, int item, int index)
{
    const TuneItem *info = FindTuneItem(item);
    if (!info)
        return std::nullopt;
    const CVGeneralInfo &g = tune.general();
    int value = -1;
    if (item <= 10) {
        const CVMapInfo *map = tune.mapAt(info->address);
        value = map ? map->MapValue(index) : -1;
    } else {
        switch (item) {
        case 11: value = g.RevLimiter(); break;
        case 12: value = g.SpeedLimiter(); break;
        case 13: value = g.InjectorK(); break;
        case 14: value = g.InjectorBlast(); break;
        case 15: value = g.InjectorVoid(); break;
        case 16: value = g.VTCRelease(); break;
        case 18: value = g.TTPMin(index); break;
        case 19: value = g.TTPMax(index); break;
        case 20: value = g.TPLimit(index); break;
        case 21: value = g.AccelEnrich(index); break;
        case 22: value = g.IgnitionDuty(index); break;
        case 23: value = g.VQ(index); break;
        default: break;
        }
    }
    if (value < 0)
        return std::nullopt;
    return value;
}

EditSession::EditSession(ProgramState &state, RealTimeSender &sender)
    : m_state(state)
    , m_sender(sender)
{
}

Tune &EditSession::tune() const
{
    return m_state.tune;
}

bool EditSession::heldByStagedLimiter(int item) const
{
    return item == RevLimiterItem && m_state.StagedRevLimitActive;
}

void EditSession::CommitValue(int item, int index, int value, const StoredHook &stored)
{
    if (!StoreItemValue(m_state.tune, item, index, value))
        return;
    if (stored)
        stored();
    committed(item, index, value);
}

bool EditSession::ChangeValue(int item, int index, int value)
{
    const std::optional<int> old = ItemValue(m_state.tune, item, index);
    if (!old || *old == value || !StoreItemValue(m_state.tune, item, index, value))
        return false;
    committed(item, index, value);
    return true;
}

void EditSession::committed(int item, int index, int value)
{
    bool unsent = false;
    if (m_state.RealTimeEnabled && !heldByStagedLimiter(item)) {
        if (outOfRealTimeReach(item))
            unsent = true;
        else
            m_sender.SendRealTimeValue(item, index, value);
    }
    m_state.NoteEdit();
    if (unsent)
        m_state.ChangesNotSent = true;
}

bool EditSession::ChangeVersion(const QString &text)
{
    CVGeneralInfo &g = m_state.tune.general();
    if (g.Version() == text)
        return false;
    g.SetVersion(text);
    if (m_state.RealTimeEnabled)
        m_sender.SendRealTimeVersion(text);
    m_state.NoteEdit();
    return true;
}

void EditSession::CommitValues(const std::vector<ValueWrite> &writes, const QString &step, const StoredHook &stored)
{
    if (writes.empty())
        return;
    // Before and after of every item the writes touch, in item order.
    std::map<int, QByteArray> before;
    for (const ValueWrite &w : writes) {
        if (!before.count(w.item))
            before[w.item] = ItemBytes(m_state.tune, w.item);
        StoreItemValue(m_state.tune, w.item, w.index, w.value);
    }
    if (stored)
        stored();
    std::vector<ItemChange> changes;
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
        if (c.item == VersionItem)
            m_state.tune.general().SetVersion(c.versionAfter);
    }
    deliver(changes, step);
}

void EditSession::CommitLocal(const std::vector<ValueWrite> &writes, const QString &step)
{
    for (const ValueWrite &w : writes)
        StoreItemValue(m_state.tune, w.item, w.index, w.value);
    m_state.NoteEdit(step);
    m_state.Modified = true;
    m_state.ChangesNotSent = true;
}

void EditSession::Replay(const HistoryStep &step, bool forward)
{
    bool unsent = false;
    for (const ItemChange &c : step.changes) {
        if (!IsTransferredItem(c.item))
            continue; // never in the box
        if (!m_state.RealTimeEnabled) {
            unsent = true;
            continue;
        }
        const QByteArray &from = forward ? c.before : c.after;
        const QByteArray &to = forward ? c.after : c.before;
        if (!send(c.item, from, to, forward ? c.versionAfter : c.versionBefore))
            unsent = true;
    }
    if (unsent)
        m_state.ChangesNotSent = true;
}

bool EditSession::send(int item, const QByteArray &before, const QByteArray &after, const QString &version)
{
    if (heldByStagedLimiter(item))
        return true;
    return SendItemChange(m_sender, item, before, after, version);
}

void EditSession::deliver(const std::vector<ItemChange> &changes, const QString &step)
{
    bool unsent = false;
    if (m_state.RealTimeEnabled)
        for (const ItemChange &c : changes)
            if (IsTransferredItem(c.item) && !send(c.item, c.before, c.after, c.versionAfter))
                unsent = true;
    m_state.NoteEdit(step);
    if (unsent)
        m_state.ChangesNotSent = true;
}
