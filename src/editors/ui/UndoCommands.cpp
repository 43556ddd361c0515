#include "editors/ui/UndoCommands.h"

#include "commands/ui/CommandEnabler.h"
#include "editors/EditSession.h"
#include "link/LinkSession.h"
#include "model/ProgramState.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

#include <QWidget>

UndoCommands::UndoCommands(WindowPlaces &places, TuneView &view, ProgramState &state, const LinkSession &link,
                           EditSession &edits, CommandEnabler &commands)
    : QObject(places.DialogParent()), m_view(view), m_state(state), m_link(link), m_edits(edits),
      m_history(state.tune)
{
    m_history.Reset(!state.Modified());
    mnuEditUndo = NewAction(this, "&Undo", "mnuEditUndo");
    mnuEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuEditRedo = NewAction(this, "&Redo", "mnuEditRedo");
    mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    places.AddAction(MenuPlace::Edit, mnuEditUndo);
    places.AddAction(MenuPlace::Edit, mnuEditRedo);
    commands.Register(Command::Undo, mnuEditUndo);
    commands.Register(Command::Redo, mnuEditRedo);
    connect(mnuEditUndo, &QAction::triggered, this, &UndoCommands::Undo);
    connect(mnuEditRedo, &QAction::triggered, this, &UndoCommands::Redo);

    connect(&state, &ProgramState::editNoted, this, &UndoCommands::noted);
    connect(&state, &ProgramState::replaced, this, [this] {
        m_history.Reset(!m_state.Modified());
        showLabels();
    });
    connect(&state, &ProgramState::saved, this, [this] {
        m_history.MarkSaved();
        showLabels();
    });
    showLabels();
}

void UndoCommands::noted(const QString &label)
{
    if (m_history.Record(label))
        m_state.NoteAtSavePoint(m_history.AtSavePoint());
    showLabels();
}

void UndoCommands::Undo()
{
    if (const HistoryStep *step = m_history.Undo())
        afterStep(*step, false);
}

void UndoCommands::Redo()
{
    if (const HistoryStep *step = m_history.Redo())
        afterStep(*step, true);
    else
        showLabels();
}

void UndoCommands::afterStep(const HistoryStep &step, bool forward)
{
    // Noted (and journalled) before the box hears of it, as every edit is.
    m_state.NoteAtSavePoint(m_history.AtSavePoint());
    m_state.NoteStepped();
    m_edits.Replay(step, forward);
    // Back at what the box holds: nothing is waiting to be sent.
    if (!m_link.RealTimeEnabled() && m_link.Box().ItemsToWrite(m_state.tune).empty())
        m_state.NoteSent();
    m_view.RefreshPanel();
    showLabels();
}

void UndoCommands::showLabels()
{
    mnuEditUndo->setText(m_history.CanUndo() ? QStringLiteral("&Undo ") + m_history.UndoLabel()
                                             : QStringLiteral("&Undo"));
    mnuEditRedo->setText(m_history.CanRedo() ? QStringLiteral("&Redo ") + m_history.RedoLabel()
                                             : QStringLiteral("&Redo"));
    emit changed();
}
