#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <memory>
#include <vector>

class QFile;

// The file a data log is written to while it runs. It holds whole lines only:
// each line goes to the operating system as one write, and a write that fails
// or comes up short (full disk, I/O error) is cut back to where the line began
// and ends the log, so nothing is ever appended to half a line. A log whose
// file was removed while it ran is put back from the open handle.
//
// While this process owns the log, a lock file (the log's name + ".lock")
// sits beside it, so another instance never takes it for one left behind.
class DataLogFile
{
public:
    DataLogFile();
    // Closes the handle and releases the lock; the file stays.
    ~DataLogFile();
    DataLogFile(const DataLogFile &) = delete;
    DataLogFile &operator=(const DataLogFile &) = delete;

    // A new, empty, locked file "vnt" + six random characters + suffix in
    // folder (created when missing), open for appending. False with Error().
    bool Create(const QString &folder, const QString &suffix);
    // Takes over a file that is already locked for this process (a log left
    // behind by an earlier run); nothing is appended to it.
    void Adopt(const QString &path, std::unique_ptr<QLockFile> lock);

    // Appends one line (its line end included), all of it or nothing. False
    // when the log has failed (now or earlier): Error() says why.
    bool Append(const QByteArray &line);

    // Deletes the file and its lock.
    void Remove();
    // Moves the file to path (an existing file there is replaced at once)
    // and releases the lock.
    bool MoveTo(const QString &path);
    // Closes the file and releases the lock, leaving the file where it is.
    void Release();

    QString Path() const { return m_path; }
    bool IsOpen() const { return m_file != nullptr; }
    // Why the last step failed; once an append failed, the log takes no more.
    QString Error() const { return m_error; }

private:
    bool openForAppending();
    void fail(const QString &why);
    void putBackRemovedFile();
    void unlock();

    QString m_path;
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_size = 0;
    bool m_failed = false;
    QString m_error;
};

// The folder the running data logs are written to: "datalogs" in the user's
// application data folder, which survives a reboot.
QString RunningLogFolder();

// A log an earlier run left in the folder without closing it (the program
// crashed, was killed or lost power), locked for this process while it is
// offered.
struct LeftBehindLog
{
    QString path;
    qint64 samples = 0; // data lines below the header
    QDateTime lastWritten;
    std::unique_ptr<QLockFile> lock;
};

// The logs in folder that no running instance owns, oldest first, each cut
// back to its last whole line (a power loss can leave half a line or zeros).
std::vector<LeftBehindLog> FindLeftBehindLogs(const QString &folder);

// Deletes a left-behind log and its lock.
void RemoveLeftBehindLog(LeftBehindLog &log);
