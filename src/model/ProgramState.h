#pragma once

#include "model/Tune.h"

#include <QObject>
#include <QString>

// The tune of this run and what is known of it: whether it differs from the
// project file last loaded or saved (Modified), whether it holds edits the
// box has not been sent (ChangesNotSent), and what was unusual about the file
// it came from. One instance is created by the composition root (or by a
// tool or a test) and handed to everything that needs it.
//
// The flags change only through the transitions below, so the rules that set
// and clear them stay in one place; the other states of a run have owners of
// their own (the link session: connection, real-time mode and what the box
// holds; the trace marks: what the trace has marked).
class ProgramState : public QObject
{
    Q_OBJECT
public:
    Tune tune;

    // The panel index the main window shows, 0..14; the window alone sets it.
    int CurrentPanel = 0;

    bool Modified() const { return m_modified; }
    bool ChangesNotSent() const { return m_changesNotSent; }
    // What was unusual about the file the tune was last loaded from (short,
    // wrong format byte), for the warnings shown before the tune is written
    // to the box; empty when the tune came from a sound file.
    const QString &TuneOriginWarning() const { return m_originWarning; }

    // Every editor ends an accepted change this way: the tune now differs
    // from its file, and from the box unless the change went out in real
    // time. Listeners (the undo history) hear of it with the step's name.
    void NoteEdit(const QString &step, bool sentToBox);
    // A change that did not reach the box: a value real time cannot write,
    // a real-time write that failed.
    void NoteNotSent();
    // The box holds the tune as it is (a whole read or write went through).
    void NoteSent();
    // A whole tune came in from the box (a read, or part of one): what the
    // box gave is no edit to undo.
    void NoteReplaced();
    // A project file was loaded into the tune: it matches its file.
    void NoteLoaded(const QString &originWarning);
    // The tune was taken up again as a run that ended without closing left
    // it, flags and all.
    void NoteRecovered(bool modified, bool changesNotSent);
    // Undo or redo took the tune a step back or forth.
    void NoteStepped();
    // The tune was written to its project file.
    void NoteSaved();
    // The undo history knows whether the tune is at the state of its file.
    void NoteAtSavePoint(bool atSavePoint);
    // A run starts: nothing is modified, nothing waits to be sent.
    void Reset();

signals:
    // After NoteEdit, with the step's name (empty when the editor gives none).
    void editNoted(const QString &step);
    // Modified or ChangesNotSent changed.
    void flagsChanged();
    // The tune was replaced as a whole (NoteReplaced, NoteLoaded).
    void replaced();
    // The tune was written to its project file.
    void saved();
    // The tune's contents changed, whichever way (after the signals above).
    void contentsChanged();

private:
    void setFlags(bool modified, bool changesNotSent);

    bool m_modified = false;
    bool m_changesNotSent = false;
    QString m_originWarning;
};
