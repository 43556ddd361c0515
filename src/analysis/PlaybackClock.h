#pragma once

#include <array>

// Where playback stands after some wall-clock time: the log time moves on at
// the chosen speed, counted from the moment play began, so a slow frame
// skips samples rather than falling behind. Between two cursors it loops;
// without a loop it stops at the end of the log.
namespace PlaybackClock {

// The speeds on offer, slowest first.
inline constexpr std::array<double, 7> Speeds{0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0};
// The speed's caption: "1/4x", "1x", "16x".
const char *SpeedCaption(double speed);

struct Span
{
    double start = 0; // the loop's first time, or the log's
    double end = 0;   // the loop's last time, or the log's last
    bool loop = false;
};

struct Position
{
    double time = 0;
    bool ended = false; // reached the end without a loop: play stops
};

// The log time elapsedSeconds of wall time after play began at from.
// Looping, a start outside the span begins at its start.
Position After(double from, double elapsedSeconds, double speed, const Span &span);

} // namespace PlaybackClock
