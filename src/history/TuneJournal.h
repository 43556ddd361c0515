#pragma once

#include "history/JournalFormat.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QFile;
class QTimer;

// The edit journal of this run: after every change of the tune (or of its
// file name and flags) a record goes to a file in the user's data folder, at
// once, before the change is shown as done; the records reach the disk
// itself (fsync) within a second, and at once before anything is written to
// the box (Sync). A run that ends normally removes its journal; one that
// crashed leaves it, and the next start offers it (FindLeftBehindJournals).
//
// The journal asks its source for the state whenever told to look
// (Capture): it compares with what it wrote last and writes only a
// difference, so any path that changes the tune is recorded, whichever way
// it went. A journal grown past CompactBytes is rewritten as one record.
class TuneJournal : public QObject
{
    Q_OBJECT
public:
    using StateSource = std::function<JournalFormat::State()>;
    static constexpr int SyncIntervalMs = 1000;
    static constexpr qint64 CompactBytes = 1 << 20;
    // The most a journal file is read: far beyond what compaction lets grow.
    static constexpr qint64 MaxReadBytes = 16 << 20;

    TuneJournal(const QString &folder, StateSource source, QObject *parent = nullptr);
    // Leaves the file where it is: only Finish removes it.
    ~TuneJournal() override;

    // Creates this run's journal (taking its lock) with the first record.
    bool Start();
    // Writes a record when the state differs from the last one written.
    void Capture();
    // Puts what was written on the disk itself, when anything waits.
    void Sync();
    // The run ended normally: the journal goes.
    void Finish();

    QString Folder() const { return m_folder; }
    QString Path() const { return m_path; }
    int Records() const { return m_records; }
    bool Failed() const { return !m_error.isEmpty(); }
    QString Error() const { return m_error; }

    // The folder in the user's data folder the program keeps its journals in.
    static QString DefaultFolder();

signals:
    // Writing the journal failed (once): the run goes on without it.
    void failed(const QString &why);

private:
    bool append(const QByteArray &bytes);
    bool compact();
    void fail(const QString &why);

    QString m_folder;
    StateSource m_source;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QFile> m_file;
    JournalFormat::State m_last;
    int m_records = 0;
    bool m_unsynced = false;
    QString m_error;
    QTimer *m_syncTimer = nullptr;
};

// A journal a run left behind, with its owner's lock now held by this run.
struct LeftBehindJournal
{
    QString path;
    JournalFormat::Replay replay;
    std::unique_ptr<QLockFile> lock;
};

// The journals in folder whose runs ended without closing them, oldest
// first; a journal of a run still going is never among them.
std::vector<LeftBehindJournal> FindLeftBehindJournals(const QString &folder, int projectSize);
// Removes a left-behind journal and its lock.
void RemoveJournal(LeftBehindJournal &journal);
