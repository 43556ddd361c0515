#include "LatencyRelay.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Writes every byte to a non-blocking descriptor, waiting while it is full.
bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        pollfd out{fd, POLLOUT, 0};
        ::poll(&out, 1, 10);
    }
    return true;
}

} // namespace

LatencyRelay::LatencyRelay(std::chrono::microseconds latency) : m_latency(latency) {}

LatencyRelay::~LatencyRelay()
{
    if (m_thread.joinable()) {
        const char stop = 1;
        (void)::write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : {m_box, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
}

bool LatencyRelay::Start(const QString &boxDevice, QString &error)
{
    if (!m_host.open(error))
        return false;
    m_box = ::open(QFile::encodeName(boxDevice).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_box < 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        error = QStringLiteral("cannot open %1: %2").arg(boxDevice, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    termios line{};
    if (::tcgetattr(m_box, &line) == 0) {
        ::cfmakeraw(&line);
        ::tcsetattr(m_box, TCSANOW, &line);
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void LatencyRelay::run()
{
    QByteArray held; // the box's bytes waiting in the adapter
    Clock::time_point tick = Clock::now() + m_latency;
    const auto send = [&](qsizetype count) {
        writeAll(m_host.masterFd(), held.constData(), static_cast<size_t>(count));
        held.remove(0, count);
    };
    char buffer[4096];
    for (;;) {
        Clock::time_point now = Clock::now();
        if (now >= tick) {
            if (!held.isEmpty())
                send(held.size());
            while (tick <= now)
                tick += m_latency;
        }
        timespec wait{};
        timespec *timeout = nullptr;
        if (!held.isEmpty()) {
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(tick - now).count();
            wait.tv_sec = static_cast<time_t>(left / 1'000'000'000);
            wait.tv_nsec = static_cast<long>(left % 1'000'000'000);
            timeout = &wait;
        }
        pollfd fds[3] = {{m_host.masterFd(), POLLIN, 0}, {m_box, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::ppoll(fds, 3, timeout, nullptr) < 0 && errno != EINTR)
            return;
        // The box gone (its end hung up): nothing more to relay.
        if (fds[2].revents != 0 || (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return;
        if (fds[0].revents & POLLIN) {
            QByteArray out;
            if (m_host.read(out) == PseudoTerminal::ReadStatus::Data)
                writeAll(m_box, out.constData(), static_cast<size_t>(out.size()));
        }
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(m_box, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            now = Clock::now();
            // Ticks that passed while nothing waited sent empty packets.
            if (held.isEmpty())
                while (tick <= now)
                    tick += m_latency;
            held.append(buffer, n);
            while (held.size() >= PacketBytes) {
                send(PacketBytes);
                tick = Clock::now() + m_latency;
            }
        }
    }
}
