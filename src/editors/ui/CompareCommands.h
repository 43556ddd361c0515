#pragma once

#include "editors/ui/CompareWindow.h"
#include "link/ui/TuneTransfer.h"
#include "model/Tune.h"
#include "model/TuneHistory.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class CommandEnabler;
class CVFuelTimingDlg;
class EditSession;
class LinkPort;
class LinkSession;
class MainWindow;
class ProgramState;
struct UiServices;

// Tools > "Co&mpare": a second tune beside the one being edited (a project
// file, a raw image or what the box holds), its differences listed in the
// compare window and marked on the grid, and the commands that take its
// values over through the edit session. A comparison with the box follows
// every read, write and real-time write.
class CompareCommands : public QObject
{
    Q_OBJECT
public:
    CompareCommands(MainWindow &window, ProgramState &state, LinkSession &link, LinkPort &port, UiServices &ui,
                    CVFuelTimingDlg &grid, EditSession &edits, CommandEnabler &commands);
    ~CompareCommands() override;

    // Compare with a second tune; the path is asked for when empty. False
    // when nothing was opened (cancelled, or a file that cannot be read).
    bool CompareWithProject(const QString &path = QString());
    bool CompareWithImage(const QString &path = QString());
    // Reads what the box holds into memory (not into the tune) and compares.
    bool CompareWithBox();
    void StartCompare(const Tune &other, const QString &name);
    void EndCompare();
    bool Comparing() const { return m_compare != nullptr; }
    const Tune *ComparedTune() const { return m_compare.get(); }
    std::vector<ItemChange> CompareDifferences() const;
    CompareWindow *ComparisonWindow() const { return m_compareWindow; }

    // Takes one item, or every differing item, over from the compared tune as
    // one undo step.
    bool TakeItem(TuneItem item);
    bool TakeAll();

signals:
    // A comparison started or ended.
    void changed();

private:
    // What the box holds changed: a comparison with the box follows it.
    void boxChanged();
    // Takes items over as one step (no item: every difference); false when
    // there is nothing to take.
    bool takeOver(std::optional<TuneItem> item);
    void refresh();

    MainWindow &m_window;
    ProgramState &m_state;
    LinkSession &m_link;
    LinkPort &m_port;
    UiServices &m_ui;
    CVFuelTimingDlg &m_grid;
    EditSession &m_edits;
    std::unique_ptr<Tune> m_compare;
    QString m_compareName;
    bool m_comparingWithBox = false;
    QPointer<CompareWindow> m_compareWindow;
};
