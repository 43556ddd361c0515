#include "BoxServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <vector>

namespace boxsim {

namespace {

// One byte on a 115200-baud 8N1 line: a start bit, eight data bits and a stop
// bit, rounded up to whole nanoseconds so the box is never faster than a wire.
constexpr std::int64_t NanosPerSecond = 1'000'000'000;
constexpr std::int64_t ByteNanos = (10 * NanosPerSecond + 115200 - 1) / 115200;

// How long a full line may hold up a reply before its bytes are dropped.
constexpr std::int64_t StalledLineNanos = 200'000'000;

} // namespace

BoxServer::BoxServer(BoxEngine &engine, PseudoTerminal &terminal, const LineTiming &timing, std::FILE *log)
    : m_engine(engine), m_terminal(terminal), m_timing(timing), m_log(log)
{
}

BoxServer::Nanos BoxServer::now()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Nanos>(ts.tv_sec) * NanosPerSecond + ts.tv_nsec;
}

bool BoxServer::sleepUntil(Nanos deadline) const
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(deadline / NanosPerSecond);
    ts.tv_nsec = static_cast<long>(deadline % NanosPerSecond);
    while (!*m_stop) {
        // Absolute deadlines: a late wake-up does not push every later byte
        // back, so the rate over a reply stays the line's rate.
        const int rc = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
        if (rc != EINTR)
            break;
    }
    return !*m_stop;
}

bool BoxServer::pause(int ms) const
{
    pollfd wake{m_wakeFd, POLLIN, 0};
    ::poll(&wake, 1, ms);
    return !*m_stop;
}

void BoxServer::logFrame(const QByteArray &frame)
{
    if (!m_log)
        return;
    // Written and flushed as one piece, so a reader never sees half a line.
    const QByteArray line = frame.toHex(' ').toUpper() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_log);
    std::fflush(m_log);
}

bool BoxServer::writeAll(const char *data, size_t size)
{
    size_t done = 0;
    Nanos giveUpAt = 0;
    while (done < size) {
        if (*m_stop)
            return false;
        const ssize_t n = m_terminal.write(data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            giveUpAt = 0;
            continue;
        }
        const Nanos t = now();
        if (giveUpAt == 0)
            giveUpAt = t + StalledLineNanos;
        if (n < 0 || t >= giveUpAt) {
            if (!m_reportedDrop) {
                std::fprintf(stderr, "vantrelle-boxsim: nobody is reading the line; reply bytes are being dropped\n");
                m_reportedDrop = true;
            }
            return true;
        }
        pollfd fds[2] = {{m_terminal.masterFd(), POLLOUT, 0}, {m_wakeFd, POLLIN, 0}};
        ::poll(fds, 2, 10);
    }
    return true;
}

bool BoxServer::sendReply(const QByteArray &reply, Nanos readyAt)
{
    const size_t count = static_cast<size_t>(reply.size());
    std::vector<Nanos> due(count);
    const bool trickled = ++m_replies > m_timing.trickleAfter;
    const Nanos trickle = trickled ? static_cast<Nanos>(m_timing.trickleMs) * 1'000'000 : 0;
    for (size_t k = 0; k < count; ++k) {
        Nanos at = readyAt;
        if (m_timing.pace)
            at = std::max(at, m_sendFree) + ByteNanos;
        if (trickle > 0 && k > 0)
            at = std::max(at, due[k - 1] + trickle);
        if (m_timing.pace)
            m_sendFree = at;
        due[k] = at;
    }

    size_t next = 0;
    while (next < count) {
        if (*m_stop)
            return false;
        const Nanos t = now();
        if (due[next] > t) {
            if (!sleepUntil(due[next]))
                return false;
            continue;
        }
        // Everything already due goes out in one write: a late wake-up catches
        // up instead of falling further behind.
        size_t end = next + 1;
        while (end < count && due[end] <= t)
            ++end;
        if (!writeAll(reply.constData() + next, end - next))
            return false;
        next = end;
    }
    return true;
}

bool BoxServer::run(const volatile std::sig_atomic_t &stop, int wakeFd, QString &error)
{
    m_stop = &stop;
    m_wakeFd = wakeFd;
    QByteArray chunk;
    while (!stop) {
        m_terminal.releaseExclusive();
        pollfd fds[2] = {{m_terminal.masterFd(), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        // The time-out only brings the exclusive-mode check round again.
        const int ready = ::poll(fds, 2, 200);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            error = QStringLiteral("waiting for the line failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (stop)
            break;
        if (ready == 0)
            continue;
        if (fds[0].revents & POLLNVAL) {
            error = QStringLiteral("the pseudo-terminal was closed");
            return false;
        }
        if (!(fds[0].revents & POLLIN)) {
            // Hung up with nothing to read: nobody on the other end yet.
            if (fds[0].revents & (POLLHUP | POLLERR))
                pause(10);
            continue;
        }

        chunk.clear();
        switch (m_terminal.read(chunk)) {
        case PseudoTerminal::ReadStatus::Data: break;
        case PseudoTerminal::ReadStatus::Nothing: continue;
        case PseudoTerminal::ReadStatus::NoPeer: pause(10); continue;
        case PseudoTerminal::ReadStatus::Failed:
            error = QStringLiteral("reading the line failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }

        const Nanos arrived = now();
        for (const char byte : chunk) {
            Nanos complete = arrived;
            if (m_timing.pace) {
                m_receiveFree = std::max(m_receiveFree, arrived) + ByteNanos;
                complete = m_receiveFree;
            }
            Exchange exchange;
            if (!m_engine.feed(byte, exchange))
                continue;
            // Logged before the answer goes out: whoever got the answer finds
            // the request in the log already.
            logFrame(exchange.request);
            if (!exchange.reply.isEmpty() && !sendReply(exchange.reply, complete))
                return true;
        }
    }
    return true;
}

} // namespace boxsim
