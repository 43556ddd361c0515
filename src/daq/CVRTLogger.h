#pragma once

#include "daq/DataLogSink.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <functional>
#include <memory>

class CVUserPrefs;
class FileDialogService;
class MessageBoxService;
class QWidget;

// The data log of real-time mode. While the mode runs, every tick appends a
// line to a temporary file ("vnt" prefix, the user's temporary folder);
// saving copies that file to a file of the user's choice.
//
// File format: text, CR LF line ends, no quoting. A header line (DATE/TIME,
// RPM, TP, Timing Mark, Low Gear Enrichment, High Gear Enrichment, Injector
// Pulsewidth, Injector Duty, the enabled analog inputs by channel, then the
// enabled digital inputs), then one line per tick. Separator "," or TAB
// (DataLogFormat 0), fixed when the log starts. Each line goes to the
// operating system as one write, so a crash loses at most the line being
// written. Dates are written 2026-12-06 14:03:27.125 and numbers with a
// point, whatever the regional settings.
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

    CVRTLogger(const CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files);
    // Discards an unsaved log: its temporary file is deleted.
    ~CVRTLogger() override;
    CVRTLogger(const CVUserPrefs &) = delete;
    CVRTLogger &operator=(const CVRTLogger &) = delete;

    // The parent of the logger's message boxes and dialogs.
    void SetDialogParent(QWidget *parent) { m_parent = parent; }
    // The time stamped on each line (tests set a fixed clock).
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Starts a new log (real-time mode switching on): offers to save the log
    // of the previous run, discards it when it was not saved, then opens a
    // new temporary file and writes the header. On failure the platform's
    // message is shown and no log is written this run; returns whether a
    // log is open.
    bool CreateNewLogFile();
    // Offers to keep the current log: with bConfirmPrompt the user is asked
    // first; then the save dialog; the log is copied to the chosen file
    // (never left half-written there) and discarded. A cancelled dialog
    // keeps the log open for a later save; a failed copy shows why and keeps
    // it too.
    void SaveLogFile(bool bConfirmPrompt);
    // Appends one data line when a log is open; a failing write is ignored.
    void LogEntry(qint32 lRPM, float fTP, qint32 lTimingMark, qint32 lEnrichmentLowGear, qint32 lEnrichmentHighGear,
                  float fInjectorPulseWidth, float fInjectorDuty) override;

    bool IsLogOpen() const { return m_logOpen; }
    QString TempFileName() const { return m_tempFileName; }
    QString Separator() const { return m_separator; }

    // The header line, without line end, for the inputs as they are now.
    QString HeaderLine(const QString &separator) const;

private:
    enum class SaveOutcome { NoLog, Declined, Cancelled, Failed, Saved };
    SaveOutcome save(bool confirm);
    // Closes the log and deletes its temporary file.
    void discard();
    // Closes the log and leaves its temporary file on disk.
    void abandon();
    bool reopenForAppend();

    const CVUserPrefs &m_prefs;
    MessageBoxService &m_messages;
    FileDialogService &m_files;
    QWidget *m_parent = nullptr;
    Clock m_clock;

    QString m_tempFileName;
    std::unique_ptr<QFile> m_file; // null once closed for copying
    bool m_logOpen = false;
    QString m_separator = QStringLiteral(",");
    QByteArray m_separatorBytes = ",";
};
