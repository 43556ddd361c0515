#include "daq/DataLogFile.h"

#include "platform/FileIO.h"
#include "platform/OwnerLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Cuts the file back to just after its last line end and counts the lines
// below the header; reads in pieces, whatever the size.
qint64 trimToWholeLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return 0;
    qint64 lineEnds = 0;
    qint64 lastEnd = 0; // bytes up to and including the last line end
    qint64 offset = 0;
    constexpr qint64 Piece = 1 << 20;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(Piece);
        if (piece.isEmpty())
            break;
        for (qsizetype i = piece.indexOf('\n'); i >= 0; i = piece.indexOf('\n', i + 1)) {
            ++lineEnds;
            lastEnd = offset + i + 1;
        }
        offset += piece.size();
    }
    if (lastEnd != offset)
        file.resize(lastEnd);
    return std::max<qint64>(0, lineEnds - 1);
}

} // namespace

DataLogFile::DataLogFile() = default;

DataLogFile::~DataLogFile()
{
    m_file.reset();
    unlock();
}

bool DataLogFile::Create(const QString &folder, const QString &suffix)
{
    m_file.reset();
    unlock();
    m_path.clear();
    m_failed = false;
    m_error.clear();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("The folder %1 could not be created.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // The lock is taken before the file exists, so no other instance ever
    // finds the log without its owner.
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = QStringLiteral("vnt");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
        const QString path = QDir(folder).filePath(name + suffix);
        QLockFile::LockError why = QLockFile::NoError;
        std::unique_ptr<QLockFile> lock = OwnerLock::Take(path, &why);
        if (!lock) {
            if (why == QLockFile::LockFailedError)
                continue; // the name is taken
            m_error = QStringLiteral("The lock file %1 could not be created.").arg(path + OwnerLock::Suffix);
            return false;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue; // a name taken by a file of its own
            m_error = file.errorString();
            return false;
        }
        file.close();
        m_path = path;
        m_lock = std::move(lock);
        if (!openForAppending()) {
            Remove();
            return false;
        }
        return true;
    }
    m_error = QStringLiteral("No new file could be created in %1.").arg(QDir::toNativeSeparators(folder));
    return false;
}

void DataLogFile::Adopt(const QString &path, std::unique_ptr<QLockFile> lock)
{
    m_file.reset();
    unlock();
    m_path = path;
    m_lock = std::move(lock);
    m_size = QFileInfo(path).size();
    // A recovered log is kept as it was left: nothing is ever appended.
    m_failed = true;
    m_error.clear();
}

bool DataLogFile::openForAppending()
{
    auto file = std::make_unique<QFile>(m_path);
    // Unbuffered: every line reaches the operating system as it is written.
    // Readable too, so a file removed under the log can be put back.
    if (!file->open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        m_error = file->errorString();
        return false;
    }
    m_size = file->size();
    m_file = std::move(file);
    return true;
}

bool DataLogFile::Append(const QByteArray &line)
{
    if (m_failed || !m_file)
        return false;
    qint64 written = m_file->write(line);
    if (written >= 0 && written < line.size() && m_file->error() == QFileDevice::NoError) {
        // A short write reports no error of its own; the rest of the line
        // either goes too or says why it cannot (a full disk).
        const qint64 more = m_file->write(line.constData() + written, line.size() - written);
        written += std::max<qint64>(0, more);
    }
    if (written != line.size() || !m_file->flush()) {
        const QString why = m_file->error() != QFileDevice::NoError ? m_file->errorString()
                                                                   : QStringLiteral("the disk took only part of a line");
        // Whole lines only: cut back to where this line began.
        if (m_file->size() != m_size)
            m_file->resize(m_size);
        fail(why);
        return false;
    }
    if (!QFileInfo::exists(m_path)) {
        putBackRemovedFile();
        return false;
    }
    m_size += written;
    return true;
}

void DataLogFile::putBackRemovedFile()
{
    // The handle still reaches the removed file's lines; the one just
    // written counts as failed, like any line the log did not keep.
    m_file->seek(0);
    const QByteArray lines = m_file->read(m_size);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const FileOutcome restored = WriteFileAtomically(m_path, lines);
    fail(restored ? QStringLiteral("the file was removed while it was written; its lines were put back")
                  : QStringLiteral("the file was removed while it was written and could not be put back (%1)")
                        .arg(restored.error));
}

void DataLogFile::fail(const QString &why)
{
    m_file.reset();
    m_failed = true;
    m_error = why;
}

void DataLogFile::Remove()
{
    m_file.reset();
    if (!m_path.isEmpty())
        QFile::remove(m_path);
    unlock();
    m_path.clear();
}

bool DataLogFile::MoveTo(const QString &path)
{
    m_file.reset();
    // rename() replaces the target in one step; both are in one folder.
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(path).constData()) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    unlock();
    m_path.clear();
    return true;
}

void DataLogFile::Release()
{
    m_file.reset();
    unlock();
    m_path.clear();
}

void DataLogFile::unlock()
{
    m_lock.reset(); // QLockFile removes its file when released
}

QString RunningLogFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("datalogs"));
}

std::vector<LeftBehindLog> FindLeftBehindLogs(const QString &folder)
{
    std::vector<LeftBehindLog> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("vnt*")}, QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : files) {
        if (info.fileName().endsWith(OwnerLock::Suffix) || info.fileName().endsWith(QStringLiteral(".rmlock")))
            continue;
        // A lock that cannot be taken belongs to a run still going.
        std::unique_ptr<QLockFile> lock = OwnerLock::Take(info.absoluteFilePath());
        if (!lock)
            continue;
        LeftBehindLog log;
        log.path = info.absoluteFilePath();
        log.samples = trimToWholeLines(log.path);
        log.lastWritten = info.lastModified();
        log.lock = std::move(lock);
        found.push_back(std::move(log));
    }
    return found;
}

void RemoveLeftBehindLog(LeftBehindLog &log)
{
    QFile::remove(log.path);
    log.lock.reset();
}
