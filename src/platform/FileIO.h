#pragma once

#include <QByteArray>
#include <QString>

// Outcome of a file operation: ok, or the operating system's description of
// what went wrong (for the message box that reports it).
struct FileOutcome
{
    bool ok = true;
    QString error;

    static FileOutcome success() { return {}; }
    static FileOutcome failure(const QString &why) { return {false, why}; }
    explicit operator bool() const { return ok; }
};

// Reads a whole file.
FileOutcome ReadWholeFile(const QString &path, QByteArray &bytes);

// Replaces the file's contents with bytes, atomically: the new contents go to
// a temporary file beside it that is renamed over the old one only when every
// byte is on disk, so a failure leaves the old file exactly as it was.
FileOutcome WriteFileAtomically(const QString &path, const QByteArray &bytes);

// Copies a file over another (overwriting it) atomically.
FileOutcome CopyFileAtomically(const QString &from, const QString &to);
