#include "platform/TempFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

QString CreateTempFile(const QString &prefix, QString *error)
{
    QTemporaryFile file(QDir(QDir::tempPath()).filePath(prefix + QStringLiteral("XXXXXX.tmp")));
    file.setAutoRemove(false);
    if (!file.open()) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return file.fileName();
}

bool DeleteFile(const QString &path)
{
    return QFile::remove(path) || !QFile::exists(path);
}
