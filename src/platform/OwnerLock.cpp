#include "platform/OwnerLock.h"

namespace OwnerLock {

std::unique_ptr<QLockFile> Take(const QString &path, QLockFile::LockError *error)
{
    auto lock = std::make_unique<QLockFile>(path + Suffix);
    lock->setStaleLockTime(0);
    const bool taken = lock->tryLock(0);
    if (error)
        *error = lock->error();
    return taken ? std::move(lock) : nullptr;
}

} // namespace OwnerLock
