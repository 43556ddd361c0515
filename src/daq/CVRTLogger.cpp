#include "daq/CVRTLogger.h"

#include "platform/SaveFileName.h"

#include "daq/GeneralText.h"
#include "platform/FileDialogService.h"
#include "platform/FileIO.h"
#include "platform/MessageBoxService.h"
#include "daq/DaqSettings.h"

#include <QFileInfo>

namespace {

constexpr const char *LineEnd = "\r\n";
constexpr int SaveDialogCsvFilter = 1;
constexpr int SaveDialogTextFilter = 2;

bool tabSeparated(const QString &path)
{
    return path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
}

void appendNumber(QByteArray &line, float v)
{
    char buffer[vnt::GeneralTextCapacity];
    line.append(buffer, vnt::FormatGeneral(v, buffer));
}

} // namespace

CVRTLogger::CVRTLogger(const DaqSettings &prefs, MessageBoxService &messages, FileDialogService &files,
                       const QString &logFolder)
    : m_prefs(prefs), m_messages(messages), m_files(files), m_folder(logFolder)
{
}

CVRTLogger::~CVRTLogger()
{
    discard();
}

const QStringList &CVRTLogger::FixedColumns()
{
    static const QStringList names{QStringLiteral("RPM"),
                                   QStringLiteral("TP"),
                                   QStringLiteral("Timing Mark"),
                                   QStringLiteral("Low Gear Enrichment"),
                                   QStringLiteral("High Gear Enrichment"),
                                   QStringLiteral("Injector Pulsewidth"),
                                   QStringLiteral("Injector Duty")};
    return names;
}

QString CVRTLogger::HeaderLine(const QString &separator) const
{
    QStringList columns = QStringList{QStringLiteral("DATE/TIME")} + FixedColumns();
    for (const auto &input : m_prefs.SortedAnalogDAQInputs())
        columns << input->Name();
    for (const auto &input : m_prefs.SortedDigitalDAQInputs())
        columns << input->Name();
    return columns.join(separator);
}

bool CVRTLogger::CreateNewLogFile()
{
    // The previous run's log: saved, or discarded when the user does not
    // want it; a Cancel keeps it and starts nothing.
    if (!OfferToSaveLog())
        return false;
    discard();

    m_separator = m_prefs.DataLogFormat() != 0 ? QStringLiteral(",") : QStringLiteral("\t");
    m_separatorBytes = m_separator.toLatin1();
    if (!m_file.Create(m_folder, m_separator == QLatin1String(",") ? QStringLiteral(".csv") : QStringLiteral(".txt"))) {
        m_messages.plain(m_parent, m_file.Error());
        return false;
    }
    QByteArray header = HeaderLine(m_separator).toUtf8();
    header.append(LineEnd);
    if (!m_file.Append(header)) {
        const QString why = m_file.Error();
        m_file.Remove();
        m_messages.plain(m_parent, why);
        return false;
    }
    m_logOpen = true;
    m_recording = true;
    m_unsaved = false;
    m_writeFailed = false;
    m_samples = 0;
    return true;
}

void CVRTLogger::SaveLogFile(bool bConfirmPrompt)
{
    save(bConfirmPrompt);
}

bool CVRTLogger::OfferToSaveLog()
{
    if (!HasUnsavedSamples())
        return true;
    const MsgAnswer answer =
        m_messages.show(m_parent, ConfirmSaveMessage(), MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::No) {
        discard();
        return true;
    }
    return answer == MsgAnswer::Yes && save(false) == SaveOutcome::Saved;
}

CVRTLogger::SaveOutcome CVRTLogger::save(bool confirm)
{
    if (!m_logOpen)
        return SaveOutcome::NoLog;
    if (confirm && !m_messages.askYesNo(m_parent, ConfirmSaveMessage()))
        return SaveOutcome::Declined;
    // The file stays open: while the save dialog is up the acquisition goes
    // on ticking and appending, and the copy, taken on this same thread
    // between two ticks, holds whole lines only.
    const SaveOutcome outcome = saveCopy(m_file.Path(), m_separator == QLatin1String(",") ? SaveDialogCsvFilter
                                                                                          : SaveDialogTextFilter);
    if (outcome == SaveOutcome::Saved) {
        if (m_acquiring && m_recording)
            // Saved while real-time mode runs (the exit asks then): it goes
            // on logging, for the exit may yet be called off.
            m_unsaved = false;
        else
            discard();
    }
    return outcome;
}

bool CVRTLogger::SaveCopyOf(const QString &path)
{
    return saveCopy(path, tabSeparated(path) ? SaveDialogTextFilter : SaveDialogCsvFilter) == SaveOutcome::Saved;
}

