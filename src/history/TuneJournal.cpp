#include "history/TuneJournal.h"

#include "platform/FileIO.h"
#include "platform/OwnerLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr const char *Suffix = ".vjr";

} // namespace

TuneJournal::TuneJournal(const QString &folder, StateSource source, QObject *parent)
    : QObject(parent), m_folder(folder), m_source(std::move(source))
{
    m_syncTimer = new QTimer(this);
    m_syncTimer->setSingleShot(true);
    m_syncTimer->setInterval(SyncIntervalMs);
    connect(m_syncTimer, &QTimer::timeout, this, [this] {
        // The file name may change without an edit (a failed Save As takes
        // its name back): look once more, then put everything on disk.
        Capture();
        Sync();
    });
}

TuneJournal::~TuneJournal()
{
    Sync();
}

QString TuneJournal::DefaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath(QStringLiteral("journal"));
}

bool TuneJournal::Start()
{
    if (!QDir().mkpath(m_folder)) {
        fail(QStringLiteral("The folder %1 could not be created.").arg(QDir::toNativeSeparators(m_folder)));
        return false;
    }
    // One journal per run, named by the process: its lock is free only once
    // the process is gone.
    const QString name = QStringLiteral("run-%1-%2%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch())
                             .arg(QLatin1String(Suffix));
    m_path = QDir(m_folder).filePath(name);
    m_lock = OwnerLock::Take(m_path);
    if (!m_lock) {
        fail(QStringLiteral("The lock file %1 could not be created.").arg(m_path + OwnerLock::Suffix));
        return false;
    }
    m_last = m_source();
    m_last.at = QDateTime::currentDateTimeUtc();
    m_file = std::make_unique<QFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        fail(QStringLiteral("The journal %1 could not be created: %2").arg(m_path, m_file->errorString()));
        return false;
    }
    if (!append(JournalFormat::Header() + JournalFormat::Record(nullptr, m_last)))
        return false;
    m_records = 1;
    Sync();
    return true;
}

void TuneJournal::Capture()
{
    if (!m_file || Failed())
        return;
    JournalFormat::State now = m_source();
    if (now.sameAs(m_last))
        return;
    now.at = QDateTime::currentDateTimeUtc();
    if (!append(JournalFormat::Record(&m_last, now)))
        return;
    m_last = std::move(now);
    ++m_records;
    if (m_file->size() > CompactBytes)
        compact();
}

bool TuneJournal::append(const QByteArray &bytes)
{
    // Unbuffered: the bytes are with the system when write returns, so a
    // crash or a kill of this process loses nothing written.
    if (m_file->write(bytes) != bytes.size()) {
        fail(QStringLiteral("The journal %1 could not be written: %2").arg(m_path, m_file->errorString()));
        return false;
    }
    m_unsynced = true;
    if (!m_syncTimer->isActive())
        m_syncTimer->start();
    return true;
}

void TuneJournal::Sync()
{
    if (!m_file || !m_unsynced || Failed())
        return;
    if (::fsync(m_file->handle()) != 0) {
        fail(QStringLiteral("The journal %1 could not be put on disk.").arg(m_path));
        return;
    }
    m_unsynced = false;
}

bool TuneJournal::compact()
{
    // The whole state as one record, in place of the file at once.
    const FileOutcome written =
        WriteFileAtomically(m_path, JournalFormat::Header() + JournalFormat::Record(nullptr, m_last));
    if (!written) {
        fail(written.error);
        return false;
    }
    m_file = std::make_unique<QFile>(m_path);
    if (!m_file->open(QIODevice::Append | QIODevice::Unbuffered)) {
        fail(QStringLiteral("The journal %1 could not be opened again: %2").arg(m_path, m_file->errorString()));
        return false;
    }
    m_records = 1;
    m_unsynced = false;
    return true;
}

void TuneJournal::Finish()
{
    m_syncTimer->stop();
    if (m_file) {
        m_file->close();
        m_file.reset();
        QFile::remove(m_path);
    }
    m_lock.reset();
}

void TuneJournal::fail(const QString &why)
{
    if (Failed())
        return;
    m_error = why;
    m_syncTimer->stop();
    emit failed(why);
}

std::vector<LeftBehindJournal> FindLeftBehindJournals(const QString &folder, int projectSize)
{
    std::vector<LeftBehindJournal> found;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("run-*") + QLatin1String(Suffix)},
                                                           QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : files) {
        // A lock that cannot be taken belongs to a run still going.
        std::unique_ptr<QLockFile> lock = OwnerLock::Take(info.absoluteFilePath());
        if (!lock)
            continue;
        QByteArray bytes;
        ReadFileHead(info.absoluteFilePath(), TuneJournal::MaxReadBytes, bytes);
        found.push_back({info.absoluteFilePath(), JournalFormat::Read(bytes, projectSize), std::move(lock)});
    }
    return found;
}

void RemoveJournal(LeftBehindJournal &journal)
{
    QFile::remove(journal.path);
    journal.lock.reset();
}
