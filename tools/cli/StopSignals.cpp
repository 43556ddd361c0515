#include "StopSignals.h"

#include <cerrno>
#include <csignal>
#include <ctime>

namespace cli {
namespace {

volatile std::sig_atomic_t caught = 0;
struct sigaction previousInt {};
struct sigaction previousTerm {};

void onStop(int signal)
{
    caught = signal;
}

} // namespace

StopSignals::StopSignals()
{
    caught = 0;
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    // The unit's reads carry on; only the pause between ticks is cut short
    // (nanosleep is never restarted).
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInt);
    ::sigaction(SIGTERM, &action, &previousTerm);
}

StopSignals::~StopSignals()
{
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
}

int StopSignals::Caught()
{
    return caught;
}

bool StopSignals::Pause(int ms)
{
    timespec left{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (caught == 0) {
        timespec rest{};
        if (::nanosleep(&left, &rest) == 0)
            return true;
        if (errno != EINTR)
            return caught == 0;
        left = rest;
    }
    return false;
}

const char *StopSignals::Name(int signal)
{
    return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
}

} // namespace cli
