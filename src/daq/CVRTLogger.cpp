#include "daq/CVRTLogger.h"

#include "daq/GeneralText.h"
#include "platform/FileDialogService.h"
#include "platform/FileIO.h"
#include "platform/MessageBoxService.h"
#include "platform/TempFiles.h"
#include "shell/prefs/CVUserPrefs.h"

namespace {

constexpr const char *LineEnd = "\r\n";
constexpr int SaveDialogCsvFilter = 1;
constexpr int SaveDialogTextFilter = 2;

void appendNumber(QByteArray &line, float v)
{
    char buffer[vnt::GeneralTextCapacity];
    line.append(buffer, vnt::FormatGeneral(v, buffer));
}

} // namespace

CVRTLogger::CVRTLogger(const CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files)
    : m_prefs(prefs), m_messages(messages), m_files(files)
{
}

CVRTLogger::~CVRTLogger()
{
    discard();
}

QString CVRTLogger::HeaderLine(const QString &separator) const
{
    QStringList columns{QStringLiteral("DATE/TIME"),
                        QStringLiteral("RPM"),
                        QStringLiteral("TP"),
                        QStringLiteral("Timing Mark"),
                        QStringLiteral("Low Gear Enrichment"),
                        QStringLiteral("High Gear Enrichment"),
                        QStringLiteral("Injector Pulsewidth"),
                        QStringLiteral("Injector Duty")};
    for (const auto &input : m_prefs.SortedAnalogDAQInputs())
        columns << input->Name();
    for (const auto &input : m_prefs.SortedDigitalDAQInputs())
        columns << input->Name();
    return columns.join(separator);
}

bool CVRTLogger::CreateNewLogFile()
{
    // The previous run's log: saved, or discarded when the user does not want
    // it. One the user wanted but that could not be copied stays on disk.
    if (save(true) == SaveOutcome::Failed)
        abandon();
    else
        discard();

    m_separator = m_prefs.DataLogFormat() != 0 ? QStringLiteral(",") : QStringLiteral("\t");
    m_separatorBytes = m_separator.toLatin1();

    QString error;
    const QString name = CreateTempFile(QStringLiteral("vnt"), &error);
    if (name.isEmpty()) {
        m_messages.plain(m_parent, error);
        return false;
    }
    m_tempFileName = name;
    QByteArray header = HeaderLine(m_separator).toUtf8();
    header.append(LineEnd);
    if (!reopenForAppend() || m_file->write(header) != header.size()) {
        error = m_file ? m_file->errorString() : error;
        m_file.reset();
        DeleteFile(m_tempFileName);
        m_tempFileName.clear();
        m_messages.plain(m_parent, error);
        return false;
    }
    m_logOpen = true;
    return true;
}

bool CVRTLogger::reopenForAppend()
{
    m_file = std::make_unique<QFile>(m_tempFileName);
    // Unbuffered: every line reaches the operating system as it is written.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return false;
    }
    return true;
}

void CVRTLogger::SaveLogFile(bool bConfirmPrompt)
{
    save(bConfirmPrompt);
}

CVRTLogger::SaveOutcome CVRTLogger::save(bool confirm)
{
    if (!m_logOpen)
        return SaveOutcome::NoLog;
    if (confirm && !m_messages.askYesNo(m_parent, ConfirmSaveMessage()))
        return SaveOutcome::Declined;
    const int filter = m_prefs.DataLogFormat() != 0 ? SaveDialogCsvFilter : SaveDialogTextFilter;
    const QString path = m_files.saveFileSelectingFilter(m_parent, QStringLiteral("Save"), SaveFilter(), filter);
    if (path.isEmpty())
        return SaveOutcome::Cancelled;

    m_file.reset(); // closed for copying
    const FileOutcome copied = CopyFileAtomically(m_tempFileName, path);
    if (!copied) {
        reopenForAppend();
        m_messages.exclamation(m_parent, QStringLiteral("The datalog could not be saved to %1: %2\n\n"
                                                        "The datalog is kept in %3.")
                                             .arg(path, copied.error, m_tempFileName));
        return SaveOutcome::Failed;
    }
    discard();
    return SaveOutcome::Saved;
}

void CVRTLogger::LogEntry(qint32 lRPM, float fTP, qint32 lTimingMark, qint32 lEnrichmentLowGear,
                          qint32 lEnrichmentHighGear, float fInjectorPulseWidth, float fInjectorDuty)
{
    if (!m_logOpen || !m_file)
        return;
    const QByteArray &sep = m_separatorBytes;
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    QByteArray line;
    line.reserve(256);
    line.append(now.toString(QLatin1String(DateTimeFormat)).toLatin1());
    line.append(sep).append(QByteArray::number(lRPM));
    line.append(sep);
    appendNumber(line, fTP);
    line.append(sep).append(QByteArray::number(lTimingMark));
    line.append(sep).append(QByteArray::number(lEnrichmentLowGear));
    line.append(sep).append(QByteArray::number(lEnrichmentHighGear));
    line.append(sep);
    appendNumber(line, fInjectorPulseWidth);
    line.append(sep);
    appendNumber(line, fInjectorDuty);
    for (const auto &input : m_prefs.SortedAnalogDAQInputs()) {
        line.append(sep);
        appendNumber(line, input->Value());
    }
    for (const auto &input : m_prefs.SortedDigitalDAQInputs()) {
        line.append(sep);
        appendNumber(line, input->Value());
    }
    line.append(LineEnd);
    // One write per line; a failure is left for the next tick to retry.
    m_file->write(line);
}

void CVRTLogger::discard()
{
    if (!m_logOpen)
        return;
    m_file.reset();
    DeleteFile(m_tempFileName);
    m_tempFileName.clear();
    m_logOpen = false;
}

void CVRTLogger::abandon()
{
    m_file.reset();
    m_tempFileName.clear();
    m_logOpen = false;
}
