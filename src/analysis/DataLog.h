#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstddef>
#include <vector>

// A data log as the viewer, the map overlay and the fuel correction read it:
// the samples' times and one column of numbers per logged value.
//
// Values are single precision (the logger writes 7 significant digits, so
// nothing is lost) and a field that is missing or not a number is NaN: a
// short line, an empty field or a "1.#INF" from a spreadsheet never stops
// the load, it leaves a gap.
struct DataLog
{
    // Seconds since the first sample, never decreasing (a clock set back
    // while logging holds the time until it passes it again).
    std::vector<double> time;
    // Column names from the header, the DATE/TIME column left out.
    QStringList names;
    // columns[c][row], one vector per name.
    std::vector<std::vector<float>> columns;
    // True when no line carried a date the reader understands: time is then
    // the sample number.
    bool timeIsSampleNumber = false;
    // Wall-clock time of the first sample, as written in the log.
    QString startText;

    std::size_t rowCount() const { return time.size(); }
    int columnCount() const { return static_cast<int>(names.size()); }
    // Index of the named column (case-insensitive, blanks around ignored), or -1.
    int columnIndex(const QString &name) const;
    // The row at or just before t (0 for t before the first sample); -1 when empty.
    std::ptrdiff_t rowAtOrBefore(double t) const;
    // The row whose time is nearest to t; -1 when empty.
    std::ptrdiff_t nearestRow(double t) const;
};

// What reading a log found beyond the samples themselves.
struct DataLogReport
{
    bool ok = false;          // false: the file could not be read or has no header
    QString error;            // why, when not ok
    QChar separator;          // ',' or TAB
    std::size_t lines = 0;    // data lines kept
    std::size_t shortLines = 0;   // lines with fewer fields than the header (missing values are gaps)
    std::size_t longLines = 0;    // lines with more fields (the extra fields are ignored)
    std::size_t badFields = 0;    // fields that were not numbers
    std::size_t undatedLines = 0; // lines whose date could not be read (they keep the previous time)
    std::size_t clockSteps = 0;   // lines dated before the line above them
    bool truncatedLastLine = false; // the file ended inside a line, which was left out
    std::size_t overlongLines = 0;  // lines beyond MaxLineBytes, left out
    int ignoredColumns = 0;         // header columns beyond MaxColumns, not read
    bool stoppedAtLimit = false;    // the log holds more values than MaxValues; the rest was not read
    bool cancelled = false;         // the reader was asked to stop (ok is then false)

    // One line for the user, e.g. "144000 samples; 2 short lines".
    QString summary() const;
};

// Reads a data log written by the logger (comma or tab separated, header
// line, CR LF or LF line ends) or a spreadsheet's copy of one (byte-order
// mark, quoted fields). The file is read in pieces, so a log that is still
// being written (the running session's) is read as far as it goes; a last
// line without its line end is taken as cut short and left out.
//
// Memory: about 4 bytes per value plus 8 per line, whatever the file size.
// Whatever the file holds, reading stays within bounds: at most MaxColumns
// columns, lines of at most MaxLineBytes, and MaxValues values in all (the
// lines beyond are reported, not read).
namespace DataLogLimits {
inline constexpr int MaxColumns = 512;
inline constexpr long long MaxLineBytes = 1 << 20;
inline constexpr long long MaxValues = 80'000'000; // 320 MB of values
} // namespace DataLogLimits

// What a reader on another thread shows of its progress, and how it is
// stopped: it checks `cancel` between pieces of the file.
struct DataLogProgress
{
    std::atomic<qint64> bytesRead{0};
    std::atomic<bool> cancel{false};
};

DataLog ReadDataLog(const QString &path, DataLogReport *report = nullptr, DataLogProgress *progress = nullptr);

// The same from text already in memory (clipboard, tests).
DataLog ParseDataLog(const QByteArray &text, DataLogReport *report = nullptr);
