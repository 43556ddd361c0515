#pragma once

#include "editors/ui/CompareWindow.h"
#include "link/BoxContents.h"
#include "model/Tune.h"
#include "model/TuneHistory.h"

#include <QObject>
#include <QPointer>
#include <memory>

class CVFuelTimingDlg;
class EditSession;
class MainWindow;
class LinkPort;
struct ProgramState;

// The tuner's tools around the editors: undo and redo of every change to the
// tune (the "&Edit" menu), the write of the changed items only, and the
// comparison with a second tune (project file, raw image or what the box
// holds) with the commands that take its values over. Every change it makes
// to the tune goes through the edit session.
class UndoAndCompareCommands : public QObject
{
    Q_OBJECT
public:
    UndoAndCompareCommands(MainWindow &window, CVFuelTimingDlg &grid, LinkPort &port, EditSession &edits);
    ~UndoAndCompareCommands() override;

    TuneHistory &history() { return m_history; }
    BoxContents &box() { return m_box; }

    void Undo();
    void Redo();

    // "Write C&hanges to Vantrelle...": writes only the items the box does not
    // hold as the tune has them, with the write's question, dialog and
    // messages; says so when there is nothing to write.
    void WriteChanges();

    // A read or write of the box has ended: when the comparison is with the box, the
    // compared tune follows what the box now holds.
    void BoxTransferred();

    // Compare with a second tune; the path is asked for when empty. False
    // when nothing was opened (cancelled, or a file that cannot be read).
    bool CompareWithProject(const QString &path = QString());
    bool CompareWithImage(const QString &path = QString());
    // Reads what the box holds into memory (not into the tune) and compares.
    bool CompareWithBox();
    void StartCompare(const Tune &other, const QString &name);
    void EndCompare();
    const Tune *ComparedTune() const { return m_compare.get(); }
    std::vector<ItemChange> CompareDifferences() const;
    CompareWindow *ComparisonWindow() const { return m_compareWindow; }

    // Takes one item, or every differing item, over from the compared tune as
    // one undo step.
    bool TakeItem(TuneItem item);
    bool TakeAll();

private:
    void noted(const QString &label);
    void afterStep(const HistoryStep &step, bool forward);
    // Takes items over from the compared tune as one step (no item: every
    // difference); false when there is nothing to take.
    bool takeOver(std::optional<TuneItem> item);
    void refreshPanels();
    void refreshCompare();
    void updateActions();

    MainWindow &m_window;
    ProgramState &m_state; // outlives the window
    CVFuelTimingDlg &m_grid;
    LinkPort &m_port;
    EditSession &m_edits;
    TuneHistory m_history;
    BoxContents m_box;
    std::unique_ptr<Tune> m_compare;
    QString m_compareName;
    bool m_comparingWithBox = false;
    QPointer<CompareWindow> m_compareWindow;
};