CVRTLogger::SaveOutcome CVRTLogger::saveCopy(const QString &from, int filter)
{
    // A log has no name of its own: it is named by when it is saved.
    const QString suggested = SaveFileName::Dated(QStringLiteral("datalog"),
                                                  m_clock ? m_clock() : QDateTime::currentDateTime(),
                                                  filter == SaveDialogTextFilter ? QStringLiteral("txt")
                                                                                 : QStringLiteral("csv"));
    const QString path =
        m_files.saveFileSelectingFilter(m_parent, QStringLiteral("Save"), SaveFilter(), filter, suggested);
    if (path.isEmpty())
        return SaveOutcome::Cancelled;
    // The log itself as the target would be deleted right after the copy.
    const bool itself = QFileInfo(path).absoluteFilePath() == QFileInfo(from).absoluteFilePath();
    const FileOutcome copied =
        itself ? FileOutcome::failure(QStringLiteral("that is the datalog itself")) : CopyFileAtomically(from, path);
    if (!copied) {
        m_messages.exclamation(m_parent, QStringLiteral("The datalog could not be saved to %1: %2\n\n"
                                                        "The datalog is kept in %3.")
                                             .arg(path, copied.error, from));
        return SaveOutcome::Failed;
    }
    m_lastSavedPath = path;
    return SaveOutcome::Saved;
}

bool CVRTLogger::Adopt(LeftBehindLog &log)
{
    if (m_logOpen)
        return false;
    m_file.Adopt(log.path, std::move(log.lock));
    m_separator = tabSeparated(log.path) ? QStringLiteral("\t") : QStringLiteral(",");
    m_separatorBytes = m_separator.toLatin1();
    m_logOpen = true;
    m_recording = false;
    m_writeFailed = false;
    m_samples = log.samples;
    m_unsaved = log.samples > 0;
    return true;
}

bool CVRTLogger::MoveLogTo(const QString &path, QString *error)
{
    if (!m_logOpen) {
        *error = QStringLiteral("no datalog was written");
        return false;
    }
    const QString from = m_file.Path();
    const bool moved = m_file.MoveTo(path);
    if (!moved) {
        // Left where it is rather than lost.
        *error = QStringLiteral("%1; the datalog is kept in %2").arg(m_file.Error(), from);
        m_file.Release();
    }
    m_logOpen = m_recording = m_unsaved = m_writeFailed = false;
    return moved;
}

QByteArray CVRTLogger::dataLine(qint32 rpm, float tp, qint32 timingMark, qint32 lowGear, qint32 highGear,
                                float pulseWidth, float duty, const std::vector<float> &inputValues) const
{
    const QByteArray &sep = m_separatorBytes;
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    QByteArray line;
    line.reserve(256);
    line.append(now.toString(QLatin1String(DateTimeFormat)).toLatin1());
    line.append(sep).append(QByteArray::number(rpm));
    line.append(sep);
    appendNumber(line, tp);
    line.append(sep).append(QByteArray::number(timingMark));
    line.append(sep).append(QByteArray::number(lowGear));
    line.append(sep).append(QByteArray::number(highGear));
    line.append(sep);
    appendNumber(line, pulseWidth);
    line.append(sep);
    appendNumber(line, duty);
    for (float value : inputValues) {
        line.append(sep);
        appendNumber(line, value);
    }
    line.append(LineEnd);
    return line;
}

void CVRTLogger::LogEntry(qint32 lRPM, float fTP, qint32 lTimingMark, qint32 lEnrichmentLowGear,
                          qint32 lEnrichmentHighGear, float fInjectorPulseWidth, float fInjectorDuty,
                          const std::vector<float> &inputValues)
{
    if (!IsRecording() || m_writeFailed)
        return;
    m_unsaved = true;
    if (m_file.Append(dataLine(lRPM, fTP, lTimingMark, lEnrichmentLowGear, lEnrichmentHighGear, fInjectorPulseWidth,
                               fInjectorDuty, inputValues))) {
        ++m_samples;
        return;
    }
    // Logging stops here; the lines before stay, whole, for a save.
    m_writeFailed = true;
    m_recording = false;
}

QString CVRTLogger::StoppedReason() const
{
    return WriteFailed() ? QStringLiteral("Datalog stopped: %1").arg(m_file.Error()) : QString();
}

void CVRTLogger::discard()
{
    if (!m_logOpen)
        return;
    m_file.Remove();
    m_logOpen = m_recording = m_unsaved = m_writeFailed = false;
    m_samples = 0;
}
