#pragma once

#include "model/MapCatalogue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// What happened to the tune, one entry per event worth going back to.
enum class HistoryKind { Save, BoxWrite, BoxWriteChanges, RealTimeWrites, BoxRead, StockLoad, FuelCorrection, Restore };

struct HistoryEntry
{
    int id = 0;
    QDateTime at;        // UTC
    HistoryKind kind = HistoryKind::Save;
    QString where;       // the file, or the box
    QString hash;        // the snapshot's object
    QString note;        // the tuner's, may be empty
};

// A fuel correction applied to one cell: which log it came from (its key,
// which a saved copy of the running log shares, and the file as it was) and
// how many of the log's rows it used.
struct CorrectionRecord
{
    QDateTime at;
    QString logKey;
    QString logPath;
    qint64 logSize = 0;
    QString logHash; // SHA-256 of the log's bytes
    MapKey map = MapKey::HOFM;
    int entry = 0;
    qint64 rows = 0;
    int historyId = 0;
};

// The history's two text files, one record per line, fields separated by a
// tab; a backslash escapes a tab (\t), a line end (\n) and itself (\\).
//
//   index.tsv        "VNTH 1", then: id, time (ISO 8601 UTC, ms), kind,
//                    where, snapshot hash, note
//   corrections.tsv  "VNTC 1", then: time, log key, log path, log size,
//                    log hash, map key, entry, rows, history id
//
// A line that does not read as a record (a torn last line among them) is
// skipped and counted, never half read.
namespace HistoryIndex {

QString KindName(HistoryKind kind);    // as stored: "save", "box-read", ...
QString KindCaption(HistoryKind kind); // as shown: "Saved", "Read from the Vantrelle", ...
std::optional<HistoryKind> KindFromName(QStringView name);

QString Escape(const QString &text);
QString Unescape(QStringView text);

QByteArray IndexHeader();
QByteArray Line(const HistoryEntry &entry);
QByteArray CorrectionsHeader();
QByteArray Line(const CorrectionRecord &record);

template <typename T> struct Parsed
{
    std::vector<T> records;
    int skipped = 0;
    bool header = false;
};
Parsed<HistoryEntry> ParseIndex(QByteArrayView text);
Parsed<CorrectionRecord> ParseCorrections(QByteArrayView text);

} // namespace HistoryIndex
