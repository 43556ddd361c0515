#pragma once

#include "history/HistoryIndex.h"
#include "model/Tune.h"
#include "model/TuneItems.h"

#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

class EditSession;
class HistoryStore;
class ProgramState;
class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;
struct UiServices;

// Tools > History...: the tune's history as a timeline, newest first, with
// filters for saves, writes to the box, reads and fuel corrections; the
// differences between the chosen entry and the current tune (or another
// entry), value by value as the compare list shows them (old: the entry,
// new: the other); and the way back: the whole tune, one item or map, or the
// chosen values restored from the entry through the edit session, so the
// restore is one undoable step and goes to the box in real-time mode.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    enum Filter { Saves, BoxWrites, Reads, Corrections, Others, FilterCount };

    HistoryWindow(HistoryStore &store, ProgramState &state, EditSession &edits, UiServices &ui,
                  QWidget *parent = nullptr);

    // The timeline again (an entry was added, a note changed).
    void Refresh();
    // Chooses an entry of the timeline; false when it is not shown.
    bool SelectEntry(int id);
    // Compares with another entry (none: the current tune).
    void CompareWith(std::optional<int> id);
    void SetFilter(Filter filter, bool shown);

    // Each restores from the chosen entry and returns the values changed.
    int RestoreTune();
    int RestoreItem();  // the item or map of the chosen difference
    int RestoreCells(); // the chosen differences
    bool EditNote();

    QTableWidget *timeline() const { return m_timeline; }
    QTableWidget *differences() const { return m_differences; }

private:
    std::optional<int> selectedId() const;
    std::optional<Tune> tuneOf(int id) const;
    static Tune asStored(const Tune &tune);
    void showDifferences();
    int take(const std::vector<std::pair<TuneItem, int>> &values, bool wholeItems, const QString &label);

    HistoryStore &m_store;
    ProgramState &m_state;
    EditSession &m_edits;
    UiServices &m_ui;
    QTableWidget *m_timeline = nullptr;
    QTableWidget *m_differences = nullptr;
    QComboBox *m_against = nullptr;
    QLabel *m_summary = nullptr;
    QCheckBox *m_filters[FilterCount] = {};
    std::optional<int> m_compareWith;
};
