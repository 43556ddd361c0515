#pragma once

#include "model/TuneHistory.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class LinkSession;
class ProgramState;
class RealTimeSender;
class Tune;

// One value of a tune item: a map entry, a table entry or a one-value item
// (index 0). Values are raw: a byte, or a whole 16-bit value for the injector
// K and the VQ table.
struct ValueWrite
{
    TuneItem item = TuneItem::HOFM;
    int index = 0;
    int value = 0;
};

// How every editor and tool changes the tune. Each commit stores the new
// contents, writes them to the box at once while real-time mode is on (the
// link session says), and notes the edit (ProgramState::NoteEdit: Modified,
// ChangesNotSent outside real-time mode, and a step of the undo history). Panels and tools only
// decide what to change; the order of those three steps, what may go out in
// real time and which flags follow live here alone.
//
// Real-time rules, for every kind of commit:
// - a single value goes out as itself (the VQ table's whole 16-bit entry);
//   several values or whole items go out as one frame per run of adjacent
//   changed entries;
// - the injector values never go out in real time: a change of them in
//   real-time mode leaves ChangesNotSent set; the acceleration table is not
//   in the box at all;
// - while the staged rev limiter holds the box's rev limit, a new rev limit
//   waits in the tune; leaving real-time mode sends it.
class EditSession
{
public:
    EditSession(ProgramState &state, const LinkSession &link, RealTimeSender &sender);

    ProgramState &state() const { return m_state; }
    Tune &tune() const;
    // True while real-time mode is on: every commit also goes to the box.
    bool RealTime() const;

    // Run once the tune holds the new values and before anything goes out, so
    // that an editor shows them while the box is being written.
    using StoredHook = std::function<void()>;

    // One value, committed even when the tune already holds it (a grid cell
    // typed, stepped or switched between open and closed loop).
    void CommitValue(TuneItem item, int index, int value, const StoredHook &stored = {});
    // One value, committed only when it changes what the tune holds; false,
    // and nothing at all happens, otherwise (the parameter and table boxes).
    bool ChangeValue(TuneItem item, int index, int value);
    // The version text, stored as given; only when it differs.
    bool ChangeVersion(const QString &text);

    // Several values as one undo step named step. Nothing (no step, no
    // traffic) when writes is empty.
    void CommitValues(const std::vector<ValueWrite> &writes, const QString &step, const StoredHook &stored = {});
    // Whole items taken over (before = the tune's, after = the new contents,
    // with the version text for the version) as one undo step. Nothing when
    // changes is empty.
    void CommitItems(const std::vector<ItemChange> &changes, const QString &step);
    // A change kept in the tune only, never written in real time (the map
    // copy, which tells the user to write the tune): afterwards the tune counts
    // as modified and not sent, whether or not anything changed.
    void CommitLocal(const std::vector<ValueWrite> &writes, const QString &step);

    // An undo (forward false) or redo of a history step the tune already
    // holds: in real-time mode the box is given the step's contents, and
    // ChangesNotSent is set when some of them could not go out. The step is
    // not noted again.
    void Replay(const HistoryStep &step, bool forward);

private:
    // The real-time write and the note of a single value the tune now holds.
    void committed(TuneItem item, int index, int value);
    // Writes one item's change to the box; false when the box cannot be told.
    bool send(TuneItem item, const QByteArray &before, const QByteArray &after, const QString &version);
    // Writes the changes in real time (in real-time mode), notes the step and
    // keeps ChangesNotSent set when something could not go out.
    void deliver(const std::vector<ItemChange> &changes, const QString &step);
    bool heldByStagedLimiter(TuneItem item) const;

    ProgramState &m_state;
    const LinkSession &m_link;
    RealTimeSender &m_sender;
};
