#pragma once

#include "daq/DataLogFile.h"
#include "daq/DataLogSink.h"

#include <QDateTime>
#include <QString>
#include <functional>

class DaqSettings;
class FileDialogService;
class MessageBoxService;
class QWidget;

// The data log of real-time mode. While the mode runs, every tick appends a
// line to the running log, a "vnt" file in the user's data folder
// (RunningLogFolder(), which survives a reboot); saving copies that file to
// a file of the user's choice. A log that was never saved is offered before
// anything discards it, and one a crash left behind is offered at the next
// start (LogRecovery).
//
// File format: text, CR LF line ends, no quoting. A header line (DATE/TIME,
// RPM, TP, Timing Mark, Low Gear Enrichment, High Gear Enrichment, Injector
// Pulsewidth, Injector Duty, the enabled analog inputs by channel, then the
// enabled digital inputs), then one line per tick. Separator "," or TAB
// (DataLogFormat 0), fixed when the log starts. The file holds whole lines
// only (DataLogFile). Dates are written 2026-12-06 14:03:27.125 and numbers
// with a point, whatever the regional settings.
class CVRTLogger : public DataLogSink
{
public:
    using Clock = std::function<QDateTime()>;

    static QString ConfirmSaveMessage() { return QStringLiteral("Do you wish to save the last datalog?"); }
    static QString SaveFilter()
    {
        return QStringLiteral("Comma Separated Values (*.csv)|*.csv|Tab Separated Values (*.txt)|*.txt|"
                              "All Files (*.*)|*.*");
    }
    static constexpr const char *DateTimeFormat = "yyyy-MM-dd HH:mm:ss.zzz";

    CVRTLogger(const DaqSettings &prefs, MessageBoxService &messages, FileDialogService &files,
               const QString &logFolder = RunningLogFolder());
    // Discards the log: its file is deleted. Callers offer an unsaved log
    // first (OfferToSaveLog).
    ~CVRTLogger() override;
    CVRTLogger(const CVRTLogger &) = delete;
    CVRTLogger &operator=(const CVRTLogger &) = delete;

    // The parent of the logger's message boxes and dialogs.
    void SetDialogParent(QWidget *parent) { m_parent = parent; }
    // The time stamped on each line (tests set a fixed clock).
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    QString LogFolder() const { return m_folder; }

    // Starts a new log (real-time mode switching on): offers to save the log
    // of the previous run (OfferToSaveLog; on Cancel, or a save that did not
    // happen, nothing starts and false is returned), then creates the new
    // file and writes the header. On failure the platform's message is shown
    // and no log is written this run; returns whether a log is recording.
    bool CreateNewLogFile();
    // Offers to keep the current log: with bConfirmPrompt the user is asked
    // first (Yes, No); then the save dialog; the log is copied to the chosen
    // file (never left half-written there) and discarded, unless real-time
    // mode still records it: it then goes on, its samples so far counted as
    // saved. A cancelled dialog keeps the log for a later save; a failed copy
    // shows why and keeps it too. Either way a recording log misses no line.
    void SaveLogFile(bool bConfirmPrompt);
    // Before a step that would discard the log (exit, a new log): when it
    // holds samples that were never saved, asks whether to save it with Yes,
    // No and Cancel. True when the step may go on: nothing to lose, saved, or
    // No (the log is then discarded). Cancel, or a save cancelled or failed,
    // gives false and keeps the log.
    bool OfferToSaveLog();
    // The file the last save wrote (empty before the first).
    QString LastSavedPath() const { return m_lastSavedPath; }
    // Saves a copy of any log file through the save dialog; true when saved.
    bool SaveCopyOf(const QString &path);
    // Takes over a log an earlier run left behind as the current log (not
    // recording): it can be saved from the menu and is offered on exit.
    // False when a log is already held.
    bool Adopt(LeftBehindLog &log);
    // Ends the log by moving its file to path, an existing file there
    // replaced at once (the command-line log). On failure error says why and
    // where the log was left.
    bool MoveLogTo(const QString &path, QString *error);

    // Appends one data line while the log records. A write that fails stops
    // the log for good (WriteFailed); the file keeps its whole lines.
    void LogEntry(qint32 lRPM, float fTP, qint32 lTimingMark, qint32 lEnrichmentLowGear, qint32 lEnrichmentHighGear,
                  float fInjectorPulseWidth, float fInjectorDuty, const std::vector<float> &inputValues) override;
    QString StoppedReason() const override;
    // Whether real-time mode runs, so ticks may append at any time (a save
    // then keeps the log going).
    void SetAcquiring(bool on) { m_acquiring = on; }

    bool IsLogOpen() const { return m_logOpen; }
    bool IsRecording() const { return m_logOpen && m_recording; }
    bool HasUnsavedSamples() const { return m_logOpen && m_unsaved; }
    bool WriteFailed() const { return m_logOpen && m_writeFailed; }
    // Why the log stopped, e.g. "No space left on device".
    QString WriteError() const { return m_file.Error(); }
    qint64 Samples() const { return m_samples; }
    QString LogFileName() const { return m_logOpen ? m_file.Path() : QString(); }
    QString Separator() const { return m_separator; }

    // The header line, without line end, for the inputs as they are now.
    QString HeaderLine(const QString &separator) const;
    // The log's own columns after DATE/TIME and before the inputs: RPM, TP
    // and the traced and computed figures.
    static const QStringList &FixedColumns();

private:
    enum class SaveOutcome { NoLog, Declined, Cancelled, Failed, Saved };
    SaveOutcome save(bool confirm);
    SaveOutcome saveCopy(const QString &from, int filter);
    QByteArray dataLine(qint32 rpm, float tp, qint32 timingMark, qint32 lowGear, qint32 highGear, float pulseWidth,
                        float duty, const std::vector<float> &inputValues) const;
    // Closes the log and deletes its file.
    void discard();

    const DaqSettings &m_prefs;
    MessageBoxService &m_messages;
    FileDialogService &m_files;
    QString m_folder;
    QString m_lastSavedPath;
    QWidget *m_parent = nullptr;
    Clock m_clock;

    DataLogFile m_file;
    bool m_logOpen = false;     // a log exists that was neither saved nor discarded
    bool m_recording = false;   // ticks append to it
    bool m_unsaved = false;     // it holds samples never saved
    bool m_writeFailed = false; // a write failed: logging stopped
    bool m_acquiring = false;   // real-time mode runs
    qint64 m_samples = 0;
    QString m_separator = QStringLiteral(",");
    QByteArray m_separatorBytes = ",";
};
