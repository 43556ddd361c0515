#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringList>

// Outcome of a file operation: ok, or a message naming the file and saying
// what went wrong, in the operating system's words where it has them (for the
// message box that reports it).
struct FileOutcome
{
    bool ok = true;
    QString error;

    static FileOutcome success() { return {}; }
    static FileOutcome failure(const QString &why) { return {false, why}; }
    explicit operator bool() const { return ok; }
};

// Every file the program reads or writes goes through here, so that these
// rules hold everywhere:
// - reads are bounded and take regular files only (a device such as
//   /dev/zero never ends, a pipe may block forever);
// - writes go to a temporary file beside the target that replaces it only
//   once every byte is on disk, so a failure leaves the old file exactly as
//   it was;
// - an existing target that is not a regular file (a folder, pipe, device or
//   socket) is refused, never replaced by a regular file.

// Refuses a path that exists and is not a regular file, before it is opened:
// opening a pipe without a writer blocks, and a device may never end. A
// missing file passes: the open that follows reports it in the system's words.
FileOutcome CheckReadableFile(const QString &path);

// Reads at most maxBytes from the start of a regular file.
FileOutcome ReadFileHead(const QString &path, qint64 maxBytes, QByteArray &bytes);

// Refuses an output that exists and is not a regular file, or that is the
// same file as one of the inputs (by another path, a symbolic or a hard link
// too). Writers call it before anything is written, or anything sent.
FileOutcome CheckOutputFile(const QString &output, const QStringList &inputs = {});

// Replaces the file's contents with bytes, atomically.
FileOutcome WriteFileAtomically(const QString &path, const QByteArray &bytes);

// Copies a file over another (overwriting it) atomically, in pieces, so a
// large file never sits in memory whole. A copy onto itself is refused.
FileOutcome CopyFileAtomically(const QString &from, const QString &to);

// A file replaced atomically, written piece by piece: the pieces go to a
// temporary file beside the target, which takes the target's place only on
// Commit(). Discarded or destroyed without a commit, it leaves the target as
// it was and no file where there was none. A symbolic link is followed: the
// file it points to is replaced, the link stays.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path);

    // Refuses a target that is not a regular file; creates the temporary file.
    FileOutcome Open();
    // Writes and flushes, so a full disk shows here and not after the commit.
    FileOutcome Write(const QByteArray &bytes);
    // Appends a regular file's contents from offset on.
    FileOutcome AppendFrom(const QString &source, qint64 offset);
    FileOutcome Commit();
    void Discard();
    bool IsOpen() const { return m_file.isOpen(); }

private:
    FileOutcome failed();

    QString m_path;
    QSaveFile m_file;
};
