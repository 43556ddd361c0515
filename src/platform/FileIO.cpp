#include "platform/FileIO.h"

#include <QFile>
#include <QSaveFile>

FileOutcome ReadWholeFile(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileOutcome::failure(file.errorString());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileOutcome::failure(file.errorString());
    return FileOutcome::success();
}

FileOutcome WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileOutcome::failure(file.errorString());
    // QSaveFile buffers writes; a failure while flushing that buffer (a full
    // disk, a size limit) is not reported by commit(), which would then put
    // the short file in place of the old one. Flush explicitly and check.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return FileOutcome::failure(why);
    }
    if (!file.commit())
        return FileOutcome::failure(file.errorString());
    return FileOutcome::success();
}

FileOutcome CopyFileAtomically(const QString &from, const QString &to)
{
    QByteArray bytes;
    if (FileOutcome read = ReadWholeFile(from, bytes); !read)
        return read;
    return WriteFileAtomically(to, bytes);
}
