#include "PseudoTerminal.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const QString &what, int error = errno)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    closeFd(m_slave);
    closeFd(m_master);
}

bool PseudoTerminal::open(QString &error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        error = systemError(QStringLiteral("cannot open a pseudo-terminal"));
        return false;
    }
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = systemError(QStringLiteral("cannot unlock the pseudo-terminal"));
        closeFd(m_master);
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        error = systemError(QStringLiteral("cannot name the pseudo-terminal"));
        closeFd(m_master);
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);

    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        error = systemError(QStringLiteral("cannot open the pseudo-terminal's device"));
        closeFd(m_master);
        return false;
    }
    // Raw bytes both ways: no echo (which would send every request straight
    // back to the box), no line editing, no CR/LF translation.
    termios settings{};
    if (::tcgetattr(m_slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B115200);
        ::cfsetospeed(&settings, B115200);
        settings.c_cflag |= CLOCAL | CREAD;
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
        ::tcsetattr(m_slave, TCSANOW, &settings);
    }

    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) < 0) {
        error = systemError(QStringLiteral("cannot make the pseudo-terminal non-blocking"));
        closeFd(m_slave);
        closeFd(m_master);
        return false;
    }
    return true;
}

PseudoTerminal::ReadStatus PseudoTerminal::read(QByteArray &bytes)
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n > 0) {
        bytes.append(buffer, n);
        return ReadStatus::Data;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return ReadStatus::Nothing;
    if (n < 0 && errno == EIO)
        return ReadStatus::NoPeer;
    return n == 0 ? ReadStatus::NoPeer : ReadStatus::Failed;
}

ssize_t PseudoTerminal::write(const char *data, size_t size)
{
    const ssize_t n = ::write(m_master, data, size);
    if (n >= 0)
        return n;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 0;
    return -1;
}

void PseudoTerminal::releaseExclusive()
{
#ifdef TIOCNXCL
    if (m_slave >= 0)
        ::ioctl(m_slave, TIOCNXCL);
#endif
}

DeviceLink::~DeviceLink()
{
    remove();
}

bool DeviceLink::create(const QString &path, const QString &target, QString &error, bool &refused)
{
    refused = false;
    const QByteArray linkPath = QFile::encodeName(path);
    const QByteArray targetPath = QFile::encodeName(target);
    struct stat existing{};
    if (::lstat(linkPath.constData(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        // Only a link may be replaced: anything else there is somebody's file.
        refused = true;
        error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(path);
        return false;
    }
    // Made under a temporary name and renamed over the old link, so the path
    // never goes missing in between.
    const QByteArray temporary = linkPath + ".boxsim-" + QByteArray::number(static_cast<qint64>(::getpid()));
    ::unlink(temporary.constData());
    if (::symlink(targetPath.constData(), temporary.constData()) != 0) {
        const int why = errno;
        error = systemError(QStringLiteral("cannot create the link %1").arg(path), why);
        return false;
    }
    if (::rename(temporary.constData(), linkPath.constData()) != 0) {
        const int why = errno;
        error = systemError(QStringLiteral("cannot create the link %1").arg(path), why);
        ::unlink(temporary.constData());
        return false;
    }
    m_path = path;
    m_target = target;
    return true;
}

void DeviceLink::remove()
{
    if (m_path.isEmpty())
        return;
    // Another box may have taken the path over since; leave its link alone.
    const QByteArray linkPath = QFile::encodeName(m_path);
    char target[4096];
    const ssize_t n = ::readlink(linkPath.constData(), target, sizeof target);
    if (n > 0 && QByteArray(target, n) == QFile::encodeName(m_target))
        ::unlink(linkPath.constData());
    m_path.clear();
}
