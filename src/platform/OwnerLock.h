#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// The owner of a file a running program keeps writing (a data log, the edit
// journal): a lock file beside it, held for as long as the program runs.
// Only a dead owner makes the lock stale, never its age: a file may be
// written for hours. A file whose lock can be taken was left behind.
namespace OwnerLock {

inline const QString Suffix = QStringLiteral(".lock");

// Takes the lock of path, or gives null (error, when given, says why:
// another owner holds it, or the lock file could not be made).
std::unique_ptr<QLockFile> Take(const QString &path, QLockFile::LockError *error = nullptr);

} // namespace OwnerLock
