#pragma once

#include "BoxEngine.h"
#include "PseudoTerminal.h"

#include <QString>

#include <csignal>
#include <cstdint>
#include <cstdio>

namespace boxsim {

struct LineTiming
{
    // Every byte takes its true time on a 115200-baud line (10 bits, 86.8 us),
    // in both directions: a request counts as received only once all its bytes
    // could have crossed the wire, and each reply byte goes out one byte time
    // after the one before.
    bool pace = false;
    // Reply bytes go out one at a time, this many milliseconds apart (0: off).
    int trickleMs = 0;
    // Only the replies after the first this many are trickled (so a
    // connection's version answer can come whole).
    int trickleAfter = 0;
};

// Serves the engine on the pseudo-terminal until asked to stop: reads
// requests as they come, logs each complete one, and writes its answer back
// the moment its last byte is in (plus whatever delay the line timing asks for).
class BoxServer
{
public:
    BoxServer(BoxEngine &engine, PseudoTerminal &terminal, const LineTiming &timing, std::FILE *log);

    // Runs until stop becomes non-zero; wakeFd is readable whenever it does
    // (the signal handler writes to it). Returns false after a failure of the
    // line itself, with the reason in error.
    bool run(const volatile std::sig_atomic_t &stop, int wakeFd, QString &error);

private:
    using Nanos = std::int64_t;
    static Nanos now();
    // Sleeps until the deadline or until stop is asked for; false on stop.
    bool sleepUntil(Nanos deadline) const;
    // Waits up to ms for the wake descriptor; false on stop.
    bool pause(int ms) const;
    void logFrame(const QByteArray &frame);
    // Sends a reply whose request was complete at readyAt. False on stop.
    bool sendReply(const QByteArray &reply, Nanos readyAt);
    // Hands bytes to the line, waiting a little while it is full. A line
    // nobody reads from does not hold the box up for long: after a while the
    // bytes are dropped, as a real wire would drop them. False on stop.
    bool writeAll(const char *data, size_t size);

    BoxEngine &m_engine;
    PseudoTerminal &m_terminal;
    LineTiming m_timing;
    std::FILE *m_log;
    const volatile std::sig_atomic_t *m_stop = nullptr;
    int m_wakeFd = -1;
    Nanos m_receiveFree = 0;  // when the incoming line is free for the next byte
    Nanos m_sendFree = 0;     // when the outgoing line is free for the next byte
    bool m_reportedDrop = false;
    int m_replies = 0;        // replies sent or being sent
};

} // namespace boxsim
