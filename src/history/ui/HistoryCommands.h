#pragma once

#include "history/HistoryIndex.h"
#include "shell/MainWindow.h"

#include <QObject>
#include <QPointer>
#include <vector>

class EditSession;
class HistoryRecorder;
class HistoryStore;
class HistoryWindow;
class LinkSession;
class ProgramState;
class Tune;
class TuneJournal;
struct UiServices;

// The tune's journal and history in the window: every change goes to the
// journal as it is made (and to disk before anything reaches the box); what
// happens to the tune becomes history entries; Tools > History... shows
// them; a journal a crashed run left is offered at start-up. A normal exit
// removes this run's journal.
class HistoryCommands : public QObject, public UnloadParticipant
{
    Q_OBJECT
public:
    struct Parts
    {
        MainWindow &window;
        ProgramState &state;
        LinkSession &link;
        EditSession &edits;
        UiServices &ui;
        TuneJournal &journal;
        HistoryStore &store;
    };
    explicit HistoryCommands(const Parts &parts);
    ~HistoryCommands() override;

    HistoryRecorder &recorder() { return *m_recorder; }
    HistoryWindow &ShowHistory();
    HistoryWindow *historyWindow() const;

    // Starts this run's journal, after offering the journals of runs that
    // ended without closing theirs: restore, open beside the tune to
    // compare (compareWith), discard, or keep for the next start.
    void StartJournal(const std::function<void(const Tune &, const QString &)> &compareWith);

    // A fuel correction went into the tune: its entry, and the cells and
    // samples it used, so the same samples never correct them again.
    void CorrectionApplied(const std::vector<CorrectionRecord> &cells, const QString &logPath);

    bool MayUnload() override { return true; }
    void Unloading() override;

private:
    void offerLeftBehind(const std::function<void(const Tune &, const QString &)> &compareWith);

    MainWindow &m_window;
    ProgramState &m_state;
    LinkSession &m_link;
    EditSession &m_edits;
    UiServices &m_ui;
    TuneJournal &m_journal;
    HistoryStore &m_store;
    HistoryRecorder *m_recorder = nullptr;
    QPointer<HistoryWindow> m_historyWindow;
    bool m_failureTold = false;
};
