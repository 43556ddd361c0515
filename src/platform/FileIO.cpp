#include "platform/FileIO.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Pieces of a streamed copy: large enough to be quick, small enough to keep
// memory flat whatever the file's size.
constexpr qint64 CopyPiece = 1 << 20;

enum class Kind { Missing, Regular, Other };

// What is at path, links followed; st is filled when something is there.
Kind kindAt(const QString &path, struct stat &st)
{
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Kind::Missing;
    return S_ISREG(st.st_mode) ? Kind::Regular : Kind::Other;
}

QString describe(const struct stat &st)
{
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("a pipe");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a special file");
}

FileOutcome readFailure(const QString &path, const QString &why)
{
    return FileOutcome::failure(QStringLiteral("Could not read '%1': %2").arg(path, why));
}

FileOutcome writeFailure(const QString &path, const QString &why)
{
    return FileOutcome::failure(QStringLiteral("Could not write '%1': %2").arg(path, why));
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

FileOutcome CheckReadableFile(const QString &path)
{
    struct stat st {};
    if (kindAt(path, st) == Kind::Other)
        return FileOutcome::failure(QStringLiteral("'%1' is %2, not a regular file.").arg(path, describe(st)));
    return FileOutcome::success();
}

FileOutcome ReadFileHead(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    if (FileOutcome readable = CheckReadableFile(path); !readable)
        return readable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readFailure(path, file.errorString());
    QByteArray read = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return readFailure(path, file.errorString());
    bytes = std::move(read);
    return FileOutcome::success();
}

FileOutcome CheckOutputFile(const QString &output, const QStringList &inputs)
{
    struct stat out {};
    const Kind kind = kindAt(output, out);
    if (kind == Kind::Missing)
        return FileOutcome::success();
    if (kind == Kind::Other)
        return FileOutcome::failure(QStringLiteral("'%1' is %2, not a regular file: it was left as it is "
                                                   "and nothing was written.")
                                        .arg(output, describe(out)));
    // A file its owner made read-only is kept, whoever runs this: it was
    // not meant to be replaced.
    if (::access(QFile::encodeName(output).constData(), W_OK) != 0 || (out.st_mode & 0222) == 0)
        return FileOutcome::failure(
            QStringLiteral("'%1' is not writable: it was left as it is and nothing was written.").arg(output));
    for (const QString &input : inputs) {
        struct stat in {};
        if (kindAt(input, in) != Kind::Missing && sameFile(in, out))
            return FileOutcome::failure(QStringLiteral("'%1' is the same file as the input '%2': "
                                                       "nothing was written.")
                                            .arg(output, input));
    }
    return FileOutcome::success();
}

FileOutcome WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    AtomicFileWriter file(path);
    if (FileOutcome step = file.Open(); !step)
        return step;
    if (FileOutcome step = file.Write(bytes); !step)
        return step;
    return file.Commit();
}

FileOutcome CopyFileAtomically(const QString &from, const QString &to)
{
    if (FileOutcome target = CheckOutputFile(to, {from}); !target)
        return target;
    AtomicFileWriter file(to);
    if (FileOutcome step = file.Open(); !step)
        return step;
    if (FileOutcome step = file.AppendFrom(from, 0); !step)
        return step;
    return file.Commit();
}

AtomicFileWriter::AtomicFileWriter(const QString &path) : m_path(path), m_file(path) {}

FileOutcome AtomicFileWriter::failed()
{
    const QString why = m_file.errorString();
    Discard();
    return writeFailure(m_path, why);
}

FileOutcome AtomicFileWriter::Open()
{
    // QSaveFile would put a regular file in place of a pipe or a device.
    if (FileOutcome target = CheckOutputFile(m_path); !target)
        return target;
    if (!m_file.open(QIODevice::WriteOnly))
        return writeFailure(m_path, m_file.errorString());
    return FileOutcome::success();
}

FileOutcome AtomicFileWriter::Write(const QByteArray &bytes)
{
    // QSaveFile buffers writes; a failure while flushing that buffer (a full
    // disk, a size limit) is not reported by commit(), which would then put
    // the short file in place of the old one. Flush explicitly and check.
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        return failed();
    return FileOutcome::success();
}

FileOutcome AtomicFileWriter::AppendFrom(const QString &source, qint64 offset)
{
    if (FileOutcome readable = CheckReadableFile(source); !readable) {
        Discard();
        return readable;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(offset)) {
        const QString why = in.errorString();
        Discard();
        return readFailure(source, why);
    }
    while (!in.atEnd()) {
        const QByteArray piece = in.read(CopyPiece);
        if (in.error() != QFileDevice::NoError) {
            const QString why = in.errorString();
            Discard();
            return readFailure(source, why);
        }
        if (FileOutcome written = Write(piece); !written)
            return written;
    }
    return FileOutcome::success();
}

FileOutcome AtomicFileWriter::Commit()
{
    if (!m_file.commit())
        return writeFailure(m_path, m_file.errorString());
    return FileOutcome::success();
}

void AtomicFileWriter::Discard()
{
    if (!m_file.isOpen())
        return;
    // A commit after a cancel removes the temporary file and leaves the
    // target alone.
    m_file.cancelWriting();
    m_file.commit();
}
