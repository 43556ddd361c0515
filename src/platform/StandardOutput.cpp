#include "platform/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// errno of the first failed write; 0 while all went out.
int firstError = 0;

bool noteFailure(bool ok, int error)
{
    if (!ok && firstError == 0)
        firstError = error != 0 ? error : EIO;
    return ok;
}

} // namespace

namespace StandardOutput {

bool Write(const QByteArray &bytes)
{
    errno = 0;
    const auto size = static_cast<size_t>(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, stdout) == size;
    if (!written)
        return noteFailure(false, errno);
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    return noteFailure(flushed, errno);
}

bool Write(const char *text)
{
    return Write(QByteArray(text));
}

QString Error()
{
    errno = 0;
    // A failure flagged on the stream but never seen by Write (a write
    // through printf, say) counts too.
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    noteFailure(flushed, errno);
    return firstError == 0 ? QString() : QString::fromLocal8Bit(std::strerror(firstError));
}

bool Failed(const char *program)
{
    const QString error = Error();
    if (error.isEmpty())
        return false;
    std::fprintf(stderr, "%s: standard output: %s\n", program, qPrintable(error));
    std::fflush(stderr);
    return true;
}

} // namespace StandardOutput
