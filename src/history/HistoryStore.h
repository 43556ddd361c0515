#pragma once

#include "history/HistoryIndex.h"
#include "model/Tune.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The tune's history in the user's data folder, kept across runs and read
// by the application and the command-line tool alike:
//
//   history/index.tsv        the entries (HistoryIndex)
//   history/corrections.tsv  the fuel corrections applied, cell by cell
//   history/objects/ab/abc…  the snapshots (HistoryObjects)
//
// An entry's snapshot is on disk before its line is added, and each line
// reaches the disk itself before Add returns, so a crash leaves at most a
// torn last line, which readers skip.
class HistoryStore
{
public:
    struct Snapshot
    {
        Tune tune;
        QByteArray image;
    };

    explicit HistoryStore(const QString &folder);
    static QString DefaultFolder();

    // Reads the entries and corrections there are (a damaged line is
    // skipped and counted).
    void Load();
    QString Folder() const { return m_folder; }

    // A new entry for the tune as it is and the box image it makes; its id,
    // or nothing when it could not be written (Error says why).
    std::optional<int> Add(HistoryKind kind, const QString &where, const Tune &tune, const QByteArray &image,
                           const QString &note = QString());
    bool SetNote(int id, const QString &note);
    bool AddCorrections(const std::vector<CorrectionRecord> &records);

    const std::vector<HistoryEntry> &Entries() const { return m_entries; }
    const HistoryEntry *Entry(int id) const;
    const std::vector<CorrectionRecord> &Corrections() const { return m_corrections; }
    std::optional<Snapshot> SnapshotOf(int id) const;

    int SkippedLines() const { return m_skipped; }
    QString Error() const { return m_error; }

private:
    std::optional<QByteArray> blob(const QString &hash, int depth = 0) const;
    bool appendLine(const QString &file, const QByteArray &header, const QByteArray &line);
    QString objectsFolder() const;

    QString m_folder;
    std::vector<HistoryEntry> m_entries;
    std::vector<CorrectionRecord> m_corrections;
    int m_skipped = 0;
    QString m_error;
    // The blob written last, which the next one is stored as a change from.
    QString m_lastHash;
    QByteArray m_lastBlob;
    int m_lastDepth = 0;
};
