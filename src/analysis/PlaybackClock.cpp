#include "analysis/PlaybackClock.h"

#include <cmath>

namespace PlaybackClock {

const char *SpeedCaption(double speed)
{
    static constexpr std::array<const char *, Speeds.size()> Captions{"1/4x", "1/2x", "1x", "2x", "4x", "8x", "16x"};
    for (std::size_t i = 0; i < Speeds.size(); ++i)
        if (Speeds[i] == speed)
            return Captions[i];
    return "";
}

Position After(double from, double elapsedSeconds, double speed, const Span &span)
{
    const double width = span.end - span.start;
    if (span.loop && width > 0) {
        if (from < span.start || from > span.end)
            from = span.start;
        const double t = from + std::max(0.0, elapsedSeconds) * speed;
        return {span.start + std::fmod(t - span.start, width), false};
    }
    const double t = from + std::max(0.0, elapsedSeconds) * speed;
    if (t >= span.end)
        return {span.end, true};
    return {t, false};
}

} // namespace PlaybackClock
