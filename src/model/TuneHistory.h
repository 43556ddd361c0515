#pragma once

#include "model/Tune.h"
#include "model/TuneItems.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

// One tune item's contents before and after a step of the history: its bytes
// as the transfer lays them out, and for the version its text too, since five
// bytes do not carry every character a text may hold.
struct ItemChange
{
    TuneItem item = TuneItem::HOFM;
    QByteArray before;
    QByteArray after;
    QString versionBefore;
    QString versionAfter;
};

// One undoable step: what the user did, and every item it changed.
struct HistoryStep
{
    QString label;
    std::vector<ItemChange> changes;
};

// The undo history of one tune. It keeps a copy of the tune's contents as of
// the last step; Record() compares the tune with that copy, so any change,
// whoever made it, becomes part of the next step and none is lost. Trace
// points are not tune contents and are never touched.
//
// The history also knows which step matches the project file last loaded or
// saved, so the caller can keep Modified true exactly when the tune is
// elsewhere in the history.
class TuneHistory
{
public:
    // Steps kept; the oldest go first.
    static constexpr int DefaultLimit = 500;

    explicit TuneHistory(Tune &tune, int limit = DefaultLimit);

    // Forgets every step: the tune as it now is becomes the start. savedHere
    // tells whether it matches the project file.
    void Reset(bool savedHere);

    // Makes everything changed since the last step one new step named label
    // (a name is made from the changes when label is empty); redo steps are
    // dropped. False, and no step, when nothing changed.
    bool Record(const QString &label = QString());
    // True when the tune differs from the contents of the last step.
    bool HasUnrecordedChanges() const;

    bool CanUndo() const { return m_index > 0; }
    bool CanRedo() const { return m_index < static_cast<int>(m_steps.size()); }
    // The names of the step an undo or a redo would take back or do again.
    QString UndoLabel() const;
    QString RedoLabel() const;

    // Puts the tune back as it was before the last step (any unrecorded change
    // becomes a step first, so it can be redone). Returns the step taken back,
    // or nullptr when there is none; the pointer is valid until the next
    // change of the history.
    const HistoryStep *Undo();
    // Does the next step again; nullptr when there is none.
    const HistoryStep *Redo();

    // The tune as it now is matches the project file.
    void MarkSaved();
    // True when the tune is at the step that matches the project file.
    bool AtSavePoint() const { return m_saved == m_index; }

    int StepCount() const { return static_cast<int>(m_steps.size()); }
    int Position() const { return m_index; }

    // "Set 12 cells in High Octane Fuel Map", "Set Rev Limiter", "Change 3 items".
    static QString Describe(const std::vector<ItemChange> &changes);
    // How many values of an item differ between two byte blocks of it (the
    // VQ table and injector K hold two bytes per value).
    static int DifferingValues(TuneItem item, const QByteArray &a, const QByteArray &b);
    // The items (in transfer order) whose contents differ between two tunes,
    // each with its bytes in a and in b.
    static std::vector<ItemChange> Differences(const Tune &a, const Tune &b);

private:
    void takeBaseline();
    std::vector<ItemChange> pendingChanges() const;
    void apply(const HistoryStep &step, bool forward);

    Tune &m_tune;
    int m_limit;
    std::array<QByteArray, TuneItemCount> m_baseline;
    QString m_baselineVersion;
    std::vector<HistoryStep> m_steps;
    int m_index = 0;  // steps done; m_steps[m_index - 1] is the last done
    int m_saved = 0;  // the position matching the file; -1 when none does
};
