#pragma once

#include "model/TuneHistory.h"

#include <QObject>

class CommandEnabler;
class EditSession;
class LinkSession;
class ProgramState;
class QAction;
class TuneView;
class WindowPlaces;

// "&Edit" > Undo and Redo of every change to the tune: the history follows
// every edit the session notes, restarts when a whole tune comes in and
// knows which step matches the project file (Modified). An undo or redo is
// replayed through the edit session, so real-time mode writes it to the box.
class UndoCommands : public QObject
{
    Q_OBJECT
public:
    UndoCommands(WindowPlaces &places, TuneView &view, ProgramState &state, const LinkSession &link,
                 EditSession &edits, CommandEnabler &commands);

    TuneHistory &history() { return m_history; }

    void Undo();
    void Redo();

signals:
    // A step was recorded, undone or redone, or the history restarted.
    void changed();

private:
    void noted(const QString &label);
    void afterStep(const HistoryStep &step, bool forward);
    void showLabels();

    TuneView &m_view;
    ProgramState &m_state;
    const LinkSession &m_link;
    EditSession &m_edits;
    TuneHistory m_history;
    QAction *mnuEditUndo = nullptr;
    QAction *mnuEditRedo = nullptr;
};
