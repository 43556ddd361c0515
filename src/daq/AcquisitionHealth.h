#pragma once

#include <QString>
#include <QtGlobal>

#include <deque>
#include <optional>

// How live acquisition keeps up with its period, for the strip: the samples
// per second it achieves over the last few seconds, the ticks skipped
// because the unit was still answering the tick before (never queued, so
// the log never falls behind the engine), and the last real-time write's
// round trip.
class AcquisitionHealth
{
public:
    // Samples older than this no longer count towards the rate.
    static constexpr qint64 WindowMs = 5000;

    // A new run of real-time mode.
    void Reset();
    // A tick that completed (its sample was processed) at nowMs.
    void NoteCompleted(qint64 nowMs);
    void NoteSkipped() { ++m_skipped; }

    // Completed ticks per second between the first and the last one the
    // window holds; 0 until two have completed.
    double SamplesPerSecond() const;
    int Skipped() const { return m_skipped; }

    // "9.8 samples/s, 0 skipped", then ", write 16 ms" once a real-time
    // write has been acknowledged (its round trip, ms).
    QString Text(std::optional<qint64> writeRoundTripMs) const;

private:
    std::deque<qint64> m_completed;
    int m_skipped = 0;
};
