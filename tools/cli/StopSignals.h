#pragma once

// SIGINT and SIGTERM, while a StopSignals lives, ask a long command (log,
// sample) to stop after the line it is on instead of killing the program
// with its output half made. One at a time; the old handlers come back when
// it ends.
namespace cli {

class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal that asked to stop, 0 while none did.
    static int Caught();
    // Waits ms milliseconds, less when a signal asks to stop; false then.
    static bool Pause(int ms);
    // "SIGINT" or "SIGTERM".
    static const char *Name(int signal);
};

} // namespace cli
