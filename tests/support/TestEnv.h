#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Tune;

namespace testenv {

// Points the user's settings, data, state, runtime and temporary folders into
// root, so tests never read or write the real preferences or data logs.
void isolate(const QString &root);

// Folder of the built executables (and of vntres.dll).
QString binDir();
// Path of one built executable.
QString binary(const QString &name);

struct ProcessResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool finished = false;
};

// Runs a program to completion (at most timeoutMs) and collects its output.
ProcessResult run(const QString &program, const QStringList &args, int timeoutMs = 30000,
                  const QByteArray &stdinData = {});
// The same with standard output written to the file stdoutPath (/dev/full, say).
ProcessResult runInto(const QString &stdoutPath, const QString &program, const QStringList &args);

QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

// A named pipe at path; true when made.
bool makeFifo(const QString &path);
// Whether path itself (not what a link points to) is a named pipe.
bool isFifo(const QString &path);

// Gives t rising axes, so that a mix-up of cells or axes shows: fuel RPM
// 500 .. 8000 (raw 10, 20, .. 160) and load 0, 16, .. 240; the timing axes
// from raw timingRpm in steps of rpmStep and from load timingTp in steps of
// tpStep.
void risingAxes(Tune &t, int timingRpm = 20, int rpmStep = 10, int timingTp = 0, int tpStep = 10);

} // namespace testenv
