#pragma once

#include "model/Tune.h"

#include <QString>
#include <functional>

// The shared program objects of one run: the tune and the global flags every
// part reads and writes. One instance is created when the main window loads
// (or by a tool or a test) and handed to everything that needs it.
struct ProgramState
{
    Tune tune;

    bool Modified = false;             // tune differs from the project file last loaded or saved
    bool ChangesNotSent = false;       // edited outside real-time mode since the last read or write
    bool RealTimeEnabled = false;      // real-time mode is on
    bool StagedRevLimitActive = false; // the box holds the staged rev limit

    int CurrentPanel = 0;              // panel index the main window shows, 0..14

    // What was unusual about the file the tune was last loaded from (short,
    // wrong format byte), for the warnings shown before the tune is written
    // to the box; empty when the tune came from a sound file, the box or a
    // stock program.
    QString TuneOriginWarning;

    // Told of every noted edit, with the name of the step when the editor
    // gives one (the undo history listens here).
    std::function<void(const QString &step)> EditNoted;

    // Every editor ends an accepted change this way: the tune now differs
    // from its file, and from the box unless the change went out in real time.
    void NoteEdit(const QString &step = QString())
    {
        Modified = true;
        if (!RealTimeEnabled)
            ChangesNotSent = true;
        if (EditNoted)
            EditNoted(step);
    }
};
